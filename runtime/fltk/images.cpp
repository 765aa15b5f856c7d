// Drawing of decoded pictures, their scaled copies, and the standard icon.
#include "runtime/fltk/images.h"

#include <algorithm>

#include <FL/Fl.H>

namespace rt::fltk {

PackedPixels Pack(const Image& image) {
  PackedPixels p;
  const std::size_t count = static_cast<std::size_t>(std::max(0, image.width)) * std::max(0, image.height);
  if (image.width <= 0 || image.height <= 0 || image.rgba.size() < count * 4) return p;
  p.width = image.width;
  p.height = image.height;
  bool opaque = true;
  for (std::size_t i = 0; i < count && opaque; ++i) opaque = image.rgba[i * 4 + 3] == 255;
  p.depth = opaque ? 3 : 4;
  if (!opaque) {
    p.bytes.assign(image.rgba.begin(), image.rgba.begin() + static_cast<std::ptrdiff_t>(count * 4));
    return p;
  }
  p.bytes.resize(count * 3);
  // A plain loop: a copy call per pixel costs more than the picture's decoding.
  const std::uint8_t* src = image.rgba.data();
  std::uint8_t* dst = p.bytes.data();
  for (std::size_t i = 0; i < count; ++i, src += 4, dst += 3) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
  }
  return p;
}

DrawablePicture::DrawablePicture(const Image& image) : pixels_(Pack(image)) {
  if (!pixels_.bytes.empty())
    image_ = std::make_unique<Fl_RGB_Image>(pixels_.bytes.data(), pixels_.width, pixels_.height, pixels_.depth);
}

void DrawablePicture::Draw(int x, int y) {
  if (image_) image_->draw(x, y);
}

void DrawablePicture::DrawStretched(int x, int y, int w, int h) {
  if (!image_ || w <= 0 || h <= 0) return;
  if (w == pixels_.width && h == pixels_.height) {
    image_->draw(x, y);
    return;
  }
  if (!scaled_ || scaled_->w() != w || scaled_->h() != h) {
    const Fl_RGB_Scaling before = Fl_Image::RGB_scaling();
    Fl_Image::RGB_scaling(FL_RGB_SCALING_BILINEAR);
    scaled_.reset(image_->copy(w, h));
    Fl_Image::RGB_scaling(before);
    ++scalings_;
  }
  if (scaled_) scaled_->draw(x, y);
}

std::vector<std::uint8_t> StandardIconRgba(int size) {
  std::vector<std::uint8_t> px(static_cast<std::size_t>(std::max(0, size)) * std::max(0, size) * 4, 0);
  if (size < 8) return px;
  auto set = [&](int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::uint8_t* p = &px[(static_cast<std::size_t>(y) * size + x) * 4];
    p[0] = r, p[1] = g, p[2] = b, p[3] = 255;
  };
  const int m = size / 16;  // margin around the little window
  const int lo = m, hi = size - 1 - m;
  const int title = lo + std::max(2, size / 5);
  for (int y = lo; y <= hi; ++y)
    for (int x = lo; x <= hi; ++x) {
      if (x == lo || y == lo || x == hi || y == hi) set(x, y, 64, 64, 64);
      else if (y <= title) set(x, y, 10, 36, 106);
      else set(x, y, 255, 255, 255);
    }
  // A button face in the title bar's right end.
  const int bs = std::max(1, (title - lo) / 2);
  for (int y = lo + 1 + bs / 2; y < lo + 1 + bs / 2 + bs; ++y)
    for (int x = hi - 1 - bs - bs / 2; x < hi - 1 - bs / 2; ++x) set(x, y, 212, 208, 200);
  return px;
}

}  // namespace rt::fltk
