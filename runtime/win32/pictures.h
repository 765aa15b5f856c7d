// The core's decoded pictures in GDI's pixel order, and window icons made
// from an icon file's bytes. Each picture is held once, at its own size: a
// window that fills a big screen costs no more than one on a small one.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/definition.h"
#include "runtime/picture.h"
#include "runtime/win32/win32_api.h"

namespace rt::win32 {

// A decoded picture kept in the order GDI reads (B, G, R, A, rows top-down)
// and drawn straight from those pixels: no bitmap, no scaled copy.
class DibPicture {
 public:
  DibPicture() = default;
  explicit DibPicture(const Image& image);

  explicit operator bool() const { return !bgra_.empty(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Stretches the picture over the rectangle (HALFTONE where it is scaled),
  // no further than the target's clipping allows.
  void Draw(HDC target, int x, int y, int width, int height) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> bgra_;
};

// An icon `size` pixels square from the image of an icon file nearest that
// size; null when the bytes hold no usable image. The caller destroys it.
HICON IconFromIcoFile(PictureBytes ico, int size);

}  // namespace rt::win32
