// Decoding of the pictures a window definition carries as the bytes of their
// own files (BMP, ICO, JPEG). Pictures are decoded once, when a window is built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <utility>

namespace rt {

enum class PictureFormat { kUnknown, kBmp, kIco, kJpeg };

// The order of a decoded pixel's four bytes: the one the backend draws from,
// so that its pictures need no second, reordered copy.
enum class PixelOrder : std::uint8_t { kRgba, kBgra };

// Bytes in one block from malloc, so that a decoder's own block is taken
// over as it is: a copy of a full-screen picture is, for a moment, one more.
class PixelBuffer {
 public:
  PixelBuffer() = default;
  // Owns `block` (from malloc, or null) of `size` bytes from now on.
  static PixelBuffer Adopt(std::uint8_t* block, std::size_t size);
  PixelBuffer(const PixelBuffer& other) { *this = other; }
  PixelBuffer& operator=(const PixelBuffer& other);
  PixelBuffer(PixelBuffer&& other) noexcept
      : block_(std::move(other.block_)), size_(std::exchange(other.size_, 0)) {}
  PixelBuffer& operator=(PixelBuffer&& other) noexcept {
    block_ = std::move(other.block_);
    size_ = std::exchange(other.size_, 0);
    return *this;
  }

  std::uint8_t* data() { return block_.get(); }
  const std::uint8_t* data() const { return block_.get(); }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::uint8_t& operator[](std::size_t i) { return block_.get()[i]; }
  const std::uint8_t& operator[](std::size_t i) const { return block_.get()[i]; }
  std::uint8_t* begin() { return data(); }
  std::uint8_t* end() { return data() + size_; }
  const std::uint8_t* begin() const { return data(); }
  const std::uint8_t* end() const { return data() + size_; }
  // `count` zero bytes, the earlier ones kept; throws std::bad_alloc.
  void resize(std::size_t count);
  friend bool operator==(const PixelBuffer& a, const PixelBuffer& b);

 private:
  struct Free {
    void operator()(std::uint8_t* p) const { std::free(p); }
  };
  std::unique_ptr<std::uint8_t, Free> block_;
  std::size_t size_ = 0;
};

// Decoded pixels: rows top-down, 4 bytes per pixel in the order `order` says.
// Alpha is 255 everywhere except where an icon's AND mask makes it transparent.
struct Image {
  int width = 0;
  int height = 0;
  PixelOrder order = PixelOrder::kRgba;
  PixelBuffer pixels;
};

PictureFormat DetectPictureFormat(std::span<const std::uint8_t> bytes);

// Raises ErrorNumber::kInvalidPicture for bytes that are not a whole picture
// of one of the three formats.
Image DecodePicture(std::span<const std::uint8_t> bytes, PixelOrder order = PixelOrder::kRgba);

}  // namespace rt
