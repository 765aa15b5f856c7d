// Pictures as the X server draws them, and window icons as FLTK takes them.
#pragma once

#include <FL/Fl_RGB_Image.H>

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/definition.h"
#include "runtime/picture.h"

namespace rt::fltk {

// Pixels for FLTK: RGB (depth 3) when every pixel is opaque, else RGBA.
struct PackedPixels {
  int width = 0, height = 0, depth = 3;
  std::vector<unsigned char> bytes;
};
PackedPixels Pack(const Image& image);

// A picture drawn by the X server: its pixels are sent once, on the first
// draw, into a pixmap of the server's, and scaled there (XRender, bilinear)
// on every draw. The decoded pixels are let go once sent, so the process
// keeps no copy of its own at any size, and a picture that is never drawn is
// never converted. Without XRender it is drawn from the decoded Image on
// every expose, stretched to the nearest pixel.
class DrawablePicture {
 public:
  // `image` decoded from `source`, the file's bytes, which stay (they are the
  // window definition's): a picture let go of is decoded again if ever drawn.
  DrawablePicture(std::shared_ptr<const Image> image, PictureBytes source);
  ~DrawablePicture();
  DrawablePicture(const DrawablePicture&) = delete;
  DrawablePicture& operator=(const DrawablePicture&) = delete;

  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Every pixel opaque: whatever lies under the picture is hidden.
  bool Opaque();
  // At natural size, top-left at (x, y); the caller clips.
  void Draw(int x, int y);
  // Stretched over the rectangle, bilinear.
  void DrawStretched(int x, int y, int w, int h);
  // How often the pixels were sent to the X server.
  int Uploads() const { return uploads_; }
  // Lets go of the decoded pixels of a picture that is not drawn now.
  void Release() { image_.reset(); }

 private:
  bool Upload();
  void DrawInProcess(int x, int y, int w, int h);
  const Image* Pixels();  // decoded again when let go of

  std::shared_ptr<const Image> image_;
  PictureBytes source_;
  int width_ = 0, height_ = 0;
  int opaque_ = -1;  // unknown until asked
  unsigned long pixmap_ = 0;   // the server's copy (an X Pixmap)
  unsigned long picture_ = 0;  // XRender's picture of it
  int transform_w_ = 0, transform_h_ = 0;  // the size its transform scales to
  int uploads_ = 0;
};

// The runtime's standard window icon, drawn in code: a small window with a
// blue title bar. RGBA, size × size, rows top-down.
std::vector<std::uint8_t> StandardIconRgba(int size);

}  // namespace rt::fltk
