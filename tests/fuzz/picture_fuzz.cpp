// A picture's bytes (BMP, ICO, JPEG), through the decoder this fuzzer is
// linked with: libjpeg-turbo or stb_image for JPEG.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "runtime/error.h"
#include "runtime/picture.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  try {
    const rt::Image image = rt::DecodePicture(bytes, size % 2 ? rt::PixelOrder::kBgra : rt::PixelOrder::kRgba);
    FUZZ_CHECK(image.width > 0 && image.height > 0);
    FUZZ_CHECK(image.pixels.size() == static_cast<std::size_t>(image.width) * image.height * 4);
  } catch (const rt::RuntimeError& e) {
    FUZZ_CHECK(e.number() == rt::ErrorNumber::kInvalidPicture);
  }
  return 0;
}
