// The picture generator's parts: its deterministic math, path filling,
// palette building, dithering and file writers, checked against the
// runtime's decoder where a file comes out.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "detmath.h"
#include "encode.h"
#include "picture_bytes.h"
#include "raster.h"
#include "text.h"

namespace {

using namespace artgen;

TEST(DetMath, AgreesWithTheCLibrary) {
  for (double x = -20; x <= 20; x += 0.0371) {
    EXPECT_NEAR(Sin(x), std::sin(x), 1e-12) << x;
    EXPECT_NEAR(Cos(x), std::cos(x), 1e-12) << x;
    EXPECT_NEAR(Exp(x), std::exp(x), std::exp(x) * 1e-13) << x;
    EXPECT_NEAR(Atan2(x, 3.0), std::atan2(x, 3.0), 1e-12) << x;
    EXPECT_NEAR(Atan2(-2.0, x), std::atan2(-2.0, x), 1e-12) << x;
  }
  for (double x = 1e-6; x < 1e6; x *= 1.37) {
    EXPECT_NEAR(Log(x), std::log(x), 1e-12) << x;
    EXPECT_NEAR(Pow(x, 0.45), std::pow(x, 0.45), std::pow(x, 0.45) * 1e-12) << x;
  }
}

TEST(DetMath, NoiseStaysInRangeAndDependsOnTheSeed) {
  double lo = 1, hi = 0;
  int differ = 0;
  for (int i = 0; i < 2000; ++i) {
    double x = i * 0.173, y = i * 0.091;
    double n = Fbm(x, y, 5, 7);
    lo = std::min(lo, n);
    hi = std::max(hi, n);
    differ += n != Fbm(x, y, 5, 8);
    double r = Ridged(x, y, 4, 7);
    ASSERT_GE(r, 0.0);
    ASSERT_LE(r, 1.0);
  }
  EXPECT_GE(lo, 0.0);
  EXPECT_LE(hi, 1.0);
  EXPECT_LT(hi - lo, 1.0);
  EXPECT_GT(hi - lo, 0.3);  // not flat
  EXPECT_GT(differ, 1900);
}

TEST(Rng, IsRepeatableAndUniform) {
  Rng a(42), b(42), c(43);
  int same_as_other_seed = 0;
  double sum = 0;
  for (int i = 0; i < 10000; ++i) {
    std::uint64_t v = a.Next();
    ASSERT_EQ(v, b.Next());
    same_as_other_seed += v == c.Next();
    double u = a.Uniform();
    b.Uniform();
    ASSERT_GE(u, 0.0);
    ASSERT_LT(u, 1.0);
    sum += u;
  }
  EXPECT_EQ(same_as_other_seed, 0);
  EXPECT_NEAR(sum / 10000, 0.5, 0.02);
}

double Area(const Mask& m) {
  double s = 0;
  for (int y = 0; y < m.height(); ++y)
    for (int x = 0; x < m.width(); ++x) s += m.At(x, y);
  return s;
}

TEST(PathFill, CoversExactAreas) {
  Path rect;
  rect.AddRect(10.25, 5.5, 30.75, 25.5);
  EXPECT_NEAR(Area(FillMask(64, 64, rect)), 20.5 * 20, 0.05);
  Path circle;
  circle.AddCircle(32, 32, 20);
  EXPECT_NEAR(Area(FillMask(64, 64, circle)), kPi * 400, kPi * 400 * 0.005);
  // Shapes of one path add up; overlapping parts are not counted twice.
  Path two;
  two.AddRect(0, 0, 20, 20);
  two.AddRect(10, 0, 30, 20);
  EXPECT_NEAR(Area(FillMask(64, 64, two)), 600, 0.05);
  // Clipped at the edges.
  Path outside;
  outside.AddRect(-10, -10, 5, 5);
  EXPECT_NEAR(Area(FillMask(64, 64, outside)), 25, 0.05);
}

TEST(PathFill, ReversedContourCutsAHole) {
  Path ring;
  ring.MoveTo(0, 0);
  ring.LineTo(40, 0);
  ring.LineTo(40, 40);
  ring.LineTo(0, 40);
  ring.MoveTo(10, 10);
  ring.LineTo(10, 30);
  ring.LineTo(30, 30);
  ring.LineTo(30, 10);
  Mask m = FillMask(48, 48, ring);
  EXPECT_NEAR(Area(m), 1600 - 400, 0.05);
  EXPECT_EQ(m.At(20, 20), 0.0f);
  EXPECT_EQ(m.At(5, 5), 1.0f);
}

TEST(MaskBlur, KeepsTheTotalAwayFromEdges) {
  Mask m(64, 64);
  Path p;
  p.AddRect(24, 24, 40, 40);
  m.Fill(p);
  double before = Area(m);
  m.Blur(4);
  EXPECT_NEAR(Area(m), before, 0.5);
  EXPECT_GT(m.At(22, 32), 0.05f);  // spread outwards
  EXPECT_LT(m.At(24, 32), 0.9f);
}

TEST(Palette, KeepsFewColoursExactly) {
  std::vector<Rgb8> pixels;
  for (int i = 0; i < 300; ++i) pixels.push_back(i % 3 == 0 ? Rgb8{255, 0, 0} : i % 3 == 1 ? Rgb8{0, 0, 255} : Rgb8{9, 9, 9});
  auto palette = MakePalette(pixels, 16);
  ASSERT_EQ(palette.size(), 3u);
  std::set<Rgb8> got(palette.begin(), palette.end());
  EXPECT_TRUE(got.count({255, 0, 0}) && got.count({0, 0, 255}) && got.count({9, 9, 9}));
}

Canvas Gradient(int w, int h) {
  Canvas c(w, h);
  c.Shade([&](int x, int y, Color) { return Color{x / (w - 1.0), y / (h - 1.0), 0.5 * (x + y) / (w + h)}; });
  return c;
}

TEST(Palette, ApproximatesAGradientWell) {
  Canvas c = Gradient(128, 128);
  auto pixels = ToRgb8(c);
  auto palette = MakePalette(pixels, 64);
  EXPECT_EQ(palette.size(), 64u);
  Indexed q = Quantize(c, palette, 0.0);
  double err = 0;
  for (size_t i = 0; i < pixels.size(); ++i)
    for (int k = 0; k < 3; ++k) err += std::fabs(pixels[i][k] - double(palette[q.index[i]][k]));
  // 64 colours over a 2D gradient: about 1/8 of the range per axis.
  EXPECT_LT(err / (pixels.size() * 3), 12.0);
}

TEST(Quantize, DitheringKeepsTheAverageColour) {
  Canvas c(64, 64, Color{0.5, 0.5, 0.5});
  std::vector<Rgb8> palette{{0, 0, 0}, {255, 255, 255}};
  Indexed plain = Quantize(c, palette, 0.0);
  Indexed dithered = Quantize(c, palette, 1.0);
  double plain_mean = 0, dithered_mean = 0;
  for (size_t i = 0; i < plain.index.size(); ++i) {
    plain_mean += palette[plain.index[i]][0];
    dithered_mean += palette[dithered.index[i]][0];
  }
  plain_mean /= plain.index.size();
  dithered_mean /= dithered.index.size();
  EXPECT_TRUE(plain_mean == 0 || plain_mean == 255);
  EXPECT_NEAR(dithered_mean, 128, 4);
}

TEST(Quantize, SkippedPixelsGetTheirIndex) {
  Canvas c(4, 4, Color{1, 1, 1});
  std::vector<bool> skip(16, false);
  skip[5] = true;
  Indexed q = Quantize(c, {{0, 0, 0}, {255, 255, 255}}, 1.0, &skip, 0);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(q.index[i], i == 5 ? 0 : 1);
}

TEST(Writers, BmpRoundTripsThroughTheRuntime) {
  Canvas c = Gradient(37, 21);  // odd width: rows need padding
  auto palette = MakePalette(ToRgb8(c), 256);
  Indexed q = Quantize(c, palette, 0.0);
  auto bytes = WriteBmp8(q);
  EXPECT_EQ(bytes.size(), 14 + 40 + 1024 + 40u * 21);
  rt::Image im = rt::DecodePicture(bytes);
  ASSERT_EQ(im.width, 37);
  ASSERT_EQ(im.height, 21);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 37; ++x) {
      const Rgb8& want = palette[q.index[y * 37 + x]];
      for (int k = 0; k < 3; ++k) ASSERT_EQ(im.pixels[(y * 37 + x) * 4 + k], want[k]) << x << "," << y;
    }
}

TEST(Writers, IconsRoundTripWithTheirMask) {
  for (int bits : {4, 8}) {
    Canvas c = Gradient(32, 32);
    std::vector<bool> clear(32 * 32);
    for (int i = 0; i < 32 * 32; ++i) clear[i] = (i % 32) < (i / 32) / 2;
    std::vector<Rgb8> opaque;
    auto all = ToRgb8(c);
    for (int i = 0; i < 32 * 32; ++i)
      if (!clear[i]) opaque.push_back(all[i]);
    auto palette = MakePalette(opaque, (1 << bits) - 1);
    palette.insert(palette.begin(), Rgb8{0, 0, 0});
    Indexed q = Quantize(c, palette, 0.5, &clear, 0);
    auto bytes = WriteIco(q, bits, clear);
    EXPECT_EQ(bytes.size(), bits == 4 ? 766u : 2238u);
    rt::Image im = rt::DecodePicture(bytes);
    ASSERT_EQ(im.width, 32);
    for (int i = 0; i < 32 * 32; ++i) {
      ASSERT_EQ(im.pixels[i * 4 + 3], clear[i] ? 0 : 255) << i;
      const Rgb8& want = palette[q.index[i]];
      for (int k = 0; k < 3; ++k) ASSERT_EQ(im.pixels[i * 4 + k], want[k]);
    }
  }
}

TEST(JpegWriter, PaddingHitsTheExactSizeAndChangesNoPixel) {
  Canvas c = Gradient(64, 48);
  auto plain = EncodeJpeg(c, 90, true);
  rt::Image want = rt::DecodePicture(plain);
  for (size_t extra : {0u, 4u, 5u, 1000u, 65537u, 65538u, 65540u, 65541u, 200000u}) {
    auto padded = PadJpeg(plain, plain.size() + extra);
    ASSERT_EQ(padded.size(), plain.size() + extra);
    // Still JFIF first, the comments right after it, each of legal length.
    ASSERT_EQ(padded[2], 0xFF);
    ASSERT_EQ(padded[3], 0xE0);
    size_t pos = 4 + ((padded[4] << 8) | padded[5]);
    size_t comments = 0;
    while (padded[pos] == 0xFF && padded[pos + 1] == 0xFE) {
      size_t len = (padded[pos + 2] << 8) | padded[pos + 3];
      ASSERT_GE(len, 2u);
      comments += len + 2;
      pos += len + 2;
    }
    EXPECT_EQ(comments, extra);
    EXPECT_EQ(rt::DecodePicture(padded).pixels, want.pixels) << extra;
  }
  for (size_t extra : {1u, 2u, 3u}) EXPECT_THROW(PadJpeg(plain, plain.size() + extra), std::invalid_argument);
  EXPECT_THROW(PadJpeg(plain, plain.size() - 1), std::invalid_argument);
}

TEST(JpegWriter, SizedEncodingTakesTheHighestQualityThatFits) {
  Canvas c = Gradient(96, 64);
  c.Grain(0.1, 5);
  size_t q80 = EncodeJpeg(c, 80, false).size();
  SizedJpeg sized = EncodeJpegToSize(c, q80 + 10, false);
  EXPECT_EQ(sized.bytes.size(), q80 + 10);
  EXPECT_GE(sized.quality, 80);
  size_t above = EncodeJpeg(c, sized.quality + 1, false).size();
  EXPECT_TRUE(above > q80 + 10 || above + 4 > q80 + 10);
  EXPECT_EQ(sized.padding, q80 + 10 - EncodeJpeg(c, sized.quality, false).size());
  EXPECT_THROW(EncodeJpegToSize(c, 200, false), std::runtime_error);
}

TEST(JpegWriter, EncodingIsRepeatable) {
  Canvas c = Gradient(80, 60);
  c.Grain(0.05, 9);
  EXPECT_EQ(EncodeJpeg(c, 85, true), EncodeJpeg(c, 85, true));
  EXPECT_NE(EncodeJpeg(c, 85, true), EncodeJpeg(c, 86, true));
}

#ifdef ARTGEN_FONT_DIR
TEST(FontOutline, HasTheFontsMetrics) {
  Font font(std::string(ARTGEN_FONT_DIR) + "/LiberationSerif-Bold.ttf");
  double one = font.Width("M", 100), word = font.Width("MM", 100);
  EXPECT_GT(one, 60);
  EXPECT_LT(one, 110);
  EXPECT_NEAR(word, 2 * one, 1.0);
  EXPECT_NEAR(font.Width("MM", 100, 10), word + 10, 1e-9);
  Mask m = FillMask(200, 120, font.Shape("M", 100, 10, 100));
  double area = Area(m);
  EXPECT_GT(area, 1500);
  EXPECT_LT(area, 6000);
  EXPECT_EQ(m.At(5, 50), 0.0f);  // left of the glyph
  // Umlauts come from UTF-8.
  EXPECT_EQ(DecodeUtf8("\xC3\xBC" "b"), (std::vector<char32_t>{0xFC, 'b'}));
  EXPECT_GT(font.Width("\xC3\xBC", 50), 10);
  EXPECT_THROW(Font("/nonexistent/font.ttf"), std::runtime_error);
}
#endif

}  // namespace
