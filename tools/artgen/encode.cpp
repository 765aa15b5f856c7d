// Palette building, dithering and the BMP, ICO and JPEG writers.
#include "encode.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>

#include <jpeglib.h>

#include "detmath.h"

namespace artgen {
namespace {

// Green counts most to the eye, blue least.
double Distance(double r0, double g0, double b0, const Rgb8& p) {
  double dr = r0 - p[0], dg = g0 - p[1], db = b0 - p[2];
  return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

struct Entry {
  Rgb8 colour;
  std::uint32_t count;
};

struct Box {
  std::vector<Entry> entries;
  std::uint64_t population = 0;
  int axis = 0;
  int range = 0;
  void Measure() {
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    population = 0;
    for (const Entry& e : entries) {
      population += e.count;
      for (int c = 0; c < 3; ++c) {
        lo[c] = std::min<int>(lo[c], e.colour[c]);
        hi[c] = std::max<int>(hi[c], e.colour[c]);
      }
    }
    const int weight[3] = {3, 4, 2};
    range = -1;
    for (int c = 0; c < 3; ++c)
      if ((hi[c] - lo[c]) * weight[c] > range) {
        range = (hi[c] - lo[c]) * weight[c];
        axis = c;
      }
  }
};

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void PutInfoHeader(std::vector<std::uint8_t>& out, int width, int height, int bits,
                   std::uint32_t image_size, std::uint32_t colours) {
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(bits));
  Put32(out, 0);  // uncompressed
  Put32(out, image_size);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, colours);
  Put32(out, 0);
}

void PutPalette(std::vector<std::uint8_t>& out, const std::vector<Rgb8>& palette, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    Rgb8 c = i < palette.size() ? palette[i] : Rgb8{0, 0, 0};
    out.insert(out.end(), {c[2], c[1], c[0], 0});
  }
}

}  // namespace

std::vector<Rgb8> ToRgb8(const Canvas& canvas) {
  std::vector<Rgb8> out;
  out.reserve(static_cast<size_t>(canvas.width()) * canvas.height());
  auto q = [](double v) { return static_cast<std::uint8_t>(Clamp(v) * 255.0 + 0.5); };
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) {
      const Color& c = canvas.At(x, y);
      out.push_back({q(c.r), q(c.g), q(c.b)});
    }
  return out;
}

std::vector<Rgb8> MakePalette(const std::vector<Rgb8>& pixels, int colours) {
  std::map<Rgb8, std::uint32_t> histogram;
  for (const Rgb8& p : pixels) ++histogram[p];
  Box first;
  for (const auto& [colour, count] : histogram) first.entries.push_back({colour, count});
  if (first.entries.empty()) return {};
  first.Measure();
  std::vector<Box> boxes{std::move(first)};
  while (static_cast<int>(boxes.size()) < colours) {
    // Split by population first so large areas get enough shades, then by
    // colour range so small bright details keep their own entries.
    bool by_population = static_cast<int>(boxes.size()) < colours / 2;
    int best = -1;
    double best_score = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].entries.size() < 2) continue;
      double score = by_population ? static_cast<double>(boxes[i].population) * boxes[i].range
                                   : static_cast<double>(boxes[i].range) * boxes[i].range *
                                         std::sqrt(static_cast<double>(boxes[i].population));
      if (score > best_score) {
        best_score = score;
        best = static_cast<int>(i);
      }
    }
    if (best < 0) break;
    Box& box = boxes[best];
    int axis = box.axis;
    std::sort(box.entries.begin(), box.entries.end(), [axis](const Entry& a, const Entry& b) {
      if (a.colour[axis] != b.colour[axis]) return a.colour[axis] < b.colour[axis];
      return a.colour < b.colour;
    });
    std::uint64_t half = box.population / 2, run = 0;
    size_t cut = 1;
    for (size_t i = 0; i + 1 < box.entries.size(); ++i) {
      run += box.entries[i].count;
      cut = i + 1;
      if (run >= half) break;
    }
    Box second;
    second.entries.assign(box.entries.begin() + static_cast<std::ptrdiff_t>(cut), box.entries.end());
    box.entries.resize(cut);
    box.Measure();
    second.Measure();
    boxes.push_back(std::move(second));
  }
  std::vector<std::array<double, 3>> centres;
  for (const Box& b : boxes) {
    double s[3] = {0, 0, 0};
    for (const Entry& e : b.entries)
      for (int c = 0; c < 3; ++c) s[c] += static_cast<double>(e.colour[c]) * e.count;
    centres.push_back({s[0] / b.population, s[1] / b.population, s[2] / b.population});
  }
  // A few Lloyd rounds over the distinct colours.
  std::vector<Entry> all;
  for (const Box& b : boxes) all.insert(all.end(), b.entries.begin(), b.entries.end());
  for (int round = 0; round < 6; ++round) {
    std::vector<std::array<double, 4>> sums(centres.size(), {0, 0, 0, 0});
    for (const Entry& e : all) {
      size_t best = 0;
      double best_d = 1e300;
      for (size_t k = 0; k < centres.size(); ++k) {
        Rgb8 c{static_cast<std::uint8_t>(centres[k][0] + 0.5),
               static_cast<std::uint8_t>(centres[k][1] + 0.5),
               static_cast<std::uint8_t>(centres[k][2] + 0.5)};
        double d = Distance(e.colour[0], e.colour[1], e.colour[2], c);
        if (d < best_d) {
          best_d = d;
          best = k;
        }
      }
      for (int c = 0; c < 3; ++c) sums[best][c] += static_cast<double>(e.colour[c]) * e.count;
      sums[best][3] += e.count;
    }
    for (size_t k = 0; k < centres.size(); ++k)
      if (sums[k][3] > 0)
        for (int c = 0; c < 3; ++c) centres[k][c] = sums[k][c] / sums[k][3];
  }
  std::vector<Rgb8> palette;
  for (const auto& c : centres)
    palette.push_back({static_cast<std::uint8_t>(c[0] + 0.5), static_cast<std::uint8_t>(c[1] + 0.5),
                       static_cast<std::uint8_t>(c[2] + 0.5)});
  // Dark to light, which makes the palette easy to read in a hex dump.
  std::sort(palette.begin(), palette.end(), [](const Rgb8& a, const Rgb8& b) {
    int la = 3 * a[0] + 4 * a[1] + 2 * a[2], lb = 3 * b[0] + 4 * b[1] + 2 * b[2];
    return la != lb ? la < lb : a < b;
  });
  palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
  return palette;
}

Indexed Quantize(const Canvas& canvas, const std::vector<Rgb8>& palette, double dither,
                 const std::vector<bool>* skip, std::uint8_t skip_index) {
  if (palette.empty() || palette.size() > 256) throw std::invalid_argument("bad palette size");
  int w = canvas.width(), h = canvas.height();
  Indexed out;
  out.width = w;
  out.height = h;
  out.palette = palette;
  out.index.assign(static_cast<size_t>(w) * h, 0);
  std::vector<Rgb8> src = ToRgb8(canvas);
  std::vector<std::array<double, 3>> err(static_cast<size_t>(w + 2) * 2, {0, 0, 0});
  auto cur = [&](int x) -> std::array<double, 3>& { return err[static_cast<size_t>(x + 1)]; };
  auto nxt = [&](int x) -> std::array<double, 3>& { return err[static_cast<size_t>(w + 2 + x + 1)]; };
  for (int y = 0; y < h; ++y) {
    bool ltr = y % 2 == 0;
    for (int i = 0; i < w; ++i) {
      int x = ltr ? i : w - 1 - i;
      size_t at = static_cast<size_t>(y) * w + x;
      if (skip && (*skip)[at]) {
        out.index[at] = skip_index;
        continue;
      }
      double v[3];
      for (int c = 0; c < 3; ++c) v[c] = Clamp(src[at][c] + cur(x)[c], 0, 255);
      size_t best = 0;
      double best_d = 1e300;
      for (size_t k = 0; k < palette.size(); ++k) {
        double d = Distance(v[0], v[1], v[2], palette[k]);
        if (d < best_d) {
          best_d = d;
          best = k;
        }
      }
      out.index[at] = static_cast<std::uint8_t>(best);
      int dir = ltr ? 1 : -1;
      for (int c = 0; c < 3; ++c) {
        double e = (v[c] - palette[best][c]) * dither;
        cur(x + dir)[c] += e * 7 / 16;
        nxt(x - dir)[c] += e * 3 / 16;
        nxt(x)[c] += e * 5 / 16;
        nxt(x + dir)[c] += e * 1 / 16;
      }
    }
    std::copy(err.begin() + w + 2, err.end(), err.begin());
    std::fill(err.begin() + w + 2, err.end(), std::array<double, 3>{0, 0, 0});
  }
  return out;
}

std::vector<std::uint8_t> WriteBmp8(const Indexed& p) {
  std::uint32_t stride = (static_cast<std::uint32_t>(p.width) + 3) / 4 * 4;
  std::uint32_t image = stride * static_cast<std::uint32_t>(p.height);
  std::uint32_t offset = 14 + 40 + 256 * 4;
  std::vector<std::uint8_t> out{'B', 'M'};
  Put32(out, offset + image);
  Put32(out, 0);
  Put32(out, offset);
  PutInfoHeader(out, p.width, p.height, 8, image, 256);
  PutPalette(out, p.palette, 256);
  for (int y = p.height - 1; y >= 0; --y) {
    const std::uint8_t* row = p.index.data() + static_cast<size_t>(y) * p.width;
    out.insert(out.end(), row, row + p.width);
    out.resize(out.size() + (stride - p.width), 0);
  }
  return out;
}

std::vector<std::uint8_t> WriteIco(const Indexed& p, int bits, const std::vector<bool>& transparent) {
  if (bits != 4 && bits != 8) throw std::invalid_argument("icons are written with 4 or 8 bits");
  std::uint32_t colours = 1u << bits;
  std::uint32_t xor_stride = (static_cast<std::uint32_t>(p.width) * bits + 31) / 32 * 4;
  std::uint32_t and_stride = (static_cast<std::uint32_t>(p.width) + 31) / 32 * 4;
  std::uint32_t bits_size = (xor_stride + and_stride) * static_cast<std::uint32_t>(p.height);
  std::uint32_t resource = 40 + colours * 4 + bits_size;
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // icon, not cursor
  Put16(out, 1);
  out.push_back(static_cast<std::uint8_t>(p.width));
  out.push_back(static_cast<std::uint8_t>(p.height));
  out.push_back(static_cast<std::uint8_t>(bits == 4 ? 16 : 0));
  out.push_back(0);
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(bits));
  Put32(out, resource);
  Put32(out, 22);
  PutInfoHeader(out, p.width, p.height * 2, bits, bits_size, 0);
  PutPalette(out, p.palette, colours);
  for (int y = p.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(xor_stride, 0);
    for (int x = 0; x < p.width; ++x) {
      std::uint8_t v = p.index[static_cast<size_t>(y) * p.width + x];
      if (bits == 8)
        row[x] = v;
      else
        row[x / 2] |= static_cast<std::uint8_t>(x % 2 ? v & 0x0F : (v & 0x0F) << 4);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  for (int y = p.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(and_stride, 0);
    for (int x = 0; x < p.width; ++x)
      if (transparent[static_cast<size_t>(y) * p.width + x])
        row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

std::vector<std::uint8_t> EncodeJpeg(const Canvas& canvas, int quality, bool subsample) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(canvas.width());
  info.image_height = static_cast<JDIMENSION>(canvas.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  info.dct_method = JDCT_ISLOW;
  info.optimize_coding = FALSE;
  info.density_unit = 1;
  info.X_density = 72;
  info.Y_density = 72;
  int factor = subsample ? 2 : 1;
  info.comp_info[0].h_samp_factor = factor;
  info.comp_info[0].v_samp_factor = factor;
  for (int c = 1; c < 3; ++c) {
    info.comp_info[c].h_samp_factor = 1;
    info.comp_info[c].v_samp_factor = 1;
  }
  jpeg_start_compress(&info, TRUE);
  std::vector<Rgb8> pixels = ToRgb8(canvas);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(
        pixels[static_cast<size_t>(info.next_scanline) * canvas.width()].data());
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return out;
}

std::vector<std::uint8_t> PadJpeg(const std::vector<std::uint8_t>& jpeg, std::size_t target) {
  if (jpeg.size() < 6 || jpeg[0] != 0xFF || jpeg[1] != 0xD8 || jpeg[2] != 0xFF || jpeg[3] != 0xE0)
    throw std::invalid_argument("not a JFIF file");
  if (target == jpeg.size()) return jpeg;
  if (target < jpeg.size() + 4) throw std::invalid_argument("no room for a comment");
  size_t insert_at = 4 + (static_cast<size_t>(jpeg[4]) << 8 | jpeg[5]);
  if (insert_at > jpeg.size()) throw std::invalid_argument("broken JFIF header");
  static const char kNote[] = "Mirelund - Startprogramm. ";
  std::vector<std::uint8_t> pad;
  size_t left = target - jpeg.size();
  while (left > 0) {
    size_t segment = std::min<size_t>(left, 65535 + 2);
    // Never leave less than a whole empty segment behind.
    if (left - segment > 0 && left - segment < 4) segment = left - 4;
    size_t data = segment - 4;
    pad.insert(pad.end(), {0xFF, 0xFE, static_cast<std::uint8_t>((data + 2) >> 8),
                           static_cast<std::uint8_t>((data + 2) & 0xFF)});
    for (size_t i = 0; i < data; ++i) pad.push_back(static_cast<std::uint8_t>(kNote[i % (sizeof kNote - 1)]));
    left -= segment;
  }
  std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(insert_at));
  out.insert(out.end(), pad.begin(), pad.end());
  out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(insert_at), jpeg.end());
  return out;
}

SizedJpeg EncodeJpegToSize(const Canvas& canvas, std::size_t target, bool subsample) {
  for (int q = 100; q >= 1; --q) {
    std::vector<std::uint8_t> bytes = EncodeJpeg(canvas, q, subsample);
    if (bytes.size() == target || bytes.size() + 4 <= target)
      return {PadJpeg(bytes, target), q, target - bytes.size()};
  }
  throw std::runtime_error("picture does not fit into " + std::to_string(target) + " bytes");
}

}  // namespace artgen
