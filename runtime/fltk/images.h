// Pictures as FLTK draws them: a decoded Image held as an Fl_RGB_Image, with
// one scaled copy kept for the size it was last stretched to, so that a
// picture is scaled once per size change and not on every expose.
#pragma once

#include <FL/Fl_RGB_Image.H>

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/picture.h"

namespace rt::fltk {

// Pixels for FLTK: RGB (depth 3) when every pixel is opaque, else RGBA.
struct PackedPixels {
  int width = 0, height = 0, depth = 3;
  std::vector<unsigned char> bytes;
};
PackedPixels Pack(const Image& image);

class DrawablePicture {
 public:
  explicit DrawablePicture(const Image& image);
  DrawablePicture(const DrawablePicture&) = delete;
  DrawablePicture& operator=(const DrawablePicture&) = delete;

  bool Empty() const { return !image_; }
  int Width() const { return pixels_.width; }
  int Height() const { return pixels_.height; }
  // At natural size, top-left at (x, y); the caller clips.
  void Draw(int x, int y);
  // Stretched over the rectangle, bilinear.
  void DrawStretched(int x, int y, int w, int h);
  // How often a scaled copy was made.
  int Scalings() const { return scalings_; }
  Fl_RGB_Image* Native() { return image_.get(); }

 private:
  PackedPixels pixels_;
  std::unique_ptr<Fl_RGB_Image> image_;  // views pixels_.bytes
  std::unique_ptr<Fl_Image> scaled_;
  int scalings_ = 0;
};

// The runtime's standard window icon, drawn in code: a small window with a
// blue title bar. RGBA, size × size, rows top-down.
std::vector<std::uint8_t> StandardIconRgba(int size);

}  // namespace rt::fltk
