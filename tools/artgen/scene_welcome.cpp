// The welcome screen: the Mirelund lake and castle at dusk, with the title.
#include <cmath>
#include <cstdint>
#include <vector>

#include "detmath.h"
#include "scenery.h"
#include "scenes.h"

namespace artgen {

Canvas MirelundLandscape(int width, int height, bool calm_corner) {
  // Drawn at 800 x 600 and resized, so every use shows the same place.
  constexpr int W = 800, H = 600;
  Canvas c(W, H);
  const int horizon = 372;
  // The setup's dialogs stand over the lower right and the inset over the
  // upper left, so the title takes the upper right sky; the castle and the
  // moon beside it sit in the band between the title and the dialogs, where
  // they stay in view too.
  const double castle_x = 630, castle_ground = 296, castle_scale = 0.7;
  const double moon_x = 540, moon_y = 198, moon_r = 30;
  const std::vector<Color> dusk{Rgb(10, 14, 44),   Rgb(28, 30, 78),   Rgb(70, 52, 110),
                                Rgb(150, 78, 112), Rgb(228, 128, 86), Rgb(252, 196, 120)};
  Sky(c, dusk, 0, horizon);
  Stars(c, 230, 260, 11, 0.9);
  Moon(c, moon_x, moon_y, moon_r, {0.85, 0.8, 0.95});
  // Kept below the title's band, whose letters read best on clear sky.
  Clouds(c, 170, 340, Rgb(60, 44, 88), Rgb(250, 160, 120), 0.36, 21, 1.2);
  if (calm_corner) {
    // The inset covers the upper left: keep it to the plain sky there.
    Canvas plain(W, H);
    Sky(plain, dusk, 0, horizon);
    c.Shade([&](int x, int y, Color old) {
      double k = SmoothStep(300, 220, x) * SmoothStep(350, 300, y) * 0.7;
      return Mix(old, plain.At(x, y), k);
    });
  }
  Mountains(c, Ridge(W, horizon, 175, 5, 6, 0.7), Rgb(92, 82, 128), Rgb(196, 150, 168),
            Rgb(240, 220, 235), 40, Rgb(176, 128, 150), 0.45, 31);
  // Wooded foothills along the far shore, their crest a line of firs.
  std::vector<double> foothills = Ridge(W, horizon + 2, 48, 8, 7, 0.35);
  Path treeline;
  Rng tree_rng(9);
  for (double x = -4; x < W + 4; x += tree_rng.Range(3.5, 6.5)) {
    double foot = foothills[static_cast<size_t>(Clamp(x, 0, W))] + 4;
    AddFir(treeline, x, foot, tree_rng.Range(9, 20), static_cast<std::uint32_t>(x * 7 + 1000));
  }
  Mask tl = FillMask(W, H, treeline);
  c.PaintShaded(tl, [&](int x, int y) {
    return Mix(Rgb(40, 38, 74), Rgb(70, 56, 96), Fbm(x * 0.05, y * 0.05, 3, 39));
  });
  Hills(c, foothills, Rgb(52, 44, 82), Rgb(34, 30, 62), 37);
  // The crag the castle stands on, rising steeply from the water.
  const double crag_l = castle_x - 96, crag_r = castle_x + 150;
  Path crag;
  std::vector<Pt> pts{{crag_l, horizon + 2.0}};
  for (int i = 0; i <= 40; ++i) {
    double t = i / 40.0;
    double x = crag_l + t * (crag_r - crag_l);
    // A sheer cliff on the left, a long fall of ledges to the right; the top
    // stays just above the castle's foot so that its walls rise from the rock.
    double top = castle_ground + 76 * SmoothStep(0.0, 0.1, 0.1 - t) +
                 74 * SmoothStep(0.5, 1.0, t);
    pts.push_back({x, top + (Fbm(x * 0.06, 3, 4, 55) - 0.5) * (5 + 26 * t) - 3});
  }
  pts.push_back({crag_r, horizon + 2.0});
  crag.AddPolygon(pts);
  Mask cm = FillMask(W, H, crag);
  c.PaintShaded(cm, [&](int x, int y) {
    // Ledges of layered rock; the side towards the sunset glow catches it.
    double strata = Ridged(x * 0.02 + Fbm(x * 0.015, y * 0.02, 3, 62) * 2, y * 0.09, 4, 61);
    double grit = Fbm(x * 0.25, y * 0.25, 2, 63);
    double lit = SmoothStep(crag_l + 70, crag_l, x + (Fbm(x * 0.03, y * 0.03, 3, 64) - 0.5) * 80);
    Color col = Mix(Rgb(24, 20, 42), Rgb(92, 62, 84), Clamp(lit * 0.5 + SmoothStep(0.5, 0.85, strata) * 0.45));
    return col * (0.85 + 0.3 * grit);
  });
  Mask ledge = cm;
  ledge.Shift(2, 2);
  Mask rim = cm;
  rim.Subtract(ledge);
  c.Paint(rim, Rgb(230, 150, 140), 0.5);
  Castle castle = MakeCastle(castle_x, castle_ground, castle_scale, 7);
  DrawCastle(c, castle, Rgb(30, 26, 50), Rgb(240, 170, 150), Rgb(255, 200, 110));
  Water(c, horizon, Rgb(30, 40, 90), 0.35, 71);
  // Moonlight on the water below the moon.
  for (int y = horizon; y < H; ++y)
    for (int x = static_cast<int>(moon_x) - 90; x < static_cast<int>(moon_x) + 90; ++x) {
      double d = std::fabs(x - moon_x) / (14 + (y - horizon) * 0.35);
      double streak = SmoothStep(0.55, 0.8, Fbm(x * 0.05, y * 0.7, 3, 73));
      double k = Clamp(1 - d) * streak * 0.55;
      if (k > 0) c.At(x, y) = Mix(c.At(x, y), {1.0, 0.95, 0.85}, k);
    }
  // Near shore: dark meadow with reeds, a stand of firs on either side; the
  // right-hand stand stays low so that it frames the lake without reaching
  // up to the castle or the title.
  std::vector<double> shore(W + 1);
  for (int x = 0; x <= W; ++x)
    shore[x] = 514 - 44 * SmoothStep(420, 0, x) + (Fbm(x * 0.01, 1, 4, 81) - 0.5) * 30;
  Hills(c, shore, Rgb(44, 40, 52), Rgb(10, 10, 18), 83);
  Path trees;
  Rng rng(91);
  for (int i = 0; i < 6; ++i) {
    double x = 730 + i * 14 + rng.Range(-6, 6);
    AddFir(trees, x, 560 + rng.Range(0, 30), rng.Range(120, 190), 100 + i);
  }
  for (int i = 0; i < 10; ++i) {
    double x = rng.Range(0, 260);
    AddFir(trees, x, 480 + rng.Range(0, 30) + x * 0.08, rng.Range(70, 135), 200 + i);
  }
  Mask tm = FillMask(W, H, trees);
  c.PaintShaded(tm, [&](int x, int y) {
    double n = Fbm(x * 0.1, y * 0.1, 3, 95);
    return Mix(Rgb(8, 10, 18), Rgb(34, 30, 46), n * 0.7);
  });
  if (width == W && height == H) return c;
  return c.Resize(width, height);
}

Canvas WelcomeScreen(const Fonts& fonts) {
  Canvas c = MirelundLandscape(800, 600, true);
  // The upper right sky, beside the inset and above the dialogs.
  const double cx = 575, max_width = 400;
  double size = 112;
  while (fonts.serif_bold.Width("Mirelund", size, 5) > max_width) size -= 1;
  GoldStyle title;
  title.outline = 3;
  title.shadow = 5;
  title.bevel = 3;
  title.glow = 16;
  GoldText(c, fonts.serif_bold.Centred("Mirelund", size, cx, 110, 5), title);
  Ornament(c, cx, 132, 170, 8);
  return c;
}

namespace {
const Picture kWelcome{"welcome.jpg", [](const Fonts& fonts) { return Jpeg(WelcomeScreen(fonts), 95878, true); }};
}  // namespace

}  // namespace artgen
