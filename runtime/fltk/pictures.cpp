// Drawing of decoded pictures by the X server, and the standard icon.
#include "runtime/fltk/pictures.h"

#include "runtime/error.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

// FLTK and X11 last: Xlib defines True and False as macros.
#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/extensions/Xrender.h>

namespace rt::fltk {

PackedPixels Pack(const Image& image) {
  PackedPixels p;
  const std::size_t count = static_cast<std::size_t>(std::max(0, image.width)) * std::max(0, image.height);
  if (image.width <= 0 || image.height <= 0 || image.pixels.size() < count * 4) return p;
  p.width = image.width;
  p.height = image.height;
  bool opaque = true;
  for (std::size_t i = 0; i < count && opaque; ++i) opaque = image.pixels[i * 4 + 3] == 255;
  p.depth = opaque ? 3 : 4;
  if (!opaque) {
    p.bytes.assign(image.pixels.begin(), image.pixels.begin() + static_cast<std::ptrdiff_t>(count * 4));
    return p;
  }
  p.bytes.resize(count * 3);
  // A plain loop: a copy call per pixel costs more than the picture's decoding.
  const std::uint8_t* src = image.pixels.data();
  std::uint8_t* dst = p.bytes.data();
  for (std::size_t i = 0; i < count; ++i, src += 4, dst += 3) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
  }
  return p;
}

namespace {

// XRender on this display, asked once.
bool HaveRender() {
  static const bool have = [] {
    int event = 0, error = 0;
    return XRenderQueryExtension(fl_display, &event, &error) != 0;
  }();
  return have;
}

// The picture's rows as the server stores them, 32 bits a pixel: in the
// visual's channel masks, or premultiplied ARGB for a picture with alpha.
// The X server's fast scaling paths take only these layouts.
void Convert(const Image& image, int first, int rows, XImage& out, bool alpha) {
  const Visual* v = fl_visual->visual;
  const bool native = out.bits_per_pixel == 32 && out.byte_order == LSBFirst &&
                      (alpha || (v->red_mask == 0xFF0000 && v->green_mask == 0xFF00 && v->blue_mask == 0xFF));
  for (int y = 0; y < rows; ++y) {
    const std::uint8_t* src = image.pixels.data() + static_cast<std::size_t>(first + y) * image.width * 4;
    auto* dst = reinterpret_cast<std::uint8_t*>(out.data) + static_cast<std::size_t>(y) * out.bytes_per_line;
    if (native && !alpha) {
      // R and B change places, two pixels a step.
      const std::size_t bytes = static_cast<std::size_t>(image.width) * 4;
      std::size_t i = 0;
      for (; i + 8 <= bytes; i += 8) {
        std::uint64_t p;
        std::memcpy(&p, src + i, 8);
        p = (p & 0xFF00FF00FF00FF00ull) | ((p >> 16) & 0x000000FF000000FFull) | ((p & 0x000000FF000000FFull) << 16);
        std::memcpy(dst + i, &p, 8);
      }
      if (i < bytes) dst[i] = src[i + 2], dst[i + 1] = src[i + 1], dst[i + 2] = src[i], dst[i + 3] = src[i + 3];
      continue;
    }
    for (int x = 0; x < image.width; ++x, src += 4) {
      const unsigned a = alpha ? src[3] : 255;
      const auto mul = [a](std::uint8_t c) { return static_cast<std::uint8_t>((c * a + 127) / 255); };
      const std::uint8_t r = mul(src[0]), g = mul(src[1]), b = mul(src[2]);
      if (native) {
        std::uint8_t* p = dst + x * 4;
        p[0] = b, p[1] = g, p[2] = r, p[3] = static_cast<std::uint8_t>(a);
      } else {
        XPutPixel(&out, x, y, (static_cast<unsigned long>(a) << 24) | (r << 16) | (g << 8) | b);
      }
    }
  }
}

XTransform Scale(double sx, double sy) {
  XTransform t{};
  t.matrix[0][0] = XDoubleToFixed(sx);
  t.matrix[1][1] = XDoubleToFixed(sy);
  t.matrix[2][2] = XDoubleToFixed(1);
  return t;
}

}  // namespace

DrawablePicture::DrawablePicture(std::shared_ptr<const Image> image, PictureBytes source)
    : image_(std::move(image)), source_(source) {
  if (!image_) return;
  const Image& im = *image_;
  const std::size_t count = static_cast<std::size_t>(std::max(0, im.width)) * std::max(0, im.height);
  if (im.width > 0 && im.height > 0 && im.pixels.size() >= count * 4) {
    width_ = im.width;
    height_ = im.height;
  }
}

const Image* DrawablePicture::Pixels() {
  if (!image_ && !source_.empty()) {
    // It decoded when its window was built; should it not now, nothing is drawn.
    try {
      image_ = std::make_shared<const Image>(DecodePicture(source_));
    } catch (const RuntimeError&) {
    }
    if (image_ && (image_->width != width_ || image_->height != height_)) image_.reset();
  }
  return image_.get();
}

DrawablePicture::~DrawablePicture() {
  if (!fl_display) return;
  if (picture_) XRenderFreePicture(fl_display, picture_);
  if (pixmap_) XFreePixmap(fl_display, pixmap_);
}

bool DrawablePicture::Opaque() {
  if (opaque_ < 0) {
    const Image* im = Pixels();
    if (!im) return false;
    // All alpha bytes are 255 exactly when their AND is; two pixels a step.
    const std::size_t bytes = static_cast<std::size_t>(width_) * height_ * 4;
    std::uint64_t all = ~0ull;
    std::size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
      std::uint64_t p;
      std::memcpy(&p, im->pixels.data() + i, 8);
      all &= p;
    }
    if (i < bytes) all &= 0xFFFFFFFF00000000ull | im->pixels[i + 3] << 24;
    opaque_ = (all & 0xFF000000FF000000ull) == 0xFF000000FF000000ull ? 1 : 0;
  }
  return opaque_ == 1;
}

// Sends the pixels a band of converted rows at a time, so that no full-size
// copy is ever made in the process.
bool DrawablePicture::Upload() {
  if (picture_) return true;
  if (Empty() || !HaveRender() || !Pixels()) return false;
  const bool alpha = !Opaque();
  XRenderPictFormat* format = alpha ? XRenderFindStandardFormat(fl_display, PictStandardARGB32)
                                    : XRenderFindVisualFormat(fl_display, fl_visual->visual);
  if (!format) return false;
  const int depth = format->depth;
  pixmap_ = XCreatePixmap(fl_display, RootWindow(fl_display, fl_screen), static_cast<unsigned>(width_),
                          static_cast<unsigned>(height_), static_cast<unsigned>(depth));
  GC gc = XCreateGC(fl_display, pixmap_, 0, nullptr);
  constexpr int kBand = 64;
  std::vector<char> band(static_cast<std::size_t>(width_) * 4 * std::min(kBand, height_));
  for (int y = 0; y < height_; y += kBand) {
    const int rows = std::min(kBand, height_ - y);
    XImage* img = XCreateImage(fl_display, fl_visual->visual, static_cast<unsigned>(depth), ZPixmap, 0, band.data(),
                               static_cast<unsigned>(width_), static_cast<unsigned>(rows), 32, width_ * 4);
    if (!img) break;
    img->byte_order = LSBFirst;  // as Convert lays the bytes out; Xlib swaps for a server that differs
    Convert(*image_, y, rows, *img, alpha);
    XPutImage(fl_display, pixmap_, gc, img, 0, 0, 0, y, static_cast<unsigned>(width_), static_cast<unsigned>(rows));
    img->data = nullptr;  // ours, not Xlib's to free
    XDestroyImage(img);
  }
  XFreeGC(fl_display, gc);
  XRenderPictureAttributes pa{};
  pa.repeat = RepeatPad;  // edge pixels are sampled against themselves, not black
  picture_ = XRenderCreatePicture(fl_display, pixmap_, format, CPRepeat, &pa);
  XRenderSetPictureFilter(fl_display, picture_, FilterBilinear, nullptr, 0);
  transform_w_ = width_;
  transform_h_ = height_;
  ++uploads_;
  image_.reset();  // the server has it now
  return true;
}

void DrawablePicture::Draw(int x, int y) { DrawStretched(x, y, width_, height_); }

void DrawablePicture::DrawStretched(int x, int y, int w, int h) {
  if (Empty() || w <= 0 || h <= 0) return;
  if (!Upload()) {
    DrawInProcess(x, y, w, h);
    return;
  }
  if (w != transform_w_ || h != transform_h_) {
    XTransform t = Scale(static_cast<double>(width_) / w, static_cast<double>(height_) / h);
    XRenderSetPictureTransform(fl_display, picture_, &t);
    transform_w_ = w;
    transform_h_ = h;
  }
  XRenderPictFormat* target_format = XRenderFindVisualFormat(fl_display, fl_visual->visual);
  if (!target_format) return;
  const ::Picture target = XRenderCreatePicture(fl_display, fl_window, target_format, 0, nullptr);
  // FLTK's clip (the widget's rectangle within the damaged area) holds for
  // the server's drawing too.
  if (Fl_Region clip = fl_clip_region()) XRenderSetPictureClipRegion(fl_display, target, clip);
  XRenderComposite(fl_display, Opaque() ? PictOpSrc : PictOpOver, picture_, None, target, 0, 0, 0, 0, x, y,
                   static_cast<unsigned>(w), static_cast<unsigned>(h));
  XRenderFreePicture(fl_display, target);
}

namespace {

struct Stretch {
  const Image* image;
  int w, h;
};

// Nearest pixel, a row at a time, straight from the decoded picture.
void StretchedRow(void* data, int x, int y, int count, uchar* out) {
  const auto* s = static_cast<const Stretch*>(data);
  const int row = std::min(s->image->height - 1, y * s->image->height / s->h);
  const std::uint8_t* line = s->image->pixels.data() + static_cast<std::size_t>(row) * s->image->width * 4;
  for (int i = 0; i < count; ++i, out += 3) {
    const std::size_t col = static_cast<std::size_t>(std::min(s->image->width - 1, (x + i) * s->image->width / s->w));
    out[0] = line[col * 4], out[1] = line[col * 4 + 1], out[2] = line[col * 4 + 2];
  }
}

}  // namespace

void DrawablePicture::DrawInProcess(int x, int y, int w, int h) {
  const Image* image = Pixels();
  if (!image) return;
  Stretch source{image, w, h};
  fl_draw_image(StretchedRow, &source, x, y, w, h, 3);
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
