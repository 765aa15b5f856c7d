// DIB sections from decoded pictures, their scaled copies, and icons.
#include "runtime/win32/bitmaps.h"

#include <cstring>
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

}  // namespace

Bitmap::~Bitmap() {
  if (handle_) DeleteObject(handle_);
}

Bitmap::Bitmap(Bitmap&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), width_(other.width_), height_(other.height_) {}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
  if (this != &other) {
    if (handle_) DeleteObject(handle_);
    handle_ = std::exchange(other.handle_, nullptr);
    width_ = other.width_;
    height_ = other.height_;
  }
  return *this;
}

Bitmap Bitmap::Blank(int width, int height, void** bits) {
  Bitmap b;
  if (width <= 0 || height <= 0) return b;
  BITMAPINFO bmi = TopDownInfo(width, height);
  b.handle_ = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, bits, nullptr, 0);
  if (b.handle_) {
    b.width_ = width;
    b.height_ = height;
  }
  return b;
}

Bitmap Bitmap::Surface(int width, int height) {
  void* bits = nullptr;
  return Blank(width, height, &bits);
}

Bitmap Bitmap::FromImage(const Image& image) {
  void* bits = nullptr;
  Bitmap b = Blank(image.width, image.height, &bits);
  if (!b) return b;
  const std::vector<std::uint8_t> bgra = ToBgra(image);
  std::memcpy(bits, bgra.data(), bgra.size());
  return b;
}

Bitmap Bitmap::Scaled(const Image& image, int width, int height) {
  if (width == image.width && height == image.height) return FromImage(image);
  void* bits = nullptr;
  Bitmap b = Blank(width, height, &bits);
  if (!b || image.width <= 0 || image.height <= 0) return b;
  const std::vector<std::uint8_t> bgra = ToBgra(image);
  BITMAPINFO source = TopDownInfo(image.width, image.height);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, b.handle_);
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchDIBits(dc, 0, 0, width, height, 0, 0, image.width, image.height, bgra.data(), &source, DIB_RGB_COLORS,
                SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
  return b;
}

void Bitmap::Draw(HDC target, int x, int y) const {
  if (!handle_) return;
  HDC dc = CreateCompatibleDC(target);
  HGDIOBJ old = SelectObject(dc, handle_);
  BitBlt(target, x, y, width_, height_, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
}

const Bitmap& PictureCache::At(const Image& image, int width, int height) {
  if (image_ != &image || bitmap_.Width() != width || bitmap_.Height() != height) {
    bitmap_ = Bitmap::Scaled(image, width, height);
    image_ = &image;
    ++scalings_;
  }
  return bitmap_;
}

std::vector<std::uint8_t> ToBgra(const Image& image) {
  std::vector<std::uint8_t> out(image.rgba.size());
  for (std::size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
    out[i] = image.rgba[i + 2];
    out[i + 1] = image.rgba[i + 1];
    out[i + 2] = image.rgba[i];
    out[i + 3] = image.rgba[i + 3];
  }
  return out;
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
