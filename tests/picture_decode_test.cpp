// The runtime's picture decoder on hand-built files of every kind it reads,
// and on cut, garbled and forged ones, which must raise error 481.
#include <gtest/gtest.h>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <tuple>
#include <utility>
#include <vector>

#include "forms/pictures.h"
#include "picture_bytes.h"

namespace {

using picture_test::DecodesOrRaises;
using picture_test::RaisesInvalidPicture;
using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, unsigned v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void Set32(Bytes& b, size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

void InfoHeader(Bytes& b, std::int32_t w, std::int32_t h, int bits, std::uint32_t colours) {
  Put32(b, 40);
  Put32(b, static_cast<std::uint32_t>(w));
  Put32(b, static_cast<std::uint32_t>(h));
  Put16(b, 1);
  Put16(b, bits);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, colours);
  Put32(b, 0);
}

// A 3x2 bitmap: top row red, green, blue; bottom row white, black, grey.
Bytes Bmp24(bool top_down) {
  const std::uint8_t rows[2][9] = {{0, 0, 255, 0, 255, 0, 255, 0, 0},
                                   {255, 255, 255, 0, 0, 0, 128, 128, 128}};
  Bytes b{'B', 'M'};
  Put32(b, 54 + 2 * 12);
  Put32(b, 0);
  Put32(b, 54);
  InfoHeader(b, 3, top_down ? -2 : 2, 24, 0);
  for (int r = 0; r < 2; ++r) {
    const std::uint8_t* row = rows[top_down ? r : 1 - r];
    b.insert(b.end(), row, row + 9);
    b.insert(b.end(), {0, 0, 0});  // pad to 12
  }
  return b;
}

// 8-bit, 5x3, pixel (x, y) has palette index x + 5 * y, entry i = (i*10, 100, 200).
Bytes Bmp8() {
  Bytes b{'B', 'M'};
  Put32(b, 54 + 1024 + 3 * 8);
  Put32(b, 0);
  Put32(b, 54 + 1024);
  InfoHeader(b, 5, 3, 8, 256);
  for (int i = 0; i < 256; ++i) b.insert(b.end(), {200, 100, static_cast<std::uint8_t>(i * 10), 0});
  for (int y = 2; y >= 0; --y) {
    for (int x = 0; x < 5; ++x) b.push_back(static_cast<std::uint8_t>(x + 5 * y));
    b.insert(b.end(), {0, 0, 0});
  }
  return b;
}

std::vector<std::uint8_t> Pixel(const rt::Image& im, int x, int y) {
  auto at = im.pixels.begin() + (static_cast<size_t>(y) * im.width + x) * 4;
  return {at, at + 4};
}

using Px = std::vector<std::uint8_t>;

TEST(PictureFormat, IsToldByTheFirstBytes) {
  EXPECT_EQ(rt::DetectPictureFormat(Bmp8()), rt::PictureFormat::kBmp);
  EXPECT_EQ(rt::DetectPictureFormat(forms::pictures::MainIcon()), rt::PictureFormat::kIco);
  EXPECT_EQ(rt::DetectPictureFormat(forms::pictures::Welcome()), rt::PictureFormat::kJpeg);
  const Bytes gif{'G', 'I', 'F', '8', '9', 'a'};
  EXPECT_EQ(rt::DetectPictureFormat(gif), rt::PictureFormat::kUnknown);
  EXPECT_EQ(rt::DetectPictureFormat(Bytes{}), rt::PictureFormat::kUnknown);
  // The shortest of each, and a cursor's header, which is an icon's.
  EXPECT_EQ(rt::DetectPictureFormat(Bytes{'B', 'M'}), rt::PictureFormat::kBmp);
  EXPECT_EQ(rt::DetectPictureFormat(Bytes{0, 0, 1, 0}), rt::PictureFormat::kIco);
  EXPECT_EQ(rt::DetectPictureFormat(Bytes{0, 0, 2, 0}), rt::PictureFormat::kIco);
  EXPECT_EQ(rt::DetectPictureFormat(Bytes{0, 0, 3, 0}), rt::PictureFormat::kUnknown);
  EXPECT_EQ(rt::DetectPictureFormat(Bytes{0xFF, 0xD8, 0xFF}), rt::PictureFormat::kJpeg);
  EXPECT_TRUE(RaisesInvalidPicture(gif));
  EXPECT_TRUE(RaisesInvalidPicture(Bytes{}));
}

// The pixels' block: grown with its bytes kept and the rest zero, copied
// into a block of its own, and taken over from a decoder as it is.
TEST(PixelBuffer, GrowsCopiesAndAdopts) {
  rt::PixelBuffer a;
  EXPECT_TRUE(a.empty());
  a.resize(3);
  a[0] = 7;
  a[2] = 9;
  a.resize(6);
  EXPECT_EQ(Bytes(a.begin(), a.end()), (Bytes{7, 0, 9, 0, 0, 0}));
  rt::PixelBuffer b = a;
  b[0] = 1;
  EXPECT_EQ(a[0], 7);
  EXPECT_FALSE(a == b);
  b[0] = 7;
  EXPECT_TRUE(a == b);
  rt::PixelBuffer moved = std::move(b);
  EXPECT_TRUE(b.empty());  // NOLINT: what a move leaves behind is asked on purpose
  EXPECT_EQ(moved.size(), 6u);
  a.resize(0);
  EXPECT_TRUE(a.empty());
  EXPECT_EQ(a.data(), nullptr);  // the block let go, not kept for later
  auto* block = static_cast<std::uint8_t*>(std::malloc(4));
  block[3] = 5;
  const rt::PixelBuffer adopted = rt::PixelBuffer::Adopt(block, 4);
  EXPECT_EQ(adopted.data(), block);
  EXPECT_EQ(adopted.size(), 4u);
  EXPECT_EQ(adopted[3], 5);
  EXPECT_TRUE(rt::PixelBuffer::Adopt(nullptr, 4).empty());  // a decoder that failed
}

TEST(BmpDecoding, BottomUpAndTopDownGiveTheSamePicture) {
  for (bool top_down : {false, true}) {
    rt::Image im = rt::DecodePicture(Bmp24(top_down));
    ASSERT_EQ(im.width, 3);
    ASSERT_EQ(im.height, 2);
    EXPECT_EQ(Pixel(im, 0, 0), (Px{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(im, 1, 0), (Px{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(im, 2, 0), (Px{0, 0, 255, 255}));
    EXPECT_EQ(Pixel(im, 0, 1), (Px{255, 255, 255, 255}));
    EXPECT_EQ(Pixel(im, 2, 1), (Px{128, 128, 128, 255}));
  }
}

// GDI's order: red and blue change places, nothing else moves.
TEST(BmpDecoding, DecodesInTheBackendsPixelOrder) {
  for (const Bytes& bmp : {Bmp24(false), Bmp8()}) {  // the last pixel grey, and not
    const rt::Image rgba = rt::DecodePicture(bmp);
    const rt::Image bgra = rt::DecodePicture(bmp, rt::PixelOrder::kBgra);
    EXPECT_EQ(rgba.order, rt::PixelOrder::kRgba);
    ASSERT_EQ(bgra.order, rt::PixelOrder::kBgra);
    ASSERT_EQ(bgra.pixels.size(), rgba.pixels.size());
    for (std::size_t i = 0; i < rgba.pixels.size(); i += 4)
      EXPECT_EQ((Px{bgra.pixels[i + 2], bgra.pixels[i + 1], bgra.pixels[i], bgra.pixels[i + 3]}),
                (Px{rgba.pixels[i], rgba.pixels[i + 1], rgba.pixels[i + 2], rgba.pixels[i + 3]}))
          << i;
  }
  EXPECT_EQ(Pixel(rt::DecodePicture(Bmp24(false), rt::PixelOrder::kBgra), 0, 0), (Px{0, 0, 255, 255}));
}

TEST(BmpDecoding, PaletteIndicesAreLookedUp) {
  rt::Image im = rt::DecodePicture(Bmp8());
  ASSERT_EQ(im.width, 5);
  ASSERT_EQ(im.height, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(Pixel(im, x, y), (Px{static_cast<std::uint8_t>((x + 5 * y) * 10), 100, 200, 255}));
}

// The header of a 2x1 bitmap with the 12-byte core header, one bit a pixel:
// its palette entries are three bytes each.
Bytes CoreHeaderBmp1(std::uint32_t pixel_offset = 32) {
  Bytes b{'B', 'M'};
  Put32(b, 36);
  Put32(b, 0);
  Put32(b, pixel_offset);
  Put32(b, 12);
  Put16(b, 2);
  Put16(b, 1);
  Put16(b, 1);
  Put16(b, 1);
  b.insert(b.end(), {1, 2, 3, 4, 5, 6});
  b.insert(b.end(), {0x40, 0, 0, 0});
  return b;
}

// Every size of the Windows info header that stb_image reads: the pixels
// follow wherever the header ends.
TEST(BmpDecoding, LongerInfoHeaders) {
  for (std::uint32_t size : {56u, 108u, 124u}) {
    Bytes b = Bmp24(false);
    b.insert(b.begin() + 54, size - 40, 0);
    Set32(b, 2, static_cast<std::uint32_t>(b.size()));
    Set32(b, 10, 14 + size);
    Set32(b, 14, size);
    const rt::Image im = rt::DecodePicture(b);
    EXPECT_EQ(Pixel(im, 1, 0), (Px{0, 255, 0, 255})) << size;
  }
}

// The old 12-byte core header, with 16-bit sizes, and a width past 255.
TEST(BmpDecoding, CoreHeader) {
  EXPECT_TRUE(RaisesInvalidPicture(CoreHeaderBmp1(31), "BMP pixels overlap the header"));
  const Bytes core = CoreHeaderBmp1();
  EXPECT_TRUE(RaisesInvalidPicture(std::span(core).first(25), "truncated BMP core header"));
  EXPECT_TRUE(RaisesInvalidPicture(std::span(core).first(26), "truncated BMP palette"));
  // Its palette of three-byte entries ends where the pixels begin, and each
  // pixel takes its own entry's colour.
  const rt::Image two = rt::DecodePicture(core);
  ASSERT_EQ(two.width, 2);
  EXPECT_EQ(Pixel(two, 0, 0), (Px{3, 2, 1, 255}));
  EXPECT_EQ(Pixel(two, 1, 0), (Px{6, 5, 4, 255}));
  // The same pixels further on, past a gap the offset skips.
  Bytes gapped = CoreHeaderBmp1(300);
  gapped.insert(gapped.begin() + 32, 268, 0);
  EXPECT_EQ(Pixel(rt::DecodePicture(gapped), 1, 0), (Px{6, 5, 4, 255}));
  // Eight bits a pixel: the last of 256 entries is a colour like any other.
  Bytes eight{'B', 'M'};
  Put32(eight, 26 + 768 + 4);
  Put32(eight, 0);
  Put32(eight, 26 + 768);
  Put32(eight, 12);
  Put16(eight, 2);
  Put16(eight, 1);
  Put16(eight, 1);
  Put16(eight, 8);
  for (int i = 0; i < 256; ++i) eight.insert(eight.end(), {static_cast<std::uint8_t>(i), 9, 200});
  eight.insert(eight.end(), {0, 255, 0, 0});
  const rt::Image palette8 = rt::DecodePicture(eight);
  EXPECT_EQ(Pixel(palette8, 0, 0), (Px{200, 9, 0, 255}));
  EXPECT_EQ(Pixel(palette8, 1, 0), (Px{200, 9, 255, 255}));
  Bytes b{'B', 'M'};
  Put32(b, 26 + 900);
  Put32(b, 0);
  Put32(b, 26);
  Put32(b, 12);
  Put16(b, 300);
  Put16(b, 1);
  Put16(b, 1);
  Put16(b, 24);
  for (int x = 0; x < 300; ++x) b.insert(b.end(), {10, 20, static_cast<std::uint8_t>(x)});
  const rt::Image im = rt::DecodePicture(b);
  ASSERT_EQ(im.width, 300);
  ASSERT_EQ(im.height, 1);
  EXPECT_EQ(Pixel(im, 299, 0), (Px{43, 20, 10, 255}));
}

// The size limits hold to the pixel: at the limit a header passes (and the
// missing pixels are what is refused), one past it is too large.
TEST(BmpDecoding, SizeLimitsAreExact) {
  const struct {
    std::uint32_t width, height;
    const char* why;
  } cases[] = {{8192, 1, "truncated BMP pixels"}, {8193, 1, "picture too large"},
               {1, 8192, "truncated BMP pixels"}, {1, 8193, "picture too large"},
               {4096, 4096, "truncated BMP pixels"}, {4096, 4097, "picture too large"},
               {4097, 4096, "picture too large"}, {65536, 1, "picture too large"},
               {16777216, 1, "picture too large"}};
  for (const auto& c : cases) {
    Bytes b = Bmp8();
    Set32(b, 18, c.width);
    Set32(b, 22, c.height);
    EXPECT_TRUE(RaisesInvalidPicture(b, c.why)) << c.width << "x" << c.height;
  }
}

// Each forged field is refused for what it is, not later by another check
// or by stb_image.
TEST(BmpDecoding, ForgedHeadersAreRefused) {
  const struct Field {
    std::size_t at;
    std::uint32_t value;
  } kTall{22, 3000};  // pixels that are not there: what a header that passes meets
  const struct {
    std::vector<Field> fields;
    const char* why;
  } cases[] = {
      {{{18, 100000}}, "picture too large"},
      {{{22, 0x7FFFFFFF}}, "picture too large"},
      {{{22, 0x80000000u}}, "bad BMP size"},  // the one height that cannot be negated
      {{{18, 0}}, "bad BMP size"},
      {{{18, 0xFFFFFFFFu}}, "bad BMP size"},
      {{{22, 0}}, "bad BMP size"},
      {{{18, 4000}, {22, 4000}}, "truncated BMP pixels"},
      {{{10, 0xFFFFFFF0u}}, "truncated BMP pixels"},
      {{{10, 54 + 1023}}, "BMP pixels overlap the header"},
      {{{46, 100000}}, "bad BMP palette size"},
      {{{46, 257}}, "bad BMP palette size"},
      {{{46, 255}, kTall}, "truncated BMP pixels"},
      {{{26, 0}}, "bad BMP planes"},
      {{{26, 2}}, "bad BMP planes"},
      {{{30, 1}}, "unsupported BMP compression"},
      {{{30, 3}}, "unsupported BMP compression"},  // bit fields, 8 bits a pixel
      {{{14, 0xFFFFFFFFu}}, "unknown BMP header"},
      {{{14, 41}}, "unknown BMP header"},
      {{{14, 52}}, "BMP pixels overlap the header"},
  };
  for (const auto& c : cases) {
    Bytes b = Bmp8();
    for (const Field& f : c.fields) Set32(b, f.at, f.value);
    EXPECT_TRUE(RaisesInvalidPicture(b, c.why)) << c.why << ", " << c.fields[0].at << ": " << c.fields[0].value;
  }
  // Depths: the six there are, and none between them; bit fields for 16 and
  // 32 bits only, after their three masks.
  for (std::uint32_t bits = 0; bits <= 33; ++bits) {
    Bytes b = Bmp8();
    b[28] = static_cast<std::uint8_t>(bits);
    Set32(b, 46, 0);
    Set32(b, kTall.at, kTall.value);
    const bool known = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    EXPECT_TRUE(RaisesInvalidPicture(b, known ? "truncated BMP pixels" : "bad BMP depth")) << bits;
    if (bits != 16 && bits != 32) continue;
    for (const auto& [compression, offset, why] :
         {std::tuple{3u, 54u + 12, "truncated BMP pixels"}, {3u, 54u + 11, "BMP pixels overlap the header"},
          {2u, 54u + 12, "unsupported BMP compression"}, {4u, 54u + 12, "unsupported BMP compression"}}) {
      Set32(b, 30, compression);
      Set32(b, 10, offset);
      EXPECT_TRUE(RaisesInvalidPicture(b, why)) << bits << " bits, compression " << compression;
    }
  }
}

// ---- icons ----

struct IconShape {
  int size = 4;
  int bits = 4;
  std::uint32_t colours_used = 0;
};

// A square icon whose pixel (x, y) has colour index (x + y) % colours, and
// whose mask makes the left column transparent. For 32 bits the alpha is x*60.
Bytes MakeIcon(const IconShape& s, bool with_alpha = true) {
  int n = s.size;
  int colours = s.bits <= 8 ? (s.colours_used ? s.colours_used : 1 << s.bits) : 0;
  size_t xor_stride = (n * s.bits + 31) / 32 * 4, and_stride = (n + 31) / 32 * 4;
  Bytes img;
  InfoHeader(img, n, 2 * n, s.bits, s.colours_used);
  for (int i = 0; i < colours; ++i)
    img.insert(img.end(), {static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(i * 2),
                           static_cast<std::uint8_t>(i), 0});
  for (int y = n - 1; y >= 0; --y) {
    Bytes row(xor_stride, 0);
    for (int x = 0; x < n; ++x) {
      if (s.bits >= 24) {
        const int n = s.bits / 8;
        row[x * n + 0] = 10;
        row[x * n + 1] = 20;
        row[x * n + 2] = static_cast<std::uint8_t>(y * 30);
        if (n == 4) row[x * 4 + 3] = with_alpha ? static_cast<std::uint8_t>(x * 60) : 0;
        continue;
      }
      int v = (x + y) % colours;
      int bit = x * s.bits;
      row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - s.bits - bit % 8));
    }
    img.insert(img.end(), row.begin(), row.end());
  }
  for (int y = 0; y < n; ++y) {
    Bytes row(and_stride, 0);
    row[0] = 0x80;  // x = 0 transparent
    img.insert(img.end(), row.begin(), row.end());
  }
  Bytes b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, 1);
  b.insert(b.end(), {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n),
                     static_cast<std::uint8_t>(colours < 256 ? colours : 0), 0});
  Put16(b, 1);
  Put16(b, s.bits);
  Put32(b, static_cast<std::uint32_t>(img.size()));
  Put32(b, 22);
  b.insert(b.end(), img.begin(), img.end());
  return b;
}

TEST(IconDecoding, PalettizedIconsOfEveryDepth) {
  for (int bits : {1, 4, 8}) {
    IconShape s{8, bits, 0};
    rt::Image im = rt::DecodePicture(MakeIcon(s));
    ASSERT_EQ(im.width, 8) << bits;
    ASSERT_EQ(im.height, 8) << bits;
    int colours = 1 << bits;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        int v = (x + y) % colours;
        EXPECT_EQ(Pixel(im, x, y), (Px{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v * 2),
                                       static_cast<std::uint8_t>(v * 3),
                                       static_cast<std::uint8_t>(x == 0 ? 0 : 255)}))
            << bits << " bits at " << x << "," << y;
      }
  }
}

// Rows of one bit a pixel are padded to whole 32-bit words, the mask's too.
TEST(IconDecoding, OnePixelIcon) {
  rt::Image im = rt::DecodePicture(MakeIcon({1, 1, 0}));
  ASSERT_EQ(im.width, 1);
  EXPECT_EQ(Pixel(im, 0, 0), (Px{0, 0, 0, 0}));
}

TEST(IconDecoding, ShortPaletteIsHonoured) {
  rt::Image im = rt::DecodePicture(MakeIcon({4, 8, 3}));
  EXPECT_EQ(Pixel(im, 2, 0), (Px{2, 4, 6, 255}));
  EXPECT_EQ(Pixel(im, 3, 0), (Px{0, 0, 0, 255}));  // index 3 % 3 == 0
}

TEST(IconDecoding, ThirtyTwoBitIconsUseTheirAlpha) {
  rt::Image im = rt::DecodePicture(MakeIcon({4, 32, 0}));
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(im, x, 1), (Px{30, 20, 10, static_cast<std::uint8_t>(x * 60)}));
}

TEST(IconDecoding, TwentyFourBitIconsUseTheMask) {
  rt::Image im = rt::DecodePicture(MakeIcon({5, 24, 0}));
  ASSERT_EQ(im.width, 5);
  for (int x = 0; x < 5; ++x)
    EXPECT_EQ(Pixel(im, x, 2), (Px{60, 20, 10, static_cast<std::uint8_t>(x == 0 ? 0 : 255)})) << x;
}

TEST(IconDecoding, ThirtyTwoBitIconsWithoutAlphaFallBackToTheMask) {
  rt::Image im = rt::DecodePicture(MakeIcon({4, 32, 0}, false));
  EXPECT_EQ(Pixel(im, 0, 2)[3], 0);
  EXPECT_EQ(Pixel(im, 1, 2)[3], 255);
}

// A 32-bit icon may leave its mask out, its alpha saying all; no other may.
TEST(IconDecoding, OnlyThirtyTwoBitIconsMayLackTheirMask) {
  for (bool with_alpha : {true, false}) {
    Bytes b = MakeIcon({4, 32, 0}, with_alpha);
    const std::uint32_t without_mask = 40 + 4 * 16;
    b.resize(22 + without_mask);
    Set32(b, 14, without_mask);
    const rt::Image im = rt::DecodePicture(b);
    EXPECT_EQ(Pixel(im, 0, 1), (Px{30, 20, 10, static_cast<std::uint8_t>(with_alpha ? 0 : 255)}));
    EXPECT_EQ(Pixel(im, 1, 1), (Px{30, 20, 10, static_cast<std::uint8_t>(with_alpha ? 60 : 255)}));
  }
  Bytes b = MakeIcon({4, 24, 0});
  const std::uint32_t without_mask = 40 + 4 * 12;
  b.resize(22 + without_mask);
  Set32(b, 14, without_mask);
  EXPECT_TRUE(RaisesInvalidPicture(b, "truncated icon mask"));
}

// One icon file of the images of several single-image icons.
Bytes Combined(const std::vector<Bytes>& icons) {
  Bytes b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, static_cast<unsigned>(icons.size()));
  std::uint32_t at = static_cast<std::uint32_t>(6 + 16 * icons.size());
  for (const Bytes& icon : icons) {
    b.insert(b.end(), icon.begin() + 6, icon.begin() + 18);
    Put32(b, at);
    at += static_cast<std::uint32_t>(icon.size() - 22);
  }
  for (const Bytes& icon : icons) b.insert(b.end(), icon.begin() + 22, icon.end());
  return b;
}

// The largest image, then the deepest, then the first, whatever the order.
TEST(IconDecoding, TheLargestImageOfSeveralIsChosen) {
  const Bytes small = MakeIcon({4, 4, 0}), large = MakeIcon({8, 8, 0}), shallow = MakeIcon({8, 1, 0});
  Bytes other = shallow;
  other[22 + 40] = 99;  // palette entry 0: blue 99
  for (const auto& icons : {std::vector{small, large}, std::vector{large, small}}) {
    rt::Image im = rt::DecodePicture(Combined(icons));
    EXPECT_EQ(im.width, 8);
    EXPECT_EQ(Pixel(im, 3, 4), (Px{7, 14, 21, 255}));
  }
  for (const auto& icons : {std::vector{shallow, large}, std::vector{large, shallow}})
    EXPECT_EQ(Pixel(rt::DecodePicture(Combined(icons)), 3, 4), (Px{7, 14, 21, 255}));
  EXPECT_EQ(Pixel(rt::DecodePicture(Combined({shallow, other})), 0, 0), (Px{0, 0, 0, 0}));
  EXPECT_EQ(Pixel(rt::DecodePicture(Combined({other, shallow})), 0, 0), (Px{0, 0, 99, 0}));
  // As the directory tells them: a width or height byte of 0 is 256, and
  // neither the planes nor the image's length have a say.
  using Entry = std::array<std::uint8_t, 8>;  // width, height, colours, 0, planes, bits
  const struct {
    Entry first, second;
    int chosen;  // the first is 4 pixels wide, the second 8
  } cases[] = {
      {{0, 255, 0, 0, 1, 0, 4, 0}, {255, 255, 0, 0, 1, 0, 8, 0}, 4},
      {{255, 0, 0, 0, 1, 0, 4, 0}, {255, 255, 0, 0, 1, 0, 8, 0}, 4},
      {{0, 1, 0, 0, 1, 0, 4, 0}, {128, 2, 0, 0, 1, 0, 8, 0}, 8},
      {{1, 0, 0, 0, 1, 0, 4, 0}, {2, 128, 0, 0, 1, 0, 8, 0}, 8},
      {{8, 8, 0, 0, 1, 0, 8, 0}, {8, 8, 0, 0, 1, 1, 8, 0}, 4},
      {{8, 8, 2, 0, 1, 0, 4, 0}, {8, 8, 0, 0, 1, 0, 8, 0}, 8},
  };
  for (const auto& c : cases) {
    Bytes b = Combined({MakeIcon({4, 4, 0}), MakeIcon({8, 8, 0})});
    std::copy(c.first.begin(), c.first.end(), b.begin() + 6);
    std::copy(c.second.begin(), c.second.end(), b.begin() + 22);
    EXPECT_EQ(rt::DecodePicture(b).width, c.chosen) << int(c.first[0]) << "x" << int(c.first[1]);
  }
}

TEST(IconDecoding, SizeLimitIsExact) {
  Bytes base = MakeIcon({8, 8, 0});
  for (const auto& [width, height, why] : {std::tuple{1024u, 16u, "truncated icon colour bits"},
                                           std::tuple{1025u, 16u, "icon too large"},
                                           std::tuple{8u, 2048u, "truncated icon colour bits"},
                                           std::tuple{8u, 2050u, "icon too large"}}) {
    Bytes b = base;
    Set32(b, 22 + 4, width);
    Set32(b, 22 + 8, height);  // the colour bits and the mask, one above the other
    EXPECT_TRUE(RaisesInvalidPicture(b, why)) << width << "x" << height;
  }
}

TEST(IconDecoding, ForgedIconsAreRefused) {
  Bytes base = MakeIcon({8, 8, 0});
  auto with = [&](size_t at, std::uint32_t v) {
    Bytes b = base;
    Set32(b, at, v);
    return b;
  };
  EXPECT_TRUE(RaisesInvalidPicture(with(14, 0x7FFFFFFF)));    // image length
  EXPECT_TRUE(RaisesInvalidPicture(with(18, 0xFFFFFFF0u)));   // image offset
  EXPECT_TRUE(RaisesInvalidPicture(with(22 + 4, 1 << 20)));   // width
  EXPECT_TRUE(RaisesInvalidPicture(with(22 + 8, 1u << 21)));  // height
  EXPECT_TRUE(RaisesInvalidPicture(with(22 + 8, 15), "bad icon size"));  // odd height
  EXPECT_TRUE(RaisesInvalidPicture(with(22 + 4, 0), "bad icon size"));
  EXPECT_TRUE(RaisesInvalidPicture(with(22 + 8, 0), "bad icon size"));
  EXPECT_TRUE(RaisesInvalidPicture(with(22, 39), "bad icon bitmap header"));
  const std::uint32_t length = static_cast<std::uint32_t>(base.size() - 22);
  EXPECT_TRUE(RaisesInvalidPicture(with(22, length + 1), "truncated icon bitmap header"));
  EXPECT_TRUE(RaisesInvalidPicture(with(22, length), "truncated icon colour bits"));
  EXPECT_TRUE(RaisesInvalidPicture(with(14, 40), "truncated icon colour bits"));  // the header alone
  Bytes short_header = with(14, 39);
  Set32(short_header, 22, 39);
  EXPECT_TRUE(RaisesInvalidPicture(short_header, "truncated icon bitmap header"));
  EXPECT_TRUE(RaisesInvalidPicture(with(22 + 16, 0x01000000), "compressed icon bitmap"));
  EXPECT_TRUE(RaisesInvalidPicture(with(22 + 32, 257), "bad icon palette size"));
  Bytes index = MakeIcon({4, 8, 3});
  index[22 + 40 + 3 * 4] = 3;  // one past the last of three colours
  EXPECT_TRUE(RaisesInvalidPicture(index, "icon colour outside the palette"));
  EXPECT_TRUE(RaisesInvalidPicture(with(22 + 4, 0x80000000u)));
  EXPECT_TRUE(RaisesInvalidPicture(with(22 + 32, 300)));      // palette larger than 8 bits allow
  EXPECT_TRUE(RaisesInvalidPicture(with(22 + 16, 1)));        // compressed
  EXPECT_TRUE(RaisesInvalidPicture(with(22, 0xFFFFFF00u)));   // header size
  Bytes count = base;
  count[4] = 0xFF;
  count[5] = 0xFF;  // 65535 directory entries in a 1 KB file
  EXPECT_TRUE(RaisesInvalidPicture(count, "truncated icon directory"));
  Bytes none = base;
  none[4] = 0;
  EXPECT_TRUE(RaisesInvalidPicture(none));
  // An image of no bytes at the file's very end.
  Bytes empty = with(14, 0);
  Set32(empty, 18, static_cast<std::uint32_t>(empty.size()));
  EXPECT_TRUE(RaisesInvalidPicture(empty, "truncated icon bitmap header"));
  // Indices past a short palette would read beyond it.
  EXPECT_TRUE(RaisesInvalidPicture(with(22 + 32, 2)));
  Bytes png = base;
  const std::uint8_t sig[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::copy(std::begin(sig), std::end(sig), png.begin() + 22);
  EXPECT_TRUE(RaisesInvalidPicture(png, "PNG icons are not supported"));
  // A signature is all a PNG image needs to be told; shorter, it is a cut bitmap.
  Set32(png, 14, 8);
  EXPECT_TRUE(RaisesInvalidPicture(png, "PNG icons are not supported"));
  Set32(png, 14, 7);
  EXPECT_TRUE(RaisesInvalidPicture(png, "truncated icon bitmap header"));
}

// ---- JPEG ----

size_t FindMarker(std::span<const std::uint8_t> b, std::uint8_t marker) {
  size_t pos = 2;
  while (pos + 4 <= b.size() && b[pos] == 0xFF) {
    if (b[pos + 1] == marker) return pos;
    pos += 2 + ((b[pos + 2] << 8) | b[pos + 3]);
  }
  return 0;
}

TEST(JpegDecoding, ForgedFrameSizesAreRefused) {
  auto src = forms::pictures::WelcomeInset();
  size_t sof = FindMarker(src, 0xC0);
  ASSERT_GT(sof, 0u);
  for (auto [h, w, why] : {std::tuple{0xFFFF, 0xFFFF, "picture too large"}, {0, 252, "empty picture"},
                           {308, 0, "empty picture"}, {0x4000, 0x4000, "picture too large"}}) {
    Bytes b(src.begin(), src.end());
    b[sof + 5] = h >> 8;
    b[sof + 6] = h & 0xFF;
    b[sof + 7] = w >> 8;
    b[sof + 8] = w & 0xFF;
    EXPECT_TRUE(RaisesInvalidPicture(b, why)) << w << "x" << h;
  }
  Bytes precision(src.begin(), src.end());
  precision[sof + 4] = 12;
  EXPECT_TRUE(RaisesInvalidPicture(precision));
}

TEST(JpegDecoding, BrokenSegmentLengthsAreRefused) {
  auto src = forms::pictures::WelcomeInset();
  for (std::uint8_t marker : {0xE0, 0xDB, 0xC4, 0xC0, 0xDA}) {
    size_t at = FindMarker(src, marker);
    ASSERT_GT(at, 0u) << int(marker);
    Bytes b(src.begin(), src.begin() + static_cast<std::ptrdiff_t>(at + 2000));
    b[at + 2] = 0xFF;  // reaches past the end of what is there
    b[at + 3] = 0xFF;
    EXPECT_TRUE(RaisesInvalidPicture(b, "truncated JPEG segment")) << int(marker);
    b.assign(src.begin(), src.end());
    b[at + 2] = 0;
    b[at + 3] = 1;  // shorter than its own length field
    EXPECT_TRUE(RaisesInvalidPicture(b, "bad JPEG segment length")) << int(marker);
  }
}

TEST(JpegDecoding, MoreThan256HuffmanCodesAreRefused) {
  auto src = forms::pictures::WelcomeInset();
  size_t dht = FindMarker(src, 0xC4);
  ASSERT_GT(dht, 0u);
  Bytes b(src.begin(), src.end());
  b[dht + 5 + 14] = 200;  // the first table's count of 15- and 16-bit codes
  b[dht + 5 + 15] = 200;
  EXPECT_TRUE(RaisesInvalidPicture(b));
}

TEST(JpegDecoding, AScanNeedsItsTablesDefined) {
  auto src = forms::pictures::WelcomeInset();
  size_t sos = FindMarker(src, 0xDA);
  ASSERT_GT(sos, 0u);
  Bytes b(src.begin(), src.end());
  b[sos + 6] = 0x33;  // first component: Huffman tables 3, never defined
  EXPECT_TRUE(RaisesInvalidPicture(b, "JPEG scan without its Huffman tables"));
  b[sos + 6] = 0x03;  // the DC table defined, the AC table not
  EXPECT_TRUE(RaisesInvalidPicture(b, "JPEG scan without its Huffman tables"));
  b[sos + 6] = 0x30;
  EXPECT_TRUE(RaisesInvalidPicture(b, "JPEG scan without its Huffman tables"));
  for (std::uint8_t tables : {0x40, 0x04, 0x44}) {  // no such tables at all
    b[sos + 6] = tables;
    EXPECT_TRUE(RaisesInvalidPicture(b, "JPEG scan without its Huffman tables")) << int(tables);
  }
  b.assign(src.begin(), src.end());
  b[sos + 5] = 99;  // a component the frame does not have
  EXPECT_TRUE(RaisesInvalidPicture(b, "JPEG scan of an unknown component"));
  b.assign(src.begin(), src.end());
  size_t sof = FindMarker(src, 0xC0);
  b[sof + 12] = 3;  // first component's quantization table, never defined
  EXPECT_TRUE(RaisesInvalidPicture(b, "JPEG scan without its quantization table"));
  b[sof + 12] = 4;  // no such table at all
  EXPECT_TRUE(RaisesInvalidPicture(b, "bad JPEG quantization table number"));
}

// A table's class and number within what a baseline file may have.
TEST(JpegDecoding, TablesOfNoSuchClassOrNumberAreRefused) {
  auto src = forms::pictures::WelcomeInset();
  for (const auto& [marker, what] : {std::pair{std::uint8_t{0xDB}, "bad JPEG quantization table"},
                                     std::pair{std::uint8_t{0xC4}, "bad JPEG Huffman table"}}) {
    const size_t at = FindMarker(src, marker);
    ASSERT_GT(at, 0u);
    for (std::uint8_t class_and_number : {0x20, 0x04, 0x24}) {
      Bytes b(src.begin(), src.end());
      b[at + 4] = class_and_number;
      EXPECT_TRUE(RaisesInvalidPicture(b, what)) << int(marker) << " " << int(class_and_number);
    }
  }
}

TEST(JpegDecoding, ProgressiveAndArithmeticCodingAreRefused) {
  auto src = forms::pictures::WelcomeInset();
  size_t sof = FindMarker(src, 0xC0);
  for (std::uint8_t marker : {0xC2, 0xC3, 0xC5, 0xC6, 0xC7, 0xC9, 0xCA, 0xCB, 0xCD, 0xCE, 0xCF}) {
    Bytes b(src.begin(), src.end());
    b[sof + 1] = marker;
    EXPECT_TRUE(RaisesInvalidPicture(b, "unsupported JPEG coding")) << int(marker);
  }
  // Extended sequential Huffman coding is the baseline's equal.
  Bytes extended(src.begin(), src.end());
  extended[sof + 1] = 0xC1;
  EXPECT_EQ(rt::DecodePicture(extended).width, rt::DecodePicture(src).width);
}

TEST(JpegDecoding, AFileWithoutItsEndIsRefused) {
  auto src = forms::pictures::Welcome();
  Bytes b(src.begin(), src.end() - 2);
  EXPECT_TRUE(RaisesInvalidPicture(b));
  b.insert(b.end(), {0xFF, 0xD9});
  EXPECT_EQ(rt::DecodePicture(b).width, 800);
}

// A JPEG of one 8x8 block put together segment by segment. Each Huffman
// table's codes all stand for symbol 0 (a DC difference of 0, the end of a
// block): with one code "0" in each, every block is flat grey.
Bytes Segment(std::uint8_t marker, const Bytes& body) {
  Bytes b{0xFF, marker};
  Put16(b, 0);
  b[2] = static_cast<std::uint8_t>((body.size() + 2) >> 8);
  b[3] = static_cast<std::uint8_t>((body.size() + 2) & 0xFF);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

// Quantization table `id` (its precision in the high nibble), every step 1.
Bytes Quant(std::uint8_t id) {
  Bytes b{id};
  for (int i = 0; i < 64; ++i) {
    if (id >> 4) b.push_back(0);
    b.push_back(1);
  }
  return b;
}

// Huffman table `id` (its class in the high nibble) of `counts` codes of each
// length from 1 bit on.
Bytes Huffman(std::uint8_t id, std::vector<unsigned> counts = {1}) {
  Bytes b{id};
  counts.resize(16);
  unsigned total = 0;
  for (unsigned c : counts) {
    b.push_back(static_cast<std::uint8_t>(c));
    total += c;
  }
  b.insert(b.end(), total, 0);
  return b;
}

Bytes Cat(std::vector<Bytes> parts) {
  Bytes b;
  for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
  return b;
}

struct TinyJpeg {
  std::vector<Bytes> quant = {Quant(0)};                  // one segment each
  std::vector<Bytes> huffman = {Huffman(0x00), Huffman(0x10)};
  std::vector<std::uint8_t> frame = {0};                  // components 1, 2, ...: their quantization tables
  std::vector<std::pair<std::uint8_t, std::uint8_t>> scan = {{1, 0x00}};  // component, DC and AC tables
  bool has_scan = true;
  Bytes tail = {0xFF, 0xD9};  // after the scan's data

  Bytes Build() const {
    Bytes b{0xFF, 0xD8};
    for (const Bytes& q : quant) b = Cat({b, Segment(0xDB, q)});
    Bytes sof{8, 0, 8, 0, 8, static_cast<std::uint8_t>(frame.size())};
    for (std::size_t c = 0; c < frame.size(); ++c) sof.insert(sof.end(), {static_cast<std::uint8_t>(c + 1), 0x11, frame[c]});
    b = Cat({b, Segment(0xC0, sof)});
    for (const Bytes& h : huffman) b = Cat({b, Segment(0xC4, h)});
    if (has_scan) {
      Bytes sos{static_cast<std::uint8_t>(scan.size())};
      for (const auto& [id, tables] : scan) sos.insert(sos.end(), {id, tables});
      sos.insert(sos.end(), {0, 63, 0});
      b = Cat({b, Segment(0xDA, sos)});
      // Two bits a block, the rest of the byte filled with ones.
      const std::size_t n = scan.size();
      b.push_back(n == 0 || n > 3 ? 0 : static_cast<std::uint8_t>((1u << (8 - 2 * n)) - 1));
    }
    return Cat({b, tail});
  }
};

// Tables of every number and precision a sequential file may have, in any
// mix of classes, and tables at the limits of their size.
TEST(JpegDecoding, TheTablesAFileMayHave) {
  const auto with = [](auto change) {
    TinyJpeg j;
    change(j);
    return j;
  };
  std::vector<unsigned> most(16);
  most[0] = 1, most[15] = 255;  // 256 codes
  const struct {
    TinyJpeg jpeg;
    const char* what;
  } cases[] = {
      {TinyJpeg{}, "one component"},
      {with([](TinyJpeg& j) { j.frame = {0, 0, 0}, j.scan = {{1, 0x00}, {2, 0x00}, {3, 0x00}}; }), "three"},
      {with([](TinyJpeg& j) { j.frame = {0, 0, 0, 0}, j.scan = {{1, 0}, {2, 0}, {3, 0}, {4, 0}}; }), "four"},
      {with([](TinyJpeg& j) { j.quant = {Quant(3)}, j.frame = {3}; }), "quantization table 3"},
      {with([](TinyJpeg& j) { j.quant = {Quant(0x10)}; }), "16-bit quantization table"},
      {with([](TinyJpeg& j) { j.huffman = {Huffman(0x03), Huffman(0x13)}, j.scan = {{1, 0x33}}; }),
       "Huffman tables 3"},
      {with([](TinyJpeg& j) { j.huffman = {Huffman(0x00), Huffman(0x11)}, j.scan = {{1, 0x01}}; }),
       "DC table 0, AC table 1"},
      {with([](TinyJpeg& j) { j.huffman = {Cat({Huffman(0x00), Huffman(0x10), Huffman(0x02, {})})}; }),
       "a table of no codes ending its segment"},
      {with([&](TinyJpeg& j) { j.huffman.push_back(Huffman(0x02, most)); }), "a table of 256 codes"},
  };
  for (const auto& c : cases) {
    const rt::Image im = rt::DecodePicture(c.jpeg.Build());
    EXPECT_EQ(im.width, 8) << c.what;
    // Four components are CMYK to one decoder, YCbCr and alpha to another.
    if (c.jpeg.frame.size() != 4) {
      EXPECT_EQ(Pixel(im, 7, 7), (Px{128, 128, 128, 255})) << c.what;
    }
  }
}

TEST(JpegDecoding, TinyFilesBrokenAtTheEdges) {
  const auto with = [](auto change) {
    TinyJpeg j;
    change(j);
    return j.Build();
  };
  std::vector<unsigned> too_many(16);
  too_many[0] = 1, too_many[14] = 1, too_many[15] = 255;  // 257 codes, one of them 1 bit long
  const struct {
    Bytes bytes;
    const char* why;
  } cases[] = {
      {{0xFF, 0xD8, 0xFF}, "no JPEG start"},
      {{0xFF, 0xD8, 0xFF, 0xD9}, "JPEG without image data"},
      // Markers between segments: a second start and a stuffed zero have no
      // place there, a temporary or restart marker stands alone, an empty
      // segment is one.
      {{0xFF, 0xD8, 0xFF, 0xD8, 0xFF, 0xD9}, "misplaced JPEG marker"},
      {{0xFF, 0xD8, 0xFF, 0x00, 0xFF, 0xD9}, "misplaced JPEG marker"},
      {{0xFF, 0xD8, 0xFF, 0x01, 0xFF, 0xD9}, "JPEG without image data"},
      {{0xFF, 0xD8, 0xFF, 0xD0, 0xFF, 0xD9}, "JPEG without image data"},
      {{0xFF, 0xD8, 0xFF, 0xD7, 0xFF, 0xD9}, "JPEG without image data"},
      {{0xFF, 0xD8, 0xFF, 0xCF, 0xFF, 0xD9}, "truncated JPEG segment"},
      {{0xFF, 0xD8, 0xFF, 0xFE, 0x00, 0x02, 0xFF, 0xD9}, "JPEG without image data"},
      {{0xFF, 0xD8, 0xFF, 0xBF, 0x00, 0x02, 0xFF, 0xD9}, "JPEG without image data"},  // no frame below 0xC0
      // A frame header of no components, and one too short to count them.
      {{0xFF, 0xD8, 0xFF, 0xC0, 0, 8, 8, 0, 8, 0, 8, 0, 0xFF, 0xD9}, "bad JPEG component count"},
      {{0xFF, 0xD8, 0xFF, 0xC0, 0, 7, 8, 0, 8, 0, 8, 0xFF, 0xD9}, "short JPEG frame header"},
      // In a scan's data: restart markers and stuffed bytes are passed over,
      // as are fill bytes before them; any other marker ends the scan.
      {with([](TinyJpeg& j) { j.tail = {0xFF, 0xD0, 0x12, 0xFF, 0xC2, 0, 2}; }), "unsupported JPEG coding"},
      {with([](TinyJpeg& j) { j.tail = {0xFF, 0xD7, 0x12, 0xFF, 0xC2, 0, 2}; }), "unsupported JPEG coding"},
      {with([](TinyJpeg& j) { j.tail = {0xFF, 0x00, 0xFF, 0xC2, 0, 2}; }), "unsupported JPEG coding"},
      {with([](TinyJpeg& j) { j.tail = {0xFF, 0xFF, 0x00, 0xFF, 0xC2, 0, 2}; }), "unsupported JPEG coding"},
      {with([](TinyJpeg& j) { j.tail = {0xFF, 0xD8, 0x12, 0xFF, 0xC2, 0, 2}; }), "misplaced JPEG marker"},
      {with([](TinyJpeg& j) { j.tail = {0xFF, 0xCF, 0x12, 0xFF, 0xC2, 0, 2}; }), "truncated JPEG segment"},
      {with([](TinyJpeg& j) { j.tail = {0xFF}; }), "truncated JPEG scan"},
      {with([](TinyJpeg& j) { j.has_scan = false; }), "JPEG without image data"},
      {with([](TinyJpeg& j) { j.scan = {}; }), "bad JPEG scan header"},
      {with([](TinyJpeg& j) { j.scan = {{1, 0x00}, {1, 0x00}}; }), "bad JPEG scan header"},
      {with([&](TinyJpeg& j) { j.huffman.push_back(Huffman(0x02, too_many)); }), "too many JPEG Huffman codes"},
      // A Huffman table one byte short of its counts, at the very end of the file.
      {Cat({{0xFF, 0xD8}, Segment(0xC4, Bytes(16, 0))}), "short JPEG Huffman table"},
  };
  for (const auto& c : cases) EXPECT_TRUE(RaisesInvalidPicture(c.bytes, c.why)) << c.why;
}

// ---- every committed picture, cut short and garbled ----

std::vector<std::span<const std::uint8_t>> AllPictures() {
  return {forms::pictures::MainIcon(),      forms::pictures::MainBackground(),
          forms::pictures::WelcomeInset(),  forms::pictures::Welcome(),
          forms::pictures::DialogIcon(),    forms::pictures::ReaderProduct(),
          forms::pictures::ProductRange(),  std::span<const std::uint8_t>()};
}

// A picture cut short says where.
TEST(CorruptPictures, ACutIsToldWhereItIs) {
  const Bytes bmp = Bmp8(), icon = MakeIcon({8, 8, 0});
  const struct {
    const Bytes& bytes;
    std::size_t cut;
    const char* why;
  } cases[] = {{bmp, 17, "truncated BMP header"},      {bmp, 18, "truncated BMP info header"},
               {bmp, 53, "truncated BMP info header"}, {bmp, 54, "truncated BMP palette"},
               {bmp, 54 + 1023, "truncated BMP palette"}, {bmp, 54 + 1024, "truncated BMP pixels"},
               {icon, 5, "truncated icon header"},     {icon, 6, "truncated icon directory"},
               {icon, 21, "truncated icon directory"},
               {icon, 22, "truncated icon image"},     {icon, icon.size() - 1, "truncated icon image"}};
  for (const auto& c : cases)
    EXPECT_TRUE(RaisesInvalidPicture(std::span(c.bytes).first(c.cut), c.why)) << c.why << " at " << c.cut;
}

// Bytes placed right before a page that may not be read: a decoder that
// reads one byte past a cut picture crashes the test instead of reading on
// into the rest of the file.
class BeforeAGuardPage {
 public:
  explicit BeforeAGuardPage(std::size_t capacity) {
#ifdef _WIN32
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    page_ = info.dwPageSize;
#else
    page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
#endif
    data_size_ = (capacity + page_ - 1) / page_ * page_;
#ifdef _WIN32
    base_ = static_cast<std::uint8_t*>(VirtualAlloc(nullptr, data_size_ + page_, MEM_COMMIT | MEM_RESERVE,
                                                    PAGE_READWRITE));
    DWORD old = 0;
    if (base_) VirtualProtect(base_ + data_size_, page_, PAGE_NOACCESS, &old);
#else
    void* p = mmap(nullptr, data_size_ + page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    base_ = p == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(p);
    if (base_) mprotect(base_ + data_size_, page_, PROT_NONE);
#endif
  }
  ~BeforeAGuardPage() {
#ifdef _WIN32
    if (base_) VirtualFree(base_, 0, MEM_RELEASE);
#else
    if (base_) munmap(base_, data_size_ + page_);
#endif
  }
  BeforeAGuardPage(const BeforeAGuardPage&) = delete;
  BeforeAGuardPage& operator=(const BeforeAGuardPage&) = delete;

  std::span<const std::uint8_t> Hold(std::span<const std::uint8_t> bytes) {
    std::uint8_t* at = base_ + data_size_ - bytes.size();
    std::copy(bytes.begin(), bytes.end(), at);
    return {at, bytes.size()};
  }
  bool ok() const { return base_ != nullptr; }

 private:
  std::size_t page_ = 0, data_size_ = 0;
  std::uint8_t* base_ = nullptr;
};

TEST(CorruptPictures, EveryCutIsRefused) {
  std::vector<Bytes> synthetic = {Bmp8(), Bmp24(false), MakeIcon({8, 1, 0}), MakeIcon({8, 32, 0})};
  auto pictures = AllPictures();
  pictures.pop_back();
  for (const Bytes& s : synthetic) pictures.push_back(s);
  for (auto full : pictures) {
    BeforeAGuardPage guarded(full.size());
    ASSERT_TRUE(guarded.ok());
    std::vector<size_t> cuts;
    for (size_t n = 0; n < std::min<size_t>(full.size(), 1200); ++n) cuts.push_back(n);
    for (size_t k = 1; k < 300; ++k) cuts.push_back(full.size() * k / 300);
    for (size_t n = full.size() > 64 ? full.size() - 64 : 0; n < full.size(); ++n) cuts.push_back(n);
    for (size_t n : cuts) {
      if (n >= full.size()) continue;
      ASSERT_TRUE(RaisesInvalidPicture(guarded.Hold(full.first(n)))) << "cut at " << n << " of " << full.size();
    }
  }
}

TEST(CorruptPictures, GarbledHeadersNeverCrash) {
  auto pictures = AllPictures();
  pictures.pop_back();
  std::uint64_t state = 12345;
  auto next = [&] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(state >> 33);
  };
  for (auto src : pictures) {
    // Big pictures decode slowly when a change leaves them whole.
    int rounds = src.size() < 20000 ? 400 : 60;
    for (int round = 0; round < rounds; ++round) {
      Bytes b(src.begin(), src.end());
      int changes = 1 + next() % 4;
      for (int i = 0; i < changes; ++i) {
        // Mostly the headers, where the sizes and offsets live.
        size_t at = next() % std::min<size_t>(b.size(), round % 4 == 0 ? b.size() : 700);
        b[at] = static_cast<std::uint8_t>(next());
      }
      ASSERT_TRUE(DecodesOrRaises(b)) << "round " << round;
    }
  }
}

TEST(CorruptPictures, GarbageAfterAMagicNumberNeverCrashes) {
  std::uint64_t state = 99;
  for (const Bytes& magic : {Bytes{'B', 'M'}, Bytes{0, 0, 1, 0}, Bytes{0xFF, 0xD8, 0xFF}}) {
    for (int round = 0; round < 200; ++round) {
      Bytes b = magic;
      size_t n = 1 + round * 7;
      for (size_t i = 0; i < n; ++i) {
        state = state * 6364136223846793005ull + 1;
        b.push_back(static_cast<std::uint8_t>(state >> 56));
      }
      EXPECT_TRUE(DecodesOrRaises(b));
    }
  }
}

}  // namespace
