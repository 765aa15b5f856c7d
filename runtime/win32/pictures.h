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

// Whether `outer` covers `inner` whole: a picture hidden so is let go of.
inline bool Covers(const RECT& outer, const RECT& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

// A decoded picture, the core's own pixels in the order GDI reads (B, G, R,
// A, rows top-down), drawn straight from them: no copy, no bitmap, no
// scaled copy. Pixels let go of while nothing shows them are decoded again
// from the file's bytes (the window definition's, which stay) when next drawn.
class DibPicture {
 public:
  DibPicture() = default;
  // `image` decoded from `source`; one decoded in another order is not drawn.
  DibPicture(std::shared_ptr<const Image> image, PictureBytes source);

  explicit operator bool() const { return width_ > 0; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Held() const { return image_ != nullptr; }
  void Release() { image_.reset(); }
  // Stretches the picture over the rectangle (HALFTONE where it is scaled),
  // no further than the target's clipping allows.
  void Draw(HDC target, int x, int y, int width, int height);

 private:
  std::shared_ptr<const Image> image_;
  PictureBytes source_;
  int width_ = 0, height_ = 0;
};

// An icon `size` pixels square from the image of an icon file nearest that
// size; null when the bytes hold no usable image. The caller destroys it.
HICON IconFromIcoFile(PictureBytes ico, int size);

}  // namespace rt::win32
