// Little helpers the picture tests share: reading little and big endian
// fields, and a check that a call raises the runtime's invalid-picture error.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "runtime/error.h"
#include "runtime/picture.h"

namespace picture_test {

inline std::uint32_t Le16(std::span<const std::uint8_t> b, size_t at) {
  return b[at] | (b[at + 1] << 8);
}
inline std::uint32_t Le32(std::span<const std::uint8_t> b, size_t at) {
  return Le16(b, at) | (Le16(b, at + 2) << 16);
}
inline std::int32_t SLe32(std::span<const std::uint8_t> b, size_t at) {
  return static_cast<std::int32_t>(Le32(b, at));
}
inline std::uint32_t Be16(std::span<const std::uint8_t> b, size_t at) {
  return (b[at] << 8) | b[at + 1];
}

// Decoding must raise error 481, anything else (a picture, another error, a
// crash under the sanitizers) fails the test; where `why` is given, the
// message box tells it.
inline ::testing::AssertionResult RaisesInvalidPicture(std::span<const std::uint8_t> bytes,
                                                       const std::string& why = {}) {
  try {
    rt::Image image = rt::DecodePicture(bytes);
    return ::testing::AssertionFailure()
           << "decoded " << bytes.size() << " bytes to " << image.width << "x" << image.height;
  } catch (const rt::RuntimeError& e) {
    if (e.number() != rt::ErrorNumber::kInvalidPicture)
      return ::testing::AssertionFailure() << "wrong error " << static_cast<int>(e.number());
    if (e.text().find("(" + why) == std::string::npos) return ::testing::AssertionFailure() << e.text();
    return ::testing::AssertionSuccess();
  }
}

// Either a sane picture or error 481.
inline ::testing::AssertionResult DecodesOrRaises(std::span<const std::uint8_t> bytes) {
  try {
    rt::Image image = rt::DecodePicture(bytes);
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height * 4)
      return ::testing::AssertionFailure() << "inconsistent image";
    return ::testing::AssertionSuccess();
  } catch (const rt::RuntimeError& e) {
    if (e.number() != rt::ErrorNumber::kInvalidPicture)
      return ::testing::AssertionFailure() << "wrong error " << static_cast<int>(e.number());
    return ::testing::AssertionSuccess();
  }
}

}  // namespace picture_test
