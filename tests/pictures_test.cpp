// The committed pictures: their file formats read field by field (without
// the generator's code), their decoding, and the parts the windows rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "forms/pictures.h"
#include "picture_bytes.h"

namespace {

using picture_test::Be16;
using picture_test::Le16;
using picture_test::Le32;
using picture_test::SLe32;
using Bytes = std::span<const std::uint8_t>;

struct IconFacts {
  Bytes bytes;
  size_t size;
  int bits;
  int colours;
};

void CheckIcon(const IconFacts& f) {
  Bytes b = f.bytes;
  ASSERT_EQ(b.size(), f.size);
  EXPECT_EQ(Le16(b, 0), 0u);
  EXPECT_EQ(Le16(b, 2), 1u);  // icon
  EXPECT_EQ(Le16(b, 4), 1u);  // one image
  EXPECT_EQ(b[6], 32);
  EXPECT_EQ(b[7], 32);
  EXPECT_EQ(b[8], f.colours == 256 ? 0 : f.colours);
  EXPECT_EQ(Le16(b, 10), 1u);
  EXPECT_EQ(Le16(b, 12), static_cast<unsigned>(f.bits));
  EXPECT_EQ(Le32(b, 14), f.size - 22);
  ASSERT_EQ(Le32(b, 18), 22u);
  EXPECT_EQ(Le32(b, 22), 40u);
  EXPECT_EQ(SLe32(b, 26), 32);
  EXPECT_EQ(SLe32(b, 30), 64);  // colour bits and mask
  EXPECT_EQ(Le16(b, 34), 1u);
  EXPECT_EQ(Le16(b, 36), static_cast<unsigned>(f.bits));
  EXPECT_EQ(Le32(b, 38), 0u);
  std::uint32_t used = Le32(b, 54);
  EXPECT_TRUE(used == 0 || used == static_cast<std::uint32_t>(f.colours));
  size_t xor_size = 32 * 32 * f.bits / 8, and_size = 32 * 4;
  EXPECT_EQ(22 + 40 + 4u * f.colours + xor_size + and_size, f.size);
}

TEST(PictureFiles, MainIconIsA16ColourIcon) { CheckIcon({forms::pictures::MainIcon(), 766, 4, 16}); }

TEST(PictureFiles, DialogIconIsA256ColourIcon) {
  CheckIcon({forms::pictures::DialogIcon(), 2238, 8, 256});
}

void CheckBmp(Bytes b, size_t size, int width, int height) {
  ASSERT_EQ(b.size(), size);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(Le32(b, 2), size);
  EXPECT_EQ(Le32(b, 10), 14u + 40 + 1024);
  EXPECT_EQ(Le32(b, 14), 40u);
  EXPECT_EQ(SLe32(b, 18), width);
  EXPECT_EQ(SLe32(b, 22), height);  // positive: rows bottom-up
  EXPECT_EQ(Le16(b, 26), 1u);
  EXPECT_EQ(Le16(b, 28), 8u);
  EXPECT_EQ(Le32(b, 30), 0u);
  std::uint32_t used = Le32(b, 46);
  EXPECT_TRUE(used == 0 || used == 256);
  size_t stride = (width + 3) / 4 * 4;
  EXPECT_EQ(14 + 40 + 1024 + stride * height, size);
}

TEST(PictureFiles, MainBackgroundIsAn8BitBmp) {
  CheckBmp(forms::pictures::MainBackground(), 308278, 640, 480);
}

TEST(PictureFiles, ReaderProductIsAn8BitBmp) {
  CheckBmp(forms::pictures::ReaderProduct(), 11878, 100, 108);
}

struct JpegFacts {
  bool jfif_first = false;
  int frames = 0;
  int baseline_frames = 0;
  int width = 0, height = 0, components = 0, precision = 0;
  bool all_components_8_bit_tables = true;
  bool ends_with_eoi = false;
  int comments_before_frame = 0;
};

JpegFacts ReadJpeg(Bytes b) {
  JpegFacts f;
  if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) return f;
  f.ends_with_eoi = b[b.size() - 2] == 0xFF && b[b.size() - 1] == 0xD9;
  size_t pos = 2;
  bool first = true;
  while (pos + 4 <= b.size() && b[pos] == 0xFF) {
    std::uint8_t marker = b[pos + 1];
    size_t length = Be16(b, pos + 2);
    if (first)
      f.jfif_first = marker == 0xE0 && length >= 16 && std::string(b.begin() + pos + 4, b.begin() + pos + 9) == std::string("JFIF\0", 5);
    first = false;
    if (marker == 0xFE && f.frames == 0) ++f.comments_before_frame;
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      ++f.frames;
      if (marker == 0xC0) ++f.baseline_frames;
      f.precision = b[pos + 4];
      f.height = static_cast<int>(Be16(b, pos + 5));
      f.width = static_cast<int>(Be16(b, pos + 7));
      f.components = b[pos + 9];
    }
    if (marker == 0xDB) {  // each table's precision nibble must say 8 bits
      for (size_t q = pos + 4; q < pos + 2 + length; q += 65)
        if ((b[q] >> 4) != 0) f.all_components_8_bit_tables = false;
    }
    if (marker == 0xDA) break;  // the scan follows
    pos += 2 + length;
  }
  return f;
}

void CheckJpeg(Bytes b, size_t size, int width, int height) {
  ASSERT_EQ(b.size(), size);
  JpegFacts f = ReadJpeg(b);
  EXPECT_TRUE(f.jfif_first);
  EXPECT_EQ(f.frames, 1);
  EXPECT_EQ(f.baseline_frames, 1);
  EXPECT_EQ(f.precision, 8);
  EXPECT_EQ(f.components, 3);
  EXPECT_EQ(f.width, width);
  EXPECT_EQ(f.height, height);
  EXPECT_TRUE(f.all_components_8_bit_tables);
  EXPECT_TRUE(f.ends_with_eoi);
}

TEST(PictureFiles, WelcomeInsetIsABaselineJpeg) {
  CheckJpeg(forms::pictures::WelcomeInset(), 111028, 252, 308);
}
TEST(PictureFiles, WelcomeScreenIsABaselineJpeg) {
  CheckJpeg(forms::pictures::Welcome(), 95878, 800, 600);
}
TEST(PictureFiles, ProductRangeIsABaselineJpeg) {
  CheckJpeg(forms::pictures::ProductRange(), 333767, 800, 600);
}

#ifdef PICTURES_DIR
// Every file of the folder is embedded, whole, and nothing else is.
TEST(PictureFiles, EmbeddedBytesAreTheFiles) {
  std::vector<std::string> on_disk, embedded;
  for (const auto& entry : std::filesystem::directory_iterator(PICTURES_DIR))
    on_disk.push_back(entry.path().filename().string());
  std::sort(on_disk.begin(), on_disk.end());
  for (const auto& [name, bytes] : forms::pictures::kFiles) {
    embedded.emplace_back(name);
    std::ifstream in(std::string(PICTURES_DIR) + "/" + std::string(name), std::ios::binary);
    ASSERT_TRUE(in) << name;
    std::vector<std::uint8_t> disk((std::istreambuf_iterator<char>(in)), {});
    EXPECT_TRUE(std::ranges::equal(disk, bytes())) << name;
  }
  EXPECT_EQ(embedded, on_disk);
}
#endif

// ---- decoded ----

double Luma(const rt::Image& im, int x, int y) {
  const std::uint8_t* p = &im.pixels[(static_cast<size_t>(y) * im.width + x) * 4];
  return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
}

// Mean difference between neighbouring pixels: how busy a region is.
double Busyness(const rt::Image& im, int x0, int y0, int x1, int y1) {
  double sum = 0;
  int n = 0;
  for (int y = y0; y < y1 - 1; ++y)
    for (int x = x0; x < x1 - 1; ++x) {
      sum += std::fabs(Luma(im, x, y) - Luma(im, x + 1, y)) + std::fabs(Luma(im, x, y) - Luma(im, x, y + 1));
      ++n;
    }
  return sum / n;
}

double Deviation(const rt::Image& im) {
  double sum = 0, sq = 0;
  int n = im.width * im.height;
  for (int y = 0; y < im.height; ++y)
    for (int x = 0; x < im.width; ++x) {
      double l = Luma(im, x, y);
      sum += l;
      sq += l * l;
    }
  return std::sqrt(sq / n - (sum / n) * (sum / n));
}

TEST(PictureDecoding, EveryPictureDecodesToItsSize) {
  const struct {
    Bytes bytes;
    int w, h;
  } pictures[] = {{forms::pictures::MainIcon(), 32, 32},       {forms::pictures::MainBackground(), 640, 480},
                  {forms::pictures::WelcomeInset(), 252, 308}, {forms::pictures::Welcome(), 800, 600},
                  {forms::pictures::DialogIcon(), 32, 32},     {forms::pictures::ReaderProduct(), 100, 108},
                  {forms::pictures::ProductRange(), 800, 600}};
  for (const auto& p : pictures) {
    rt::Image im = rt::DecodePicture(p.bytes);
    EXPECT_EQ(im.width, p.w);
    EXPECT_EQ(im.height, p.h);
    ASSERT_EQ(im.pixels.size(), static_cast<size_t>(p.w) * p.h * 4);
    // A picture, not a flat fill.
    EXPECT_GT(Deviation(im), 20.0);
  }
}

TEST(PictureDecoding, IconsAreShapesOnATransparentGround) {
  for (Bytes bytes : {forms::pictures::MainIcon(), forms::pictures::DialogIcon()}) {
    rt::Image im = rt::DecodePicture(bytes);
    int clear = 0;
    for (size_t i = 3; i < im.pixels.size(); i += 4) clear += im.pixels[i] == 0;
    EXPECT_EQ(im.pixels[3], 0) << "top left corner";
    EXPECT_EQ(im.pixels[(16 * 32 + 16) * 4 + 3], 255) << "centre";
    EXPECT_GT(clear, 32);
    EXPECT_LT(clear, 32 * 32 / 2);
    // Transparent pixels are black in the colour bits, so that Windows'
    // AND-then-XOR drawing leaves the screen unchanged there.
    for (size_t i = 0; i < im.pixels.size(); i += 4)
      if (im.pixels[i + 3] == 0) {
        EXPECT_EQ(im.pixels[i] | im.pixels[i + 1] | im.pixels[i + 2], 0);
      }
  }
}

TEST(PictureDecoding, BitmapsAreOpaqueAndUseTheirPalettes) {
  for (Bytes bytes : {forms::pictures::MainBackground(), forms::pictures::ReaderProduct()}) {
    rt::Image im = rt::DecodePicture(bytes);
    for (size_t i = 3; i < im.pixels.size(); i += 4) ASSERT_EQ(im.pixels[i], 255);
    // A palette made for the picture: most of its 256 entries are used.
    std::vector<bool> used(256, false);
    size_t stride = (static_cast<size_t>(im.width) + 3) / 4 * 4;
    for (int y = 0; y < im.height; ++y)
      for (int x = 0; x < im.width; ++x) used[bytes[1078 + y * stride + x]] = true;
    EXPECT_GT(std::count(used.begin(), used.end(), true), 200);
  }
}

TEST(PictureDecoding, WelcomeScreenIsCalmWhereTheInsetLies) {
  rt::Image im = rt::DecodePicture(forms::pictures::Welcome());
  double inset = Busyness(im, 20, 20, 260, 330);
  double whole = Busyness(im, 0, 0, 800, 600);
  EXPECT_LT(inset, whole * 0.5);
}

TEST(PictureDecoding, ProductRangeLeavesTheButtonCornerPlain) {
  rt::Image im = rt::DecodePicture(forms::pictures::ProductRange());
  double corner = Busyness(im, 700, 560, 800, 600);
  double whole = Busyness(im, 0, 0, 800, 600);
  EXPECT_LT(corner, whole);
}

TEST(PictureDecoding, WelcomeScreenHasItsTitleBesideTheDialogs) {
  // The setup's dialogs stand over the lower right and the inset over the
  // upper left, so the gilt title has to be the brightest band of the sky
  // right of the inset, and none of it may lie on the lake the dialogs hide.
  rt::Image im = rt::DecodePicture(forms::pictures::Welcome());
  auto bright = [&](int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += Luma(im, x, y) > 170;
    return n;
  };
  EXPECT_GT(bright(380, 45, 780, 115), 2000);
  EXPECT_LT(bright(0, 45, 120, 115), 100);
  EXPECT_LT(bright(310, 380, 790, 560), 200);
}

}  // namespace
