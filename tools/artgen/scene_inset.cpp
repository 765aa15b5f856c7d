// The welcome inset: a watchtower on a sea cliff under the moon, a dragon
// passing, seen through an arched frame of stone and gold.
#include <cmath>

#include "detmath.h"
#include "scenery.h"
#include "scenes.h"

namespace artgen {
Canvas WelcomeInset(const Fonts&) {
  constexpr int W = 252, H = 308;
  Canvas c(W, H);
  const int horizon = 226;
  Sky(c, {Rgb(8, 12, 38), Rgb(20, 30, 76), Rgb(44, 60, 118), Rgb(96, 104, 156), Rgb(190, 160, 170)},
      0, horizon);
  Stars(c, 170, 90, 301, 1.0);
  Moon(c, 176, 74, 22, {0.8, 0.85, 1.0});
  Clouds(c, 90, 200, Rgb(36, 44, 90), Rgb(170, 170, 210), 0.4, 303, 0.6);
  Mountains(c, Ridge(W, horizon, 50, 305, 4, 0.8), Rgb(50, 60, 104), Rgb(110, 118, 168),
            Rgb(200, 206, 236), 14, Rgb(90, 96, 146), 0.4, 307);
  Water(c, horizon, Rgb(20, 36, 80), 0.3, 309);
  for (int y = horizon; y < H; ++y)
    for (int x = 140; x < 215; ++x) {
      double d = std::fabs(x - 176.0) / (6 + (y - horizon) * 0.3);
      double streak = SmoothStep(0.5, 0.78, Fbm(x * 0.08, y * 0.8, 3, 311));
      double k = Clamp(1 - d) * streak * 0.6;
      if (k > 0) c.At(x, y) = Mix(c.At(x, y), {0.95, 0.95, 1.0}, k);
    }
  // Cliff on the left with the tower on top.
  std::vector<Pt> cliff{{-2, H + 2.0}, {-2, 188}};
  for (int i = 0; i <= 48; ++i) {
    double t = i / 48.0;
    double x = t * 170;
    double y = 192 + 3 * Sin(t * 11) + 90 * SmoothStep(0.5, 1.0, t) + 10 * SmoothStep(0.85, 1.0, t);
    cliff.push_back({x, y + (Fbm(x * 0.12, 7, 3, 313) - 0.5) * 10 * (0.3 + t)});
  }
  cliff.push_back({175, H + 2.0});
  Path cp;
  cp.AddPolygon(cliff);
  Mask cm = FillMask(W, H, cp);
  c.PaintShaded(cm, [&](int x, int y) {
    // Layered rock, its ledges catching the moon from the right.
    double strata = Ridged(x * 0.03 + Fbm(x * 0.02, y * 0.02, 3, 316) * 2, y * 0.11, 4, 315);
    double lit = SmoothStep(70, 170, x + (Fbm(x * 0.05, y * 0.05, 3, 317) - 0.5) * 60);
    double grit = Fbm(x * 0.3, y * 0.3, 2, 318);
    Color col = Mix(Rgb(22, 24, 44), Rgb(96, 100, 146), Clamp(lit * 0.55 + SmoothStep(0.5, 0.85, strata) * 0.5));
    return col * (0.85 + 0.3 * grit);
  });
  Mask ledge = cm;
  ledge.Shift(-2, 2);
  Mask rim_light = cm;
  rim_light.Subtract(ledge);
  c.Paint(rim_light, Rgb(150, 160, 210), 0.6);
  Path tower;
  tower.AddRect(34, 62, 74, 156);
  tower.AddRect(30, 58, 78, 66);
  for (int i = 0; i < 5; ++i) tower.AddRect(30 + i * 10.5, 52, 35 + i * 10.5, 60);
  tower.AddPolygon({{38, 53}, {70, 53}, {54, 14}});
  tower.AddLine(54, 16, 54, 4, 1.2);
  tower.AddPolygon({{54, 4}, {66, 6}, {54, 9}});
  tower.AddRect(74, 118, 100, 156);
  tower.AddPolygon({{72, 119}, {102, 119}, {87, 100}});
  tower.Translate(16, 38);
  Mask tm = FillMask(W, H, tower);
  c.PaintShaded(tm, [&](int x, int y) {
    double round = Clamp((x - 50) / 40.0);
    double stones = Fbm(x * 0.4, y * 0.25, 2, 319);
    double k = 0.35 + 0.65 * SmoothStep(0.2, 0.95, round);
    return Mix(Rgb(16, 18, 34), Rgb(92, 96, 140), k * (0.8 + 0.3 * stones));
  });
  Path windows;
  for (Pt p : {Pt{64, 118}, Pt{76, 142}, Pt{64, 166}, Pt{103, 170}}) {
    windows.AddRect(p.x - 2.5, p.y - 4, p.x + 2.5, p.y + 4);
    windows.AddCircle(p.x, p.y - 4, 2.5);
  }
  Mask wm = FillMask(W, H, windows);
  Mask glow = wm;
  glow.Blur(7);
  c.AddLight(glow, Rgb(255, 190, 100), 1.5);
  c.Paint(wm, Rgb(255, 226, 150));
  Path dragon;
  AddDragon(dragon, 156, 128, 1.0);
  Mask dm = FillMask(W, H, dragon);
  c.Paint(dm, Rgb(12, 14, 30));
  c.Grain(0.035, 321);

  // The frame: stone between two gilt mouldings, with an arched opening.
  const double ox0 = 16, ox1 = W - 16, oy1 = H - 16, r = (ox1 - ox0) / 2, spring = 16 + r;
  Path opening;
  {
    std::vector<Pt> pts{{ox0, oy1}, {ox1, oy1}, {ox1, spring}};
    for (int i = 1; i < 64; ++i) {
      double a = kPi * i / 64;
      pts.push_back({(ox0 + ox1) / 2 + r * Cos(a), spring - r * Sin(a)});
    }
    pts.push_back({ox0, spring});
    opening.AddPolygon(pts);
  }
  Mask open = FillMask(W, H, opening);
  Mask frame(W, H, 1.0f);
  frame.Subtract(open);
  Mask inner_shadow = frame;
  inner_shadow.Blur(5);
  inner_shadow.Multiply(open);
  c.Paint(inner_shadow, {0, 0, 0}, 0.8);
  std::vector<float> bevel = BevelLight(frame, 3);
  c.PaintShaded(frame, [&](int x, int y) {
    double n = Fbm(x * 0.09, y * 0.09, 5, 323);
    double fine = Hash01(x, y, 325);
    Color stone = Mix(Rgb(58, 50, 62), Rgb(118, 104, 110), n) * (0.85 + 0.3 * fine);
    double l = bevel[static_cast<size_t>(y) * W + x];
    return stone * (1.0 + 0.6 * l);
  });
  // Gilt mouldings along the outer edge and around the opening.
  Path outer_line;
  outer_line.AddRect(0, 0, W, H);
  Path outer_hole;
  {
    std::vector<Pt> pts{{5, 5}, {5, H - 5.0}, {W - 5.0, H - 5.0}, {W - 5.0, 5}};
    outer_hole.AddPolygon(pts);
  }
  Mask gold = FillMask(W, H, outer_line);
  gold.Subtract(FillMask(W, H, outer_hole));
  Mask rim = open;
  rim.Blur(3.5);
  rim.Scale(2.6);
  rim.Subtract(open);
  gold.Max(rim);
  Path corners;
  for (Pt p : {Pt{30, 30}, Pt{W - 30.0, 30}}) {
    corners.AddPolygon({{p.x, p.y - 8}, {p.x + 8, p.y}, {p.x, p.y + 8}, {p.x - 8, p.y}});
  }
  for (Pt p : {Pt{10, H - 10.0}, Pt{W - 10.0, H - 10.0}, Pt{10, 10}, Pt{W - 10.0, 10}}) {
    corners.AddPolygon({{p.x, p.y - 4}, {p.x + 4, p.y}, {p.x, p.y + 4}, {p.x - 4, p.y}});
  }
  std::vector<float> gl = BevelLight(gold, 1.5);
  c.PaintShaded(gold, [&](int x, int y) {
    double l = gl[static_cast<size_t>(y) * W + x];
    Color g = Mix(Rgb(150, 96, 30), Rgb(246, 210, 120), 0.5 + 0.5 * l);
    return g * (0.9 + 0.2 * Hash01(x, y, 327));
  });
  Mask gems = FillMask(W, H, corners);
  std::vector<float> gemlight = BevelLight(gems, 2);
  c.PaintShaded(gems, [&](int x, int y) {
    double l = gemlight[static_cast<size_t>(y) * W + x];
    return Mix(Rgb(120, 10, 30), Rgb(255, 120, 140), 0.45 + 0.55 * l);
  });
  c.Grain(0.05, 329);
  return c;
}

namespace {
const Picture kWelcomeInset{"welcome_inset.jpg", [](const Fonts& fonts) { return Jpeg(WelcomeInset(fonts), 111028, false); }};
}  // namespace

}  // namespace artgen
