// GDI bitmaps made from the core's decoded pictures, and window icons made
// from an icon file's bytes. A stretched picture is scaled once per size and
// kept; painting only copies it.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/definition.h"
#include "runtime/picture.h"
#include "runtime/win32/win32_api.h"

namespace rt::win32 {

// A 32-bit top-down DIB section, owned.
class Bitmap {
 public:
  Bitmap() = default;
  ~Bitmap();
  Bitmap(Bitmap&& other) noexcept;
  Bitmap& operator=(Bitmap&& other) noexcept;
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  // The picture at its own size, or scaled to width × height (HALFTONE).
  static Bitmap FromImage(const Image& image);
  static Bitmap Scaled(const Image& image, int width, int height);
  // Uninitialised pixels, for painting into.
  static Bitmap Surface(int width, int height);

  explicit operator bool() const { return handle_ != nullptr; }
  HBITMAP Handle() const { return handle_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Copies the bitmap with its top left at (x, y), no further than the
  // target's clipping allows.
  void Draw(HDC target, int x, int y) const;

 private:
  static Bitmap Blank(int width, int height, void** bits);
  HBITMAP handle_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// One control's picture at the size it was last drawn.
class PictureCache {
 public:
  const Bitmap& At(const Image& image, int width, int height);
  int Scalings() const { return scalings_; }

 private:
  const Image* image_ = nullptr;
  Bitmap bitmap_;
  int scalings_ = 0;
};

// The picture's pixels as GDI orders them: B, G, R, A, rows top-down.
std::vector<std::uint8_t> ToBgra(const Image& image);

// An icon `size` pixels square from the image of an icon file nearest that
// size; null when the bytes hold no usable image. The caller destroys it.
HICON IconFromIcoFile(PictureBytes ico, int size);

}  // namespace rt::win32
