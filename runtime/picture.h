// Decoding of the pictures a window definition carries as the bytes of their
// own files (BMP, ICO, JPEG). Pictures are decoded once, when a window is built.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace rt {

enum class PictureFormat { kUnknown, kBmp, kIco, kJpeg };

// The order of a decoded pixel's four bytes: the one the backend draws from,
// so that its pictures need no second, reordered copy.
enum class PixelOrder : std::uint8_t { kRgba, kBgra };

// Decoded pixels: rows top-down, 4 bytes per pixel in the order `order` says.
// Alpha is 255 everywhere except where an icon's AND mask makes it transparent.
struct Image {
  int width = 0;
  int height = 0;
  PixelOrder order = PixelOrder::kRgba;
  std::vector<std::uint8_t> pixels;
};

PictureFormat DetectPictureFormat(std::span<const std::uint8_t> bytes);

// Raises ErrorNumber::kInvalidPicture for bytes that are not a whole picture
// of one of the three formats.
Image DecodePicture(std::span<const std::uint8_t> bytes, PixelOrder order = PixelOrder::kRgba);

}  // namespace rt
