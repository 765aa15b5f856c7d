// Decoding of the pictures a window definition carries as the bytes of their
// own files (BMP, ICO, JPEG). Pictures are decoded once, when a window is built.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace rt {

enum class PictureFormat { kUnknown, kBmp, kIco, kJpeg };

// Decoded pixels: rows top-down, 4 bytes per pixel in the order R, G, B, A.
// Alpha is 255 everywhere except where an icon's AND mask makes it transparent.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

PictureFormat DetectPictureFormat(std::span<const std::uint8_t> bytes);

// Raises ErrorNumber::kInvalidPicture for bytes that are not a whole picture
// of one of the three formats.
Image DecodePicture(std::span<const std::uint8_t> bytes);

}  // namespace rt
