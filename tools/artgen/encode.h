// Turning canvases into the bytes of the picture files: palette reduction
// with dithering, BMP and ICO writers, and JPEG at an exact byte count.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster.h"

namespace artgen {

using Rgb8 = std::array<std::uint8_t, 3>;

struct Indexed {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> index;  // top-down rows
  std::vector<Rgb8> palette;
};

std::vector<Rgb8> ToRgb8(const Canvas& canvas);

// Median cut over the pixels' colours, refined by a few k-means rounds.
// Returns at most `colours` entries; fewer if the picture has fewer colours.
std::vector<Rgb8> MakePalette(const std::vector<Rgb8>& pixels, int colours);

// Maps every pixel to the palette, diffusing the error (Floyd-Steinberg,
// serpentine) by `dither` (0 = plain nearest colour). Pixels where `skip` is
// set get index `skip_index` and take part in neither.
Indexed Quantize(const Canvas& canvas, const std::vector<Rgb8>& palette, double dither,
                 const std::vector<bool>* skip = nullptr, std::uint8_t skip_index = 0);

// 8 bits per pixel, 256-entry palette, bottom-up rows.
std::vector<std::uint8_t> WriteBmp8(const Indexed& picture);

// One image with its AND mask (set = transparent); bits is 4 or 8.
std::vector<std::uint8_t> WriteIco(const Indexed& picture, int bits,
                                   const std::vector<bool>& transparent);

// Baseline JFIF; 4:2:0 chroma when subsample is set, else 4:4:4.
std::vector<std::uint8_t> EncodeJpeg(const Canvas& canvas, int quality, bool subsample);

// Pads a JPEG to exactly `target` bytes with comment segments placed after
// the JFIF header. Needs target == size or target >= size + 4.
std::vector<std::uint8_t> PadJpeg(const std::vector<std::uint8_t>& jpeg, std::size_t target);

struct SizedJpeg {
  std::vector<std::uint8_t> bytes;
  int quality = 0;
  std::size_t padding = 0;
};

// The highest quality whose file fits into `target` bytes, padded to it.
SizedJpeg EncodeJpegToSize(const Canvas& canvas, std::size_t target, bool subsample);

}  // namespace artgen
