// stb_image, compiled once for the runtime: BMP, and JPEG where no faster
// decoder is at hand.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "error.h"
#include "picture_decoders.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR  // no float pictures, and no pow() in START.EXE
// No decoder may be asked for more than our own limits allow.
#define STBI_MAX_DIMENSIONS 16384
// Its decoded block becomes the picture's PixelBuffer, which frees with free().
#define STBI_MALLOC(size) std::malloc(size)
#define STBI_REALLOC(block, size) std::realloc(block, size)
#define STBI_FREE(block) std::free(block)
#include <stb_image.h>

namespace rt {

Image DecodeWithStb(std::span<const std::uint8_t> bytes, std::uint64_t width, std::uint64_t height) {
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) Raise(ErrorNumber::kInvalidPicture, "file too large");
  int w = 0, h = 0, n = 0;
  stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &n, 4);
  if (pixels == nullptr)
    Raise(ErrorNumber::kInvalidPicture, std::string("undecodable: ") + stbi_failure_reason());
  if (static_cast<std::uint64_t>(w) != width || static_cast<std::uint64_t>(h) != height) {
    stbi_image_free(pixels);
    Raise(ErrorNumber::kInvalidPicture, "size disagrees with header");
  }
  Image image;
  image.width = w;
  image.height = h;
  // stb_image's block (STBI_MALLOC above) is the picture's.
  image.pixels = PixelBuffer::Adopt(pixels, static_cast<std::size_t>(w) * h * 4);
  return image;
}

}  // namespace rt
