// The generator's drawing surface: float colour canvases, coverage masks and
// anti-aliased path filling, plus the few effects the pictures are built from.
#pragma once

#include <functional>
#include <vector>

namespace artgen {

struct Color {
  double r = 0, g = 0, b = 0;
};
inline Color operator+(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Color operator-(Color a, Color b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Color operator*(Color a, double k) { return {a.r * k, a.g * k, a.b * k}; }
inline Color operator*(Color a, Color b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Color Mix(Color a, Color b, double t) { return a + (b - a) * t; }
// From 0..255 components, the way colours are picked by eye.
inline Color Rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }
// A colour ramp through evenly spaced stops, t in [0, 1].
Color Ramp(const std::vector<Color>& stops, double t);

struct Pt {
  double x = 0, y = 0;
};

// Closed polygons, filled with the non-zero winding rule.
class Path {
 public:
  void MoveTo(double x, double y);
  void LineTo(double x, double y);
  void QuadTo(double cx, double cy, double x, double y);
  void CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y);
  // Adds a whole closed shape, turned counter-clockwise (in screen terms) so
  // that overlapping shapes of one path add up instead of cancelling.
  void AddPolygon(std::vector<Pt> points);
  void AddRect(double x0, double y0, double x1, double y1);
  void AddEllipse(double cx, double cy, double rx, double ry, int segments = 0);
  void AddCircle(double cx, double cy, double r) { AddEllipse(cx, cy, r, r); }
  void AddRoundRect(double x0, double y0, double x1, double y1, double radius);
  // A straight stroke with square ends.
  void AddLine(double x0, double y0, double x1, double y1, double width);
  void Append(const Path& other);
  void Transform(double a, double b, double c, double d, double tx, double ty);
  void Translate(double tx, double ty) { Transform(1, 0, 0, 1, tx, ty); }
  const std::vector<std::vector<Pt>>& contours() const { return contours_; }

 private:
  std::vector<std::vector<Pt>> contours_;
};

// Coverage in [0, 1] for every pixel.
class Mask {
 public:
  Mask(int width, int height, float value = 0.0f);
  int width() const { return w_; }
  int height() const { return h_; }
  float& At(int x, int y) { return a_[static_cast<size_t>(y) * w_ + x]; }
  float At(int x, int y) const { return a_[static_cast<size_t>(y) * w_ + x]; }
  // Zero outside the mask.
  float Get(int x, int y) const;
  void Fill(const Path& path);
  // Box blur applied three times: close to a Gaussian of the given radius.
  void Blur(double radius);
  void Shift(int dx, int dy);
  void Scale(double k);  // clamped to [0, 1]
  void Max(const Mask& other);
  void Multiply(const Mask& other);
  void Subtract(const Mask& other);
  void Invert();

 private:
  int w_, h_;
  std::vector<float> a_;
};

Mask FillMask(int width, int height, const Path& path);

class Canvas {
 public:
  Canvas(int width, int height, Color fill = {});
  int width() const { return w_; }
  int height() const { return h_; }
  Color& At(int x, int y) { return px_[static_cast<size_t>(y) * w_ + x]; }
  const Color& At(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
  // Bilinear sample at a continuous position, clamped at the edges.
  Color Sample(double x, double y) const;
  // Sets each pixel to f(x, y, old colour).
  void Shade(const std::function<Color(int, int, Color)>& f);
  // Blends colour c over the pixels the mask covers.
  void Paint(const Mask& mask, Color c, double opacity = 1.0);
  // Blends the colour from f(x, y) over the pixels the mask covers.
  void PaintShaded(const Mask& mask, const std::function<Color(int, int)>& f,
                   double opacity = 1.0);
  void Fill(const Path& path, Color c, double opacity = 1.0);
  // Adds light (screen-like, for glows) with the mask's coverage.
  void AddLight(const Mask& mask, Color c, double strength = 1.0);
  // Draws the picture src projected onto the quadrilateral corners (top
  // left, top right, bottom right, bottom left); shade(u, v) darkens it.
  void DrawQuad(const Canvas& src, const Pt corners[4],
                const std::function<double(double, double)>& shade = {}, double opacity = 1.0);
  void Draw(const Canvas& src, int x, int y);
  // Box-averages factor x factor pixels into one.
  Canvas Downsample(int factor) const;
  Canvas Resize(int width, int height) const;
  // Adds a soft 2D grain of the given amplitude, like a scanned print.
  void Grain(double amplitude, unsigned seed);

 private:
  int w_, h_;
  std::vector<Color> px_;
};

// Light and shade of a raised shape: the mask, blurred into a height field,
// is lit from the upper left. Returns -1..1 per pixel (0 on flat parts).
std::vector<float> BevelLight(const Mask& mask, double radius);

}  // namespace artgen
