// Anti-aliased polygon filling, mask effects and canvas compositing.
#include "raster.h"

#include <algorithm>
#include <cmath>

#include "detmath.h"

namespace artgen {
namespace {

double Dist(double x0, double y0, double x1, double y1) {
  return std::sqrt((x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0));
}

}  // namespace

Color Ramp(const std::vector<Color>& stops, double t) {
  if (stops.size() == 1) return stops[0];
  t = Clamp(t) * static_cast<double>(stops.size() - 1);
  size_t i = std::min(static_cast<size_t>(t), stops.size() - 2);
  return Mix(stops[i], stops[i + 1], t - static_cast<double>(i));
}

// ---- Path ----

void Path::MoveTo(double x, double y) { contours_.push_back({{x, y}}); }

void Path::LineTo(double x, double y) {
  if (contours_.empty()) contours_.push_back({});
  contours_.back().push_back({x, y});
}

void Path::QuadTo(double cx, double cy, double x, double y) {
  Pt p = contours_.back().back();
  double len = Dist(p.x, p.y, cx, cy) + Dist(cx, cy, x, y);
  int n = std::clamp(static_cast<int>(len / 1.5), 4, 64);
  for (int i = 1; i <= n; ++i) {
    double t = static_cast<double>(i) / n, s = 1 - t;
    LineTo(s * s * p.x + 2 * s * t * cx + t * t * x, s * s * p.y + 2 * s * t * cy + t * t * y);
  }
}

void Path::CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y) {
  Pt p = contours_.back().back();
  double len = Dist(p.x, p.y, c1x, c1y) + Dist(c1x, c1y, c2x, c2y) + Dist(c2x, c2y, x, y);
  int n = std::clamp(static_cast<int>(len / 1.5), 4, 96);
  for (int i = 1; i <= n; ++i) {
    double t = static_cast<double>(i) / n, s = 1 - t;
    LineTo(s * s * s * p.x + 3 * s * s * t * c1x + 3 * s * t * t * c2x + t * t * t * x,
           s * s * s * p.y + 3 * s * s * t * c1y + 3 * s * t * t * c2y + t * t * t * y);
  }
}

void Path::AddPolygon(std::vector<Pt> points) {
  double area = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const Pt& a = points[i];
    const Pt& b = points[(i + 1) % points.size()];
    area += a.x * b.y - b.x * a.y;
  }
  if (area < 0) std::reverse(points.begin(), points.end());
  contours_.push_back(std::move(points));
}

void Path::AddRect(double x0, double y0, double x1, double y1) {
  AddPolygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

void Path::AddEllipse(double cx, double cy, double rx, double ry, int segments) {
  if (segments <= 0) segments = std::clamp(static_cast<int>((rx + ry) * 1.5), 16, 256);
  std::vector<Pt> pts;
  for (int i = 0; i < segments; ++i) {
    double a = 2 * kPi * i / segments;
    pts.push_back({cx + rx * Cos(a), cy + ry * Sin(a)});
  }
  AddPolygon(std::move(pts));
}

void Path::AddRoundRect(double x0, double y0, double x1, double y1, double r) {
  std::vector<Pt> pts;
  const Pt centres[4] = {{x1 - r, y0 + r}, {x1 - r, y1 - r}, {x0 + r, y1 - r}, {x0 + r, y0 + r}};
  for (int c = 0; c < 4; ++c) {
    for (int i = 0; i <= 8; ++i) {
      double a = kPi / 2 * (c - 1) + kPi / 2 * i / 8;
      pts.push_back({centres[c].x + r * Cos(a), centres[c].y + r * Sin(a)});
    }
  }
  AddPolygon(std::move(pts));
}

void Path::AddLine(double x0, double y0, double x1, double y1, double width) {
  double dx = x1 - x0, dy = y1 - y0, len = std::sqrt(dx * dx + dy * dy);
  if (len == 0) return;
  double nx = -dy / len * width / 2, ny = dx / len * width / 2;
  AddPolygon({{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}});
}

void Path::Append(const Path& other) {
  contours_.insert(contours_.end(), other.contours_.begin(), other.contours_.end());
}

void Path::Transform(double a, double b, double c, double d, double tx, double ty) {
  for (auto& contour : contours_)
    for (Pt& p : contour) p = {a * p.x + b * p.y + tx, c * p.x + d * p.y + ty};
}

// ---- Mask ----

Mask::Mask(int width, int height, float value)
    : w_(width), h_(height), a_(static_cast<size_t>(width) * height, value) {}

float Mask::Get(int x, int y) const {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return 0.0f;
  return At(x, y);
}

void Mask::Fill(const Path& path) {
  struct Edge {
    double x0, y0, x1, y1;
    int dir;
  };
  std::vector<Edge> edges;
  for (const auto& c : path.contours()) {
    for (size_t i = 0; i < c.size(); ++i) {
      Pt a = c[i], b = c[(i + 1) % c.size()];
      if (a.y == b.y) continue;
      if (a.y < b.y)
        edges.push_back({a.x, a.y, b.x, b.y, 1});
      else
        edges.push_back({b.x, b.y, a.x, a.y, -1});
    }
  }
  if (edges.empty()) return;
  std::sort(edges.begin(), edges.end(), [](const Edge& p, const Edge& q) { return p.y0 < q.y0; });
  constexpr int kSub = 16;
  std::vector<double> row(static_cast<size_t>(w_) + 1);
  std::vector<std::pair<double, int>> xs;
  std::vector<const Edge*> active;
  size_t next = 0;
  for (int y = 0; y < h_; ++y) {
    active.erase(std::remove_if(active.begin(), active.end(),
                                [y](const Edge* e) { return e->y1 <= y; }),
                 active.end());
    while (next < edges.size() && edges[next].y0 < y + 1) {
      if (edges[next].y1 > y) active.push_back(&edges[next]);
      ++next;
    }
    if (active.empty()) continue;
    std::fill(row.begin(), row.end(), 0.0);
    bool any = false;
    for (int s = 0; s < kSub; ++s) {
      double sy = y + (s + 0.5) / kSub;
      xs.clear();
      for (const Edge* e : active)
        if (sy >= e->y0 && sy < e->y1)
          xs.push_back({e->x0 + (sy - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0), e->dir});
      std::sort(xs.begin(), xs.end());
      int wind = 0;
      double start = 0;
      for (const auto& [x, dir] : xs) {
        int before = wind;
        wind += dir;
        if (before == 0 && wind != 0) start = x;
        if (before != 0 && wind == 0) {
          double a = std::clamp(start, 0.0, static_cast<double>(w_));
          double b = std::clamp(x, 0.0, static_cast<double>(w_));
          if (b <= a) continue;
          any = true;
          int ia = static_cast<int>(a), ib = static_cast<int>(b);
          constexpr double k = 1.0 / kSub;
          if (ia == ib) {
            row[ia] += (b - a) * k;
          } else {
            row[ia] += (ia + 1 - a) * k;
            for (int i = ia + 1; i < ib; ++i) row[i] += k;
            row[ib] += (b - ib) * k;
          }
        }
      }
    }
    if (!any) continue;
    for (int x = 0; x < w_; ++x) {
      double c = std::min(1.0, row[x]);
      float& v = At(x, y);
      v = static_cast<float>(v + c - v * c);
    }
  }
}

void Mask::Blur(double radius) {
  int r = static_cast<int>(radius * 0.58 + 0.5);  // three boxes of this radius ~ Gaussian
  if (r < 1) r = 1;
  std::vector<float> tmp(std::max(w_, h_));
  auto pass = [&](int len, auto get, auto set) {
    for (int pass = 0; pass < 3; ++pass) {
      double sum = 0;
      for (int i = -r; i <= r; ++i) sum += (i >= 0 && i < len) ? get(i) : 0.0f;
      for (int i = 0; i < len; ++i) {
        tmp[i] = static_cast<float>(sum / (2 * r + 1));
        int add = i + r + 1, drop = i - r;
        if (add < len) sum += get(add);
        if (drop >= 0) sum -= get(drop);
      }
      for (int i = 0; i < len; ++i) set(i, tmp[i]);
    }
  };
  for (int y = 0; y < h_; ++y)
    pass(w_, [&](int i) { return At(i, y); }, [&](int i, float v) { At(i, y) = v; });
  for (int x = 0; x < w_; ++x)
    pass(h_, [&](int i) { return At(x, i); }, [&](int i, float v) { At(x, i) = v; });
}

void Mask::Shift(int dx, int dy) {
  Mask out(w_, h_);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) out.At(x, y) = Get(x - dx, y - dy);
  a_.swap(out.a_);
}

void Mask::Scale(double k) {
  for (float& v : a_) v = static_cast<float>(Clamp(v * k));
}

void Mask::Max(const Mask& o) {
  for (size_t i = 0; i < a_.size(); ++i) a_[i] = std::max(a_[i], o.a_[i]);
}

void Mask::Multiply(const Mask& o) {
  for (size_t i = 0; i < a_.size(); ++i) a_[i] *= o.a_[i];
}

void Mask::Subtract(const Mask& o) {
  for (size_t i = 0; i < a_.size(); ++i) a_[i] = std::max(0.0f, a_[i] - o.a_[i]);
}

void Mask::Invert() {
  for (float& v : a_) v = 1.0f - v;
}

Mask FillMask(int width, int height, const Path& path) {
  Mask m(width, height);
  m.Fill(path);
  return m;
}

// ---- Canvas ----

Canvas::Canvas(int width, int height, Color fill)
    : w_(width), h_(height), px_(static_cast<size_t>(width) * height, fill) {}

Color Canvas::Sample(double x, double y) const {
  x = Clamp(x, 0, w_ - 1.0);
  y = Clamp(y, 0, h_ - 1.0);
  int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
  int x1 = std::min(x0 + 1, w_ - 1), y1 = std::min(y0 + 1, h_ - 1);
  double tx = x - x0, ty = y - y0;
  return Mix(Mix(At(x0, y0), At(x1, y0), tx), Mix(At(x0, y1), At(x1, y1), tx), ty);
}

void Canvas::Shade(const std::function<Color(int, int, Color)>& f) {
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) At(x, y) = f(x, y, At(x, y));
}

void Canvas::Paint(const Mask& mask, Color c, double opacity) {
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      double a = mask.At(x, y) * opacity;
      if (a > 0) At(x, y) = Mix(At(x, y), c, a);
    }
}

void Canvas::PaintShaded(const Mask& mask, const std::function<Color(int, int)>& f,
                         double opacity) {
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      double a = mask.At(x, y) * opacity;
      if (a > 0) At(x, y) = Mix(At(x, y), f(x, y), a);
    }
}

void Canvas::Fill(const Path& path, Color c, double opacity) {
  Paint(FillMask(w_, h_, path), c, opacity);
}

void Canvas::AddLight(const Mask& mask, Color c, double strength) {
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      double a = mask.At(x, y) * strength;
      if (a <= 0) continue;
      Color& p = At(x, y);
      // Screen blend: brightens without blowing out to flat white at once.
      p.r = 1 - (1 - p.r) * (1 - Clamp(c.r * a));
      p.g = 1 - (1 - p.g) * (1 - Clamp(c.g * a));
      p.b = 1 - (1 - p.b) * (1 - Clamp(c.b * a));
    }
}

void Canvas::DrawQuad(const Canvas& src, const Pt q[4],
                      const std::function<double(double, double)>& shade, double opacity) {
  // Projective map of the unit square onto the quad, then its inverse.
  double dx1 = q[1].x - q[2].x, dx2 = q[3].x - q[2].x, dx3 = q[0].x - q[1].x + q[2].x - q[3].x;
  double dy1 = q[1].y - q[2].y, dy2 = q[3].y - q[2].y, dy3 = q[0].y - q[1].y + q[2].y - q[3].y;
  double g = 0, h = 0;
  double den = dx1 * dy2 - dx2 * dy1;
  if (den != 0) {
    g = (dx3 * dy2 - dx2 * dy3) / den;
    h = (dx1 * dy3 - dx3 * dy1) / den;
  }
  double a = q[1].x - q[0].x + g * q[1].x, b = q[3].x - q[0].x + h * q[3].x, c = q[0].x;
  double d = q[1].y - q[0].y + g * q[1].y, e = q[3].y - q[0].y + h * q[3].y, f = q[0].y;
  double A = e - f * h, B = c * h - b, C = b * f - c * e;
  double D = f * g - d, E = a - c * g, F = c * d - a * f;
  double G = d * h - e * g, H = b * g - a * h, I = a * e - b * d;
  Path outline;
  outline.AddPolygon({q[0], q[1], q[2], q[3]});
  Mask cover = FillMask(w_, h_, outline);
  constexpr int kSub = 3;
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      double cov = cover.At(x, y) * opacity;
      if (cov <= 0) continue;
      Color sum;
      double shade_sum = 0;
      for (int sy = 0; sy < kSub; ++sy)
        for (int sx = 0; sx < kSub; ++sx) {
          double px = x + (sx + 0.5) / kSub, py = y + (sy + 0.5) / kSub;
          double w = G * px + H * py + I;
          double u = Clamp((A * px + B * py + C) / w), v = Clamp((D * px + E * py + F) / w);
          sum = sum + src.Sample(u * src.width() - 0.5, v * src.height() - 0.5);
          shade_sum += shade ? shade(u, v) : 1.0;
        }
      constexpr double kN = kSub * kSub;
      At(x, y) = Mix(At(x, y), sum * (shade_sum / kN / kN), cov);
    }
}

void Canvas::Draw(const Canvas& src, int ox, int oy) {
  for (int y = 0; y < src.height(); ++y)
    for (int x = 0; x < src.width(); ++x) {
      int tx = ox + x, ty = oy + y;
      if (tx >= 0 && ty >= 0 && tx < w_ && ty < h_) At(tx, ty) = src.At(x, y);
    }
}

Canvas Canvas::Downsample(int factor) const {
  Canvas out(w_ / factor, h_ / factor);
  for (int y = 0; y < out.h_; ++y)
    for (int x = 0; x < out.w_; ++x) {
      Color sum;
      for (int j = 0; j < factor; ++j)
        for (int i = 0; i < factor; ++i) sum = sum + At(x * factor + i, y * factor + j);
      out.At(x, y) = sum * (1.0 / (factor * factor));
    }
  return out;
}

Canvas Canvas::Resize(int width, int height) const {
  Canvas out(width, height);
  int kx = std::max(1, (w_ + width - 1) / width), ky = std::max(1, (h_ + height - 1) / height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      Color sum;
      for (int j = 0; j < ky; ++j)
        for (int i = 0; i < kx; ++i)
          sum = sum + Sample((x + (i + 0.5) / kx) * w_ / width - 0.5,
                             (y + (j + 0.5) / ky) * h_ / height - 0.5);
      out.At(x, y) = sum * (1.0 / (kx * ky));
    }
  return out;
}

void Canvas::Grain(double amplitude, unsigned seed) {
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      double l = (Hash01(x, y, seed) - 0.5) * amplitude;
      double cr = (Hash01(x, y, seed + 1) - 0.5) * amplitude * 0.35;
      double cb = (Hash01(x, y, seed + 2) - 0.5) * amplitude * 0.35;
      Color& p = At(x, y);
      p = {p.r + l + cr, p.g + l, p.b + l + cb};
    }
}

std::vector<float> BevelLight(const Mask& mask, double radius) {
  Mask height = mask;
  height.Blur(radius);
  int w = mask.width(), h = mask.height();
  std::vector<float> out(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double gx = height.Get(x + 1, y) - height.Get(x - 1, y);
      double gy = height.Get(x, y + 1) - height.Get(x, y - 1);
      out[static_cast<size_t>(y) * w + x] = static_cast<float>(Clamp(-(gx + gy) * radius * 0.9, -1, 1));
    }
  return out;
}

}  // namespace artgen
