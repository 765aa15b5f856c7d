// Shared scenery: skies, mountains, water, trees, castles and gilded text.
#include "scenery.h"

#include <algorithm>
#include <cmath>

#include "detmath.h"

namespace artgen {

void Sky(Canvas& c, const std::vector<Color>& stops, double y0, double y1) {
  c.Shade([&](int, int y, Color) { return Ramp(stops, (y + 0.5 - y0) / (y1 - y0)); });
}

void Stars(Canvas& c, double y_limit, int count, std::uint32_t seed, double brightness) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    double x = rng.Range(0, c.width()), y = rng.Range(0, y_limit);
    double b = rng.Uniform();
    b = b * b * b * brightness * (1.0 - y / y_limit);
    double tint = rng.Uniform();
    Color col = Mix({0.75, 0.82, 1.0}, {1.0, 0.93, 0.8}, tint) * b;
    int ix = static_cast<int>(x), iy = static_cast<int>(y);
    double fx = x - ix, fy = y - iy;
    // Spread each star over its 2x2 neighbours so it does not shimmer.
    for (int dy = 0; dy <= 1; ++dy)
      for (int dx = 0; dx <= 1; ++dx) {
        int px = ix + dx, py = iy + dy;
        if (px < 0 || py < 0 || px >= c.width() || py >= c.height()) continue;
        double w = (dx ? fx : 1 - fx) * (dy ? fy : 1 - fy);
        Color& p = c.At(px, py);
        p = p + col * (w * 1.6);
      }
    if (b > 0.45) {  // the brightest get a faint cross
      for (int k = 2; k <= 4; ++k) {
        double f = b * 0.25 / (k - 1);
        for (auto [dx, dy] : {std::pair{k, 0}, {-k, 0}, {0, k}, {0, -k}}) {
          int px = ix + dx, py = iy + dy;
          if (px < 0 || py < 0 || px >= c.width() || py >= c.height()) continue;
          c.At(px, py) = c.At(px, py) + col * f;
        }
      }
    }
  }
}

void Clouds(Canvas& c, double y0, double y1, Color shadow, Color light, double cover,
            std::uint32_t seed, double scale) {
  for (int y = std::max(0, static_cast<int>(y0)); y < std::min<int>(c.height(), static_cast<int>(y1));
       ++y) {
    double v = (y - y0) / (y1 - y0);
    double envelope = Sin(v * kPi);
    for (int x = 0; x < c.width(); ++x) {
      auto density = [&](double yy) {
        double n = Fbm(x * 0.008 / scale, yy * 0.03 / scale, 6, seed);
        return SmoothStep(1.0 - cover, 1.0 - cover + 0.22, n) * envelope;
      };
      double d = density(y);
      if (d <= 0.003) continue;
      double below = density(y + 3.0 * scale);
      double lit = Clamp(0.55 + (d - below) * 2.5 + v * 0.35);
      Color col = Mix(shadow, light, lit);
      c.At(x, y) = Mix(c.At(x, y), col, Clamp(d * 0.9));
    }
  }
}

void Moon(Canvas& c, double cx, double cy, double r, Color glow) {
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) {
      double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      double d = std::sqrt(dx * dx + dy * dy);
      Color& p = c.At(x, y);
      if (d > r - 1) {
        double g = Exp(-(d - r) / (r * 1.3)) * 0.55 + Exp(-(d - r) / (r * 5.0)) * 0.18;
        p = {1 - (1 - p.r) * (1 - glow.r * g), 1 - (1 - p.g) * (1 - glow.g * g),
             1 - (1 - p.b) * (1 - glow.b * g)};
      }
      double cov = Clamp(r - d + 0.5);
      if (cov <= 0) continue;
      double limb = std::sqrt(Clamp(1 - (d / r) * (d / r)));
      double maria = Fbm(dx / r * 2.2 + 5, dy / r * 2.2 + 9, 4, 991);
      double shade = 0.82 + 0.18 * limb - SmoothStep(0.5, 0.7, maria) * 0.13;
      Color face = Color{1.0, 0.97, 0.86} * shade;
      p = Mix(p, face, cov);
    }
}

std::vector<double> Ridge(int width, double base, double amplitude, std::uint32_t seed, int peaks,
                          double roughness) {
  Rng rng(seed);
  struct Peak {
    double x, h, w;
  };
  std::vector<Peak> list;
  for (int i = 0; i < peaks; ++i)
    list.push_back({rng.Range(-0.1, 1.1) * width, rng.Range(0.45, 1.0),
                    rng.Range(0.1, 0.26) * width});
  std::vector<double> ridge(static_cast<size_t>(width) + 1);
  for (int x = 0; x <= width; ++x) {
    double env = 0;
    for (const Peak& p : list) {
      double t = std::fabs(x - p.x) / p.w;
      // A peak with slightly concave flanks, like eroded rock.
      double shape = p.h / (1.0 + t * t * 1.2 + t * 1.4);
      env = std::max(env, shape);
    }
    double detail = Ridged(x * 0.018, seed * 0.37, 5, seed) - 0.5;
    double fine = Fbm(x * 0.09, seed * 0.11, 3, seed + 7) - 0.5;
    ridge[x] = base - amplitude * (env + detail * roughness * 0.5 + fine * roughness * 0.12);
  }
  return ridge;
}

namespace {

Path RidgePath(const std::vector<double>& ridge, double bottom) {
  std::vector<Pt> pts;
  int w = static_cast<int>(ridge.size()) - 1;
  pts.push_back({-2, bottom});
  pts.push_back({-2, ridge[0]});
  for (int x = 0; x <= w; ++x) pts.push_back({static_cast<double>(x), ridge[x]});
  pts.push_back({w + 2.0, ridge[w]});
  pts.push_back({w + 2.0, bottom});
  Path p;
  p.AddPolygon(pts);
  return p;
}

}  // namespace

void Mountains(Canvas& c, const std::vector<double>& ridge, Color rock, Color lit, Color snow,
               double snow_depth, Color haze, double haze_amount, std::uint32_t seed) {
  Mask m = FillMask(c.width(), c.height(), RidgePath(ridge, c.height() + 2.0));
  int w = static_cast<int>(ridge.size()) - 1;
  double top = *std::min_element(ridge.begin(), ridge.end());
  double bottom = *std::max_element(ridge.begin(), ridge.end());
  std::vector<double> sum(ridge.size() + 1, 0.0);
  for (size_t i = 0; i < ridge.size(); ++i) sum[i + 1] = sum[i] + ridge[i];
  auto mean = [&](double a, double b) {
    int ia = std::clamp(static_cast<int>(a), 0, w), ib = std::clamp(static_cast<int>(b), 0, w);
    if (ib <= ia) return ridge[ia];
    return (sum[ib + 1] - sum[ia]) / (ib - ia + 1);
  };
  auto crest = [&](int x) { return ridge[std::clamp(x, 0, w)]; };
  c.PaintShaded(m, [&](int x, int y) {
    double d = std::max(0.0, y - crest(x));
    // The slope of the crest, smoothed wider the deeper we are below it, tells
    // which way this part of the mountain faces: each peak gets a lit and a
    // shaded flank that widen towards the foot, like real ridges do.
    double warp = (Fbm(x * 0.03, y * 0.03, 4, seed + 1) - 0.5) * (10 + d * 0.6);
    double r = 3 + d * 0.7;
    double xs = x + warp;
    double slope = (mean(xs, xs + r) - mean(xs - r, xs)) / r;
    double crevice = Ridged(x * 0.035 + y * 0.012, y * 0.03 - x * 0.01, 4, seed + 3);
    double face = Clamp(0.5 + slope * 2.2 - (crevice - 0.5) * 0.5);
    double texture = 0.9 + 0.2 * Fbm(x * 0.15, y * 0.15, 3, seed + 5);
    Color col = Mix(rock, lit, face) * texture;
    double snow_line = top + snow_depth * (0.5 + 0.9 * Fbm(x * 0.03, y * 0.05, 4, seed + 9));
    double snow_amount = SmoothStep(snow_line + 5, snow_line - 5, y) *
                         SmoothStep(0.25, 0.55, crevice * 0.4 + face * 0.8);
    col = Mix(col, Mix(snow * 0.6, snow, face), Clamp(snow_amount));
    double mist = haze_amount + (1 - haze_amount) * 0.6 * SmoothStep(top + (bottom - top) * 0.3, bottom + 25, y);
    return Mix(col, haze, Clamp(mist));
  });
}

void Hills(Canvas& c, const std::vector<double>& ridge, Color top, Color bottom,
           std::uint32_t seed) {
  Mask m = FillMask(c.width(), c.height(), RidgePath(ridge, c.height() + 2.0));
  int w = static_cast<int>(ridge.size()) - 1;
  c.PaintShaded(m, [&](int x, int y) {
    double d = y - ridge[std::clamp(x, 0, w)];
    double n = Fbm(x * 0.02, y * 0.05, 5, seed);
    Color col = Mix(top, bottom, Clamp(d / 60.0 + (n - 0.5) * 0.5));
    return col * (0.9 + 0.2 * Fbm(x * 0.15, y * 0.3, 2, seed + 1));
  });
}

void Water(Canvas& c, int horizon, Color tint, double tint_amount, std::uint32_t seed) {
  Canvas above = c;
  for (int y = horizon; y < c.height(); ++y) {
    double depth = (y - horizon + 1.0) / (c.height() - horizon);
    for (int x = 0; x < c.width(); ++x) {
      // Swell: long in x, short in y, both growing towards the viewer.
      double wave = Fbm(x * 0.012 / (0.3 + depth), y * 0.1 / (0.15 + depth), 4, seed) - 0.5;
      double sy = 2.0 * horizon - y + wave * (1.5 + 10 * depth);
      double sx = x + wave * 5 * depth;
      Color col = above.Sample(sx, std::clamp(sy, 0.0, horizon - 1.0));
      double streak = Fbm(x * 0.004, y * 0.3 / (0.2 + depth), 3, seed + 1);
      double fresnel = 0.62 + 0.3 * (1 - depth);
      col = Mix(col * fresnel, tint, tint_amount * (0.4 + 0.6 * depth));
      col = col * (0.94 + 0.12 * streak);
      c.At(x, y) = col;
    }
  }
}

void AddFir(Path& p, double x, double y, double height, std::uint32_t seed) {
  Rng rng(seed);
  int tiers = 7 + static_cast<int>(height / 40);
  std::vector<Pt> right, left;
  double top = y - height;
  for (int k = 0; k <= tiers; ++k) {
    double t = static_cast<double>(k) / tiers;
    double yy = top + height * 0.92 * t;
    double half = height * (0.05 + 0.24 * t) * rng.Range(0.85, 1.15);
    double step = height * 0.92 / tiers;
    right.push_back({x + half, yy + step * 0.15});
    right.push_back({x + half * 0.45, yy + step * 0.05});
    double halfl = height * (0.05 + 0.24 * t) * rng.Range(0.85, 1.15);
    left.push_back({x - halfl, yy + step * 0.15});
    left.push_back({x - halfl * 0.45, yy + step * 0.05});
  }
  std::vector<Pt> pts{{x, top - height * 0.04}};
  pts.insert(pts.end(), right.begin() + 1, right.end());
  pts.push_back({x + height * 0.03, y - height * 0.06});
  pts.push_back({x + height * 0.03, y});
  pts.push_back({x - height * 0.03, y});
  pts.push_back({x - height * 0.03, y - height * 0.06});
  for (auto it = left.rbegin(); it != left.rend() - 1; ++it) pts.push_back(*it);
  p.AddPolygon(pts);
}

void AddLeafTree(Path& p, double x, double y, double height, std::uint32_t seed) {
  Rng rng(seed);
  p.AddPolygon({{x - height * 0.04, y},
                {x + height * 0.04, y},
                {x + height * 0.025, y - height * 0.55},
                {x - height * 0.025, y - height * 0.55}});
  double cy = y - height * 0.68, r = height * 0.3;
  for (int i = 0; i < 9; ++i) {
    double a = rng.Range(0, 2 * kPi), d = rng.Range(0.2, 0.75) * r;
    p.AddCircle(x + Cos(a) * d, cy + Sin(a) * d * 0.8, r * rng.Range(0.45, 0.7));
  }
}

void AddDragon(Path& p, double x, double y, double s) {
  // Side view, flying left: body and tail as one outline, two wings.
  std::vector<Pt> body{{-30, 0}, {-24, -4}, {-18, -4}, {-10, -2}, {0, -3}, {10, -2}, {18, 0},
                       {26, 3}, {34, 4}, {42, 2}, {48, -2}, {52, -1}, {47, 3}, {40, 7},
                       {30, 8}, {18, 6}, {8, 5}, {-4, 4}, {-14, 3}, {-22, 2}, {-28, 3}, {-33, 2}};
  std::vector<Pt> wing_up{{-4, -2}, {-14, -18}, {-8, -34}, {10, -48}, {12, -36}, {20, -34},
                          {19, -23}, {29, -21}, {23, -11}, {31, -7}, {14, -1}};
  std::vector<Pt> wing_far{{-2, -2}, {-6, -14}, {2, -26}, {6, -18}, {12, -19}, {10, -8},
                           {16, -5}};
  std::vector<Pt> tail_tip{{50, -1}, {58, -6}, {56, 1}, {59, 6}, {50, 2}};
  std::vector<Pt> head{{-30, 0}, {-38, -3}, {-44, -2}, {-40, -6}, {-33, -8}, {-27, -4}};
  for (auto* part : {&body, &wing_up, &wing_far, &tail_tip, &head}) {
    std::vector<Pt> pts;
    for (Pt q : *part) pts.push_back({x + q.x * s, y + q.y * s});
    p.AddPolygon(pts);
  }
}

Castle MakeCastle(double cx, double ground, double s, std::uint32_t seed) {
  Rng rng(seed);
  Castle castle;
  castle.window_size = 2.2 * s;
  Path& b = castle.body;
  auto crenellate = [&](double x0, double x1, double top, double merlon) {
    int n = std::max(2, static_cast<int>((x1 - x0) / (merlon * 2)));
    double step = (x1 - x0) / (n * 2 - 1);
    for (int i = 0; i < n; ++i)
      b.AddRect(x0 + i * 2 * step, top - merlon * 1.1, x0 + i * 2 * step + step, top + 0.5);
  };
  auto tower = [&](double x, double width, double height, double roof) {
    double top = ground - height;
    b.AddRect(x - width / 2, top, x + width / 2, ground + 1);
    if (roof > 0) {
      b.AddPolygon({{x - width / 2 - 3 * s, top + 0.5}, {x + width / 2 + 3 * s, top + 0.5},
                    {x, top - roof}});
      b.AddLine(x, top - roof + 1, x, top - roof - 10 * s, 0.9 * s);
      b.AddPolygon({{x, top - roof - 10 * s}, {x + 8 * s, top - roof - 8 * s}, {x, top - roof - 6 * s}});
    } else {
      b.AddRect(x - width / 2 - 2 * s, top - 2 * s, x + width / 2 + 2 * s, top + 2 * s);
      crenellate(x - width / 2 - 2 * s, x + width / 2 + 2 * s, top - 2 * s, 3 * s);
    }
    for (int k = 1; k <= static_cast<int>(height / (26 * s)); ++k)
      if (rng.Uniform() < 0.75)
        castle.windows.push_back({x + rng.Range(-0.2, 0.2) * width, top + k * 24 * s});
  };
  // Curtain wall, then the towers standing in front of and above it.
  b.AddRect(cx - 70 * s, ground - 42 * s, cx + 72 * s, ground + 1);
  crenellate(cx - 70 * s, cx + 72 * s, ground - 42 * s, 3.2 * s);
  b.AddRect(cx - 25 * s, ground - 92 * s, cx + 25 * s, ground + 1);
  crenellate(cx - 27 * s, cx + 27 * s, ground - 92 * s, 3.6 * s);
  b.AddRect(cx - 27 * s, ground - 94 * s, cx + 27 * s, ground - 90 * s);
  tower(cx - 72 * s, 24 * s, 78 * s, 34 * s);
  tower(cx + 74 * s, 22 * s, 70 * s, 30 * s);
  tower(cx - 36 * s, 18 * s, 112 * s, 40 * s);
  tower(cx + 34 * s, 26 * s, 150 * s, 56 * s);
  tower(cx + 4 * s, 14 * s, 124 * s, 30 * s);
  tower(cx - 5 * s, 30 * s, 100 * s, 0);
  for (int k = 0; k < 3; ++k)
    castle.windows.push_back({cx - 14 * s + k * 14 * s, ground - 60 * s});
  castle.windows.push_back({cx - 50 * s, ground - 20 * s});
  castle.windows.push_back({cx + 55 * s, ground - 24 * s});
  return castle;
}

void DrawCastle(Canvas& c, const Castle& castle, Color dark, Color rim, Color window_light) {
  Mask body = FillMask(c.width(), c.height(), castle.body);
  // A lit rim on the upper left edges, as if the moon stood behind and left.
  Mask inner = body;
  inner.Shift(2, 1);
  Mask edge = body;
  edge.Subtract(inner);
  c.PaintShaded(body, [&](int x, int y) {
    double n = Fbm(x * 0.2, y * 0.2, 3, 4242);
    return dark * (0.85 + 0.3 * n);
  });
  c.Paint(edge, rim, 0.7);
  Path win;
  double s = castle.window_size;
  for (const Pt& p : castle.windows) {
    win.AddRect(p.x - s * 0.5, p.y - s, p.x + s * 0.5, p.y + s);
    win.AddCircle(p.x, p.y - s, s * 0.5);
  }
  Mask wm = FillMask(c.width(), c.height(), win);
  Mask glow = wm;
  glow.Blur(s * 3);
  c.AddLight(glow, window_light, 1.2);
  c.Paint(wm, Mix(window_light, {1, 1, 0.85}, 0.4));
}

void GoldText(Canvas& c, const Path& text, const GoldStyle& st) {
  int w = c.width(), h = c.height();
  Mask m = FillMask(w, h, text);
  double top = 1e9, bottom = -1e9;
  for (const auto& contour : text.contours())
    for (const Pt& p : contour) {
      top = std::min(top, p.y);
      bottom = std::max(bottom, p.y);
    }
  if (st.glow > 0) {
    Mask g = m;
    g.Blur(st.glow);
    g.Scale(1.6);
    c.AddLight(g, st.glow_colour, 0.8);
  }
  Mask rim = m;
  if (st.outline > 0) {
    rim.Blur(st.outline);
    rim.Scale(3.5);
    rim.Max(m);
  }
  if (st.shadow > 0) {
    Mask shadow = rim;
    shadow.Shift(static_cast<int>(st.shadow), static_cast<int>(st.shadow));
    shadow.Blur(st.shadow * 0.8);
    c.Paint(shadow, {0, 0, 0}, 0.7);
  }
  if (st.outline > 0) c.Paint(rim, st.rim);
  std::vector<float> light = BevelLight(m, st.bevel);
  c.PaintShaded(m, [&](int x, int y) {
    double t = (y + 0.5 - top) / std::max(1.0, bottom - top);
    t += (Fbm(x * 0.05, y * 0.05, 3, 77) - 0.5) * 0.12;
    Color col = Ramp(st.ramp, t);
    double l = light[static_cast<size_t>(y) * w + x];
    if (l > 0)
      col = Mix(col, {1.0, 0.98, 0.88}, l * 0.75);
    else
      col = col * (1.0 + l * 0.55);
    return col;
  });
}

void Ornament(Canvas& c, double cx, double y, double hw, double size) {
  Path p;
  double t = size * 0.12;
  p.AddPolygon({{cx - hw, y}, {cx - size, y - t}, {cx + size, y - t}, {cx + hw, y},
                {cx + size, y + t}, {cx - size, y + t}});
  p.AddPolygon({{cx, y - size * 0.55}, {cx + size * 0.55, y}, {cx, y + size * 0.55},
                {cx - size * 0.55, y}});
  p.AddCircle(cx - size * 1.1, y, size * 0.18);
  p.AddCircle(cx + size * 1.1, y, size * 0.18);
  GoldStyle st;
  st.outline = 1.2;
  st.shadow = 2;
  st.bevel = 1.2;
  GoldText(c, p, st);
}

}  // namespace artgen
