// Decoded pictures in GDI's pixel order, drawn from their pixels; and icons.
#include "runtime/win32/pictures.h"

#include <algorithm>
#include <utility>

namespace rt::win32 {

namespace {

BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  return bmi;
}

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool Drawable(const Image& image) {
  return image.order == PixelOrder::kBgra && image.width > 0 && image.height > 0 &&
         image.pixels.size() == static_cast<std::size_t>(image.width) * image.height * 4;
}

}  // namespace

DibPicture::DibPicture(std::shared_ptr<const Image> image, PictureBytes source) : source_(source) {
  if (!image || !Drawable(*image)) return;
  width_ = image->width;
  height_ = image->height;
  image_ = std::move(image);
}

// A scaled picture is drawn in bands of about this many bytes of the
// target: the system scales into a buffer as big as the part it draws,
// which for one stroke over a big screen is a screen-sized one.
constexpr int kBandBytes = 1 << 20;

void DibPicture::Draw(HDC target, int x, int y, int width, int height) {
  if (!width_ || width <= 0 || height <= 0) return;
  if (!image_) {
    // It decoded before; a failure now (out of memory) leaves the area unpainted.
    try {
      auto image = std::make_shared<const Image>(DecodePicture(source_, PixelOrder::kBgra));
      if (image->width == width_ && image->height == height_ && Drawable(*image)) image_ = std::move(image);
    } catch (...) {
    }
    if (!image_) return;
  }
  const int source_width = image_->width, source_height = image_->height;
  const BITMAPINFO source = TopDownInfo(source_width, source_height);
  const bool scaled = width != source_width || height != source_height;
  const int mode = SetStretchBltMode(target, scaled ? HALFTONE : COLORONCOLOR);
  POINT brush{};
  // HALFTONE wants the brush origin set after the mode.
  if (scaled) SetBrushOrgEx(target, 0, 0, &brush);
  RECT clip;
  if (GetClipBox(target, &clip) == ERROR) clip = {x, y, x + width, y + height};
  const int rows = scaled ? std::max(16, kBandBytes / (4 * width)) : height;
  for (int top = std::max(y, static_cast<int>(clip.top)); top < std::min(y + height, static_cast<int>(clip.bottom));
       top += rows) {
    const int saved = SaveDC(target);
    IntersectClipRect(target, x, top, x + width, top + rows);
    StretchDIBits(target, x, y, width, height, 0, 0, source_width, source_height, image_->pixels.data(), &source,
                  DIB_RGB_COLORS, SRCCOPY);
    RestoreDC(target, saved);
  }
  if (scaled) SetBrushOrgEx(target, brush.x, brush.y, nullptr);
  SetStretchBltMode(target, mode);
}

HICON IconFromIcoFile(PictureBytes ico, int size) {
  if (ico.size() < 6 || U16(ico.data() + 2) != 1) return nullptr;
  const std::size_t count = U16(ico.data() + 4);
  if (ico.size() < 6 + 16 * count) return nullptr;
  // Exactly the size if there is one, else the smallest larger, else the
  // largest; among equals the deepest colour.
  int best = -1, best_side = 0, best_bits = 0;
  auto better = [&](int side, int bits) {
    if (best < 0) return true;
    const bool fits = side >= size, best_fits = best_side >= size;
    if (side == best_side) return bits > best_bits;
    if (fits != best_fits) return fits;
    return fits ? side < best_side : side > best_side;
  };
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* e = ico.data() + 6 + 16 * i;
    const int side = e[0] ? e[0] : 256;
    const int bits = U16(e + 6);
    const std::uint32_t length = U32(e + 8), offset = U32(e + 12);
    if (offset > ico.size() || length > ico.size() - offset || length < 40) continue;
    if (better(side, bits)) {
      best = static_cast<int>(i);
      best_side = side;
      best_bits = bits;
    }
  }
  if (best < 0) return nullptr;
  const std::uint8_t* e = ico.data() + 6 + 16 * static_cast<std::size_t>(best);
  // The system reads the image but never writes to it.
  auto* image = const_cast<std::uint8_t*>(ico.data() + U32(e + 12));
  return CreateIconFromResourceEx(image, U32(e + 8), TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
}

}  // namespace rt::win32
