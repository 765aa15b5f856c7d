// The pixel decoders behind DecodePicture, called only once the structural
// check has passed. Each raises ErrorNumber::kInvalidPicture when the data
// does not decode, or decodes to another size than the header said.
#pragma once

#include <cstdint>
#include <span>

#include "picture.h"

namespace rt {

// BMP and JPEG through stb_image.
Image DecodeWithStb(std::span<const std::uint8_t> bytes, std::uint64_t width, std::uint64_t height);

// Baseline or extended sequential Huffman JPEG; the build picks the decoder:
// libjpeg-turbo where the system has it, else stb_image.
Image DecodeJpegPixels(std::span<const std::uint8_t> bytes, std::uint64_t width, std::uint64_t height);

}  // namespace rt
