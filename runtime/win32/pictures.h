// The core's decoded pictures in GDI's pixel order, and window icons made
// from an icon file's bytes. Each picture is held once, at its own size: a
// window that fills a big screen costs no more than one on a small one.
#pragma once

#include <cstdint>
#include <memory>

#include "runtime/definition.h"
#include "runtime/picture.h"
#include "runtime/win32/win32_api.h"

namespace rt::win32 {

// A decoded picture, the core's own pixels in the order GDI reads (B, G, R,
// A, rows top-down), drawn straight from them: no copy, no bitmap, no
// scaled copy.
class DibPicture {
 public:
  DibPicture() = default;
  // An image decoded in another order is not drawn.
  explicit DibPicture(std::shared_ptr<const Image> image);

  explicit operator bool() const { return image_ != nullptr; }
  int Width() const { return image_ ? image_->width : 0; }
  int Height() const { return image_ ? image_->height : 0; }
  // Stretches the picture over the rectangle (HALFTONE where it is scaled),
  // no further than the target's clipping allows.
  void Draw(HDC target, int x, int y, int width, int height) const;

 private:
  std::shared_ptr<const Image> image_;
};

// An icon `size` pixels square from the image of an icon file nearest that
// size; null when the bytes hold no usable image. The caller destroys it.
HICON IconFromIcoFile(PictureBytes ico, int size);

}  // namespace rt::win32
