// JPEG pixels through stb_image, where the build has no libjpeg-turbo.
#include "picture_decoders.h"

namespace rt {

Image DecodeJpegPixels(std::span<const std::uint8_t> bytes, std::uint64_t width, std::uint64_t height) {
  return DecodeWithStb(bytes, width, height);
}

}  // namespace rt
