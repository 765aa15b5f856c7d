// The closing screen: four game boxes of the same house standing on a
// polished table before a velvet curtain, each with its own cover.
#include <algorithm>
#include <cmath>
#include <string>

#include "detmath.h"
#include "scenery.h"
#include "scenes.h"

namespace artgen {
namespace {

constexpr int kCoverW = 300, kCoverH = 405, kSpineW = 84;

struct Box {
  std::string title;
  Color colour;    // the box's printed base colour
  Canvas front{kCoverW, kCoverH};
};

void CdBadge(Canvas& c, const Fonts& fonts, double x, double y, double r) {
  Path disc;
  disc.AddCircle(x, y, r);
  Mask dm = FillMask(c.width(), c.height(), disc);
  Path hole;
  hole.AddCircle(x, y, r * 0.22);
  dm.Subtract(FillMask(c.width(), c.height(), hole));
  c.PaintShaded(dm, [&](int px, int py) {
    double a = Atan2(py - y, px - x);
    double sheen = 0.5 + 0.5 * Cos(a * 2 + 0.6);
    Color rainbow = Mix(Rgb(190, 220, 255), Rgb(255, 210, 240), 0.5 + 0.5 * Sin(a * 3));
    return Mix(Rgb(150, 156, 170), rainbow, sheen);
  });
  c.Fill(fonts.sans_bold.Shape("CD-ROM", r * 0.9, x + r * 1.35, y + r * 0.32), Rgb(250, 250, 250));
}

// The frame, title and badges every cover of the series shares.
void Dress(Canvas& c, const Fonts& fonts, const std::string& title, Color colour,
           const std::string& genre) {
  int w = c.width(), h = c.height();
  Path band;
  band.AddRect(0, 0, w, h);
  Path inside;
  inside.AddRect(14, 14, w - 14.0, h - 14.0);
  Mask bm = FillMask(w, h, band);
  bm.Subtract(FillMask(w, h, inside));
  c.PaintShaded(bm, [&](int x, int y) { return colour * (0.8 + 0.3 * Fbm(x * 0.05, y * 0.05, 3, 601)); });
  Path line;
  line.AddRect(11, 11, w - 11.0, h - 11.0);
  Path line_in;
  line_in.AddRect(14, 14, w - 14.0, h - 14.0);
  Mask lm = FillMask(w, h, line);
  lm.Subtract(FillMask(w, h, line_in));
  c.Paint(lm, Rgb(236, 196, 100));
  double size = 50;
  while (fonts.serif_bold.Width(title, size, 1) > w - 50) size -= 1;
  GoldStyle st;
  st.outline = 2.2;
  st.shadow = 3;
  st.bevel = 2;
  st.glow = 8;
  GoldText(c, fonts.serif_bold.Centred(title, size, w / 2.0, 22 + size, 1), st);
  Path shade;
  shade.AddRect(14, h - 56.0, w - 14.0, h - 14.0);
  c.Fill(shade, {0, 0, 0}, 0.45);
  CdBadge(c, fonts, 36, h - 35.0, 13);
  Path g = fonts.serif_italic.Shape(genre, 17, w - 20 - fonts.serif_italic.Width(genre, 17), h - 29.0);
  c.Fill(g, Rgb(255, 236, 190));
}

Canvas CoverMirelund(const Fonts& fonts) {
  Canvas land = MirelundLandscape(800, 600, false);
  Canvas crop(400, 540);
  for (int y = 0; y < 540; ++y)
    for (int x = 0; x < 400; ++x) crop.At(x, y) = land.At(x + 390, y + 40);
  Canvas c = crop.Resize(kCoverW, kCoverH);
  Dress(c, fonts, "Mirelund", Rgb(40, 36, 96), "Rollenspiel");
  return c;
}

Canvas CoverDragon(const Fonts& fonts) {
  Canvas c(kCoverW, kCoverH);
  Sky(c, {Rgb(40, 6, 10), Rgb(120, 20, 16), Rgb(220, 80, 20), Rgb(255, 180, 60)}, 0, 300);
  Clouds(c, 60, 260, Rgb(70, 10, 14), Rgb(255, 150, 60), 0.45, 611, 0.5);
  Mountains(c, Ridge(kCoverW, 320, 110, 613, 3, 0.9), Rgb(40, 14, 16), Rgb(120, 50, 30),
            Rgb(255, 120, 40), 10, Rgb(110, 30, 20), 0.2, 615);
  // Lava on the peak and a fiery glow where the dragon breathes.
  Path glow_spot;
  glow_spot.AddCircle(60, 195, 40);
  Mask gm = FillMask(kCoverW, kCoverH, glow_spot);
  gm.Blur(30);
  c.AddLight(gm, Rgb(255, 170, 60), 1.3);
  Path dragon;
  AddDragon(dragon, 176, 196, 2.2);
  Mask dm = FillMask(kCoverW, kCoverH, dragon);
  Mask rim = dm;
  rim.Shift(-2, -2);
  c.Paint(dm, Rgb(20, 6, 8));
  Mask edge = dm;
  edge.Subtract(rim);
  c.Paint(edge, Rgb(255, 140, 50), 0.8);
  Path fire;
  fire.AddPolygon({{80, 190}, {30, 168}, {6, 196}, {34, 222}});
  Mask fm = FillMask(kCoverW, kCoverH, fire);
  fm.Blur(6);
  c.AddLight(fm, Rgb(255, 220, 120), 1.6);
  Dress(c, fonts, "Drachenfeuer", Rgb(110, 16, 14), "Strategie");
  return c;
}

Canvas CoverRunes(const Fonts& fonts) {
  Canvas c(kCoverW, kCoverH);
  Sky(c, {Rgb(10, 30, 30), Rgb(30, 70, 60), Rgb(90, 140, 110), Rgb(170, 200, 160)}, 0, 330);
  Path far_trees, mid_trees, near_trees;
  Rng rng(621);
  for (int i = 0; i < 22; ++i)
    AddFir(far_trees, i * 15 + rng.Range(-4, 4), 300 + rng.Range(0, 10), rng.Range(100, 160), 630 + i);
  for (int i = 0; i < 10; ++i)
    AddFir(mid_trees, i * 34 + rng.Range(-8, 8), 340 + rng.Range(0, 20), rng.Range(170, 240), 660 + i);
  for (int x : {-10, 30, 260, 300})
    AddFir(near_trees, x + rng.Range(-5, 5), 420, rng.Range(300, 380), 700 + x);
  c.Fill(far_trees, Rgb(60, 100, 86));
  Mask mist(kCoverW, kCoverH);
  for (int y = 0; y < kCoverH; ++y)
    for (int x = 0; x < kCoverW; ++x)
      mist.At(x, y) = static_cast<float>(SmoothStep(220, 330, y) * (0.4 + 0.5 * Fbm(x * 0.02, y * 0.05, 4, 623)));
  c.Paint(mist, Rgb(170, 210, 190), 0.7);
  c.Fill(mid_trees, Rgb(26, 52, 46));
  Path ground;
  ground.AddRect(0, 330, kCoverW, kCoverH);
  c.Fill(ground, Rgb(20, 34, 30));
  Path stone;
  stone.AddPolygon({{122, 336}, {126, 200}, {150, 178}, {176, 196}, {180, 336}});
  Mask sm = FillMask(kCoverW, kCoverH, stone);
  Mask glow = sm;
  glow.Blur(26);
  c.AddLight(glow, Rgb(80, 255, 230), 1.0);
  c.PaintShaded(sm, [&](int x, int y) {
    return Mix(Rgb(50, 60, 66), Rgb(120, 130, 134), Fbm(x * 0.1, y * 0.1, 4, 625)) *
           (0.7 + 0.5 * Clamp((x - 122) / 58.0));
  });
  Path runes;
  for (int k = 0; k < 5; ++k) {
    double y = 212 + k * 24, x = 151;
    runes.AddLine(x, y, x, y + 16, 2.2);
    runes.AddLine(x, y + 4, x + (k % 2 ? 7 : -7), y - 2 + (k % 3) * 4, 2.2);
    runes.AddLine(x, y + 10, x + (k % 2 ? -6 : 6), y + 16, 2.2);
  }
  Mask rm = FillMask(kCoverW, kCoverH, runes);
  Mask rg = rm;
  rg.Blur(4);
  c.AddLight(rg, Rgb(120, 255, 240), 1.5);
  c.Paint(rm, Rgb(220, 255, 250));
  c.Fill(near_trees, Rgb(8, 18, 16));
  Dress(c, fonts, "Der Runenwald", Rgb(20, 70, 48), "Abenteuer");
  return c;
}

Canvas CoverStars(const Fonts& fonts) {
  Canvas c(kCoverW, kCoverH);
  const int horizon = 280;
  Sky(c, {Rgb(4, 6, 24), Rgb(16, 24, 70), Rgb(40, 70, 130), Rgb(120, 150, 190)}, 0, horizon);
  // A band of the galaxy across the sky.
  c.Shade([&](int x, int y, Color old) {
    double d = std::fabs((y - 60) - (x - 150) * 0.6) / 60.0;
    double n = Fbm(x * 0.03, y * 0.03, 5, 641);
    return old + Rgb(110, 90, 160) * (Clamp(1 - d) * n * 0.7);
  });
  Stars(c, horizon, 400, 643, 1.3);
  Water(c, horizon, Rgb(10, 20, 60), 0.35, 645);
  Path ship;
  ship.AddPolygon({{90, 300}, {220, 300}, {200, 322}, {110, 322}});
  ship.AddPolygon({{200, 300}, {236, 290}, {230, 298}});
  ship.AddLine(150, 300, 150, 168, 3);
  ship.AddLine(115, 300, 115, 200, 2.5);
  ship.AddPolygon({{152, 176}, {196, 196}, {192, 252}, {152, 262}});
  ship.AddPolygon({{152, 262}, {200, 266}, {196, 292}, {152, 294}});
  ship.AddPolygon({{117, 206}, {146, 222}, {144, 270}, {117, 276}});
  ship.AddPolygon({{150, 168}, {170, 172}, {150, 176}});
  Mask sm = FillMask(kCoverW, kCoverH, ship);
  c.PaintShaded(sm, [&](int x, int y) {
    return y < 296 && x > 115 ? Mix(Rgb(20, 26, 50), Rgb(70, 90, 140), Clamp((x - 140) / 60.0))
                              : Rgb(14, 16, 30);
  });
  Path lantern;
  lantern.AddCircle(212, 296, 2.5);
  Mask lm = FillMask(kCoverW, kCoverH, lantern);
  Mask lg = lm;
  lg.Blur(10);
  c.AddLight(lg, Rgb(255, 200, 110), 2);
  c.Paint(lm, Rgb(255, 240, 200));
  Dress(c, fonts, "Das Sternenmeer", Rgb(14, 30, 80), "Abenteuer");
  return c;
}

Canvas Spine(const Fonts& fonts, const std::string& title, Color colour) {
  Canvas c(kSpineW, kCoverH);
  c.Shade([&](int x, int y, Color) { return colour * (0.75 + 0.3 * Fbm(x * 0.05, y * 0.05, 3, 651)); });
  double size = 40;
  while (fonts.serif_bold.Width(title, size, 1) > kCoverH - 120) size -= 1;
  Path text = fonts.serif_bold.Shape(title, size, 0, 0, 1);
  // Turned to read from top to bottom, as spines are printed.
  text.Transform(0, -1, 1, 0, kSpineW / 2.0 - size * 0.33, 30);
  GoldStyle st;
  st.outline = 1.8;
  st.shadow = 2;
  st.bevel = 1.6;
  GoldText(c, text, st);
  Path disc;
  disc.AddCircle(kSpineW / 2.0, kCoverH - 40.0, 16);
  c.Fill(disc, Rgb(200, 204, 214));
  Path hole;
  hole.AddCircle(kSpineW / 2.0, kCoverH - 40.0, 4);
  c.Fill(hole, colour * 0.7);
  return c;
}

struct Vec3 {
  double x, y, z;
};

struct Camera {
  Vec3 eye{0, 1.5, -5.0};
  double pitch = 0.12;  // radians, looking slightly down
  double focal = 860;
  double cx = 400, cy = 330;
  Pt Project(Vec3 p) const {
    double x = p.x - eye.x, y = p.y - eye.y, z = p.z - eye.z;
    double cp = Cos(pitch), sp = Sin(pitch);
    double y2 = y * cp + z * sp, z2 = -y * sp + z * cp;
    return {cx + focal * x / z2, cy - focal * y2 / z2};
  }
};

struct Placement {
  double x, z, yaw;
};

double SignedArea(const Pt q[4]) {
  double a = 0;
  for (int i = 0; i < 4; ++i) a += q[i].x * q[(i + 1) % 4].y - q[(i + 1) % 4].x * q[i].y;
  return a / 2;
}

void DrawBox(Canvas& c, const Camera& cam, const Placement& at, const Canvas& front,
             const Canvas& spine, const Canvas& top, bool reflection) {
  const double w = 1.0, h = 1.35, d = 0.28;
  double cy = Cos(at.yaw), sy = Sin(at.yaw);
  double flip = reflection ? -1 : 1;
  auto P = [&](double lx, double ly, double lz) {
    Vec3 v{at.x + lx * cy + lz * sy, ly * flip, at.z - lx * sy + lz * cy};
    return cam.Project(v);
  };
  Pt f[4] = {P(-w / 2, h, -d / 2), P(w / 2, h, -d / 2), P(w / 2, 0, -d / 2), P(-w / 2, 0, -d / 2)};
  Pt r[4] = {P(w / 2, h, -d / 2), P(w / 2, h, d / 2), P(w / 2, 0, d / 2), P(w / 2, 0, -d / 2)};
  Pt l[4] = {P(-w / 2, h, d / 2), P(-w / 2, h, -d / 2), P(-w / 2, 0, -d / 2), P(-w / 2, 0, d / 2)};
  Pt t[4] = {P(-w / 2, h, d / 2), P(w / 2, h, d / 2), P(w / 2, h, -d / 2), P(-w / 2, h, -d / 2)};
  // A face is seen when its corners run clockwise on screen (mirrored in
  // the reflection).
  auto seen = [&](const Pt q[4]) { return (SignedArea(q) > 0) != reflection; };
  if (!reflection && seen(t)) c.DrawQuad(top, t, [](double, double) { return 1.05; });
  if (seen(r)) c.DrawQuad(spine, r, [](double u, double) { return 0.78 - 0.12 * u; });
  if (seen(l)) c.DrawQuad(spine, l, [](double u, double) { return 0.5 + 0.1 * u; });
  // Light from the upper left, falling off a little across the cover.
  c.DrawQuad(front, f, [](double u, double v) { return 1.08 - 0.14 * u - 0.08 * v; });
  if (reflection) return;
  Path edge;
  edge.AddLine(f[0].x, f[0].y, f[1].x, f[1].y, 1.2);
  edge.AddLine(f[0].x, f[0].y, f[3].x, f[3].y, 1.2);
  c.Fill(edge, {1, 1, 1}, 0.3);
}

}  // namespace

Canvas ProductRange(const Fonts& fonts) {
  constexpr int W = 800, H = 600;
  Canvas c(W, H);
  const double table = 368;
  // Velvet curtain in deep blue with soft folds, lit by a spot from above.
  c.Shade([&](int x, int y, Color) {
    double fold = 0.5 + 0.5 * Sin(x * 0.045 + Sin(x * 0.011) * 2 + y * 0.002);
    double n = Fbm(x * 0.01, y * 0.004, 4, 661);
    double spot = Exp(-((x - 400.0) * (x - 400.0) / 90000.0 + (y - 240.0) * (y - 240.0) / 60000.0));
    double k = 0.25 + 0.45 * fold * (0.7 + 0.6 * n) + 0.5 * spot;
    return Mix(Rgb(14, 10, 40), Rgb(90, 60, 150), Clamp(k * 0.85));
  });
  // The polished table: dark wood grain running left to right.
  Path top;
  top.AddRect(0, table, W, H);
  Mask tm = FillMask(W, H, top);
  c.PaintShaded(tm, [&](int x, int y) {
    double depth = (y - table) / (H - table);
    double grain = Fbm(x * 0.004 / (0.4 + depth), y * 0.25 / (0.3 + depth), 5, 663);
    double rings = 0.5 + 0.5 * Sin(grain * 30);
    Color wood = Mix(Rgb(46, 22, 12), Rgb(110, 58, 28), 0.3 + 0.5 * rings * grain);
    double sheen = Exp(-((x - 400.0) * (x - 400.0)) / 60000.0) * (1 - depth) * 0.25;
    return wood * (0.8 + 0.4 * depth) + Rgb(255, 200, 160) * sheen;
  });
  Path rim;
  rim.AddRect(0, table, W, table + 2);
  c.Fill(rim, Rgb(200, 150, 110), 0.6);

  GoldStyle heading;
  heading.outline = 2.5;
  heading.shadow = 4;
  heading.bevel = 2.2;
  heading.glow = 12;
  GoldText(c, fonts.serif_bold.Centred("Aus unserer Produktpalette ...", 46, 400, 70, 1), heading);
  Ornament(c, 400, 94, 200, 8);
  Path motto = fonts.serif_italic.Centred("Fantastische Welten auf CD-ROM", 24, 400, 132);
  Mask mm = FillMask(W, H, motto);
  Mask ms = mm;
  ms.Shift(2, 2);
  ms.Blur(2);
  c.Paint(ms, {0, 0, 0}, 0.7);
  c.Paint(mm, Rgb(240, 220, 170));

  std::vector<Box> boxes = {
      {"Drachenfeuer", Rgb(110, 16, 14), CoverDragon(fonts)},
      {"Mirelund", Rgb(40, 36, 96), CoverMirelund(fonts)},
      {"Der Runenwald", Rgb(20, 70, 48), CoverRunes(fonts)},
      {"Das Sternenmeer", Rgb(14, 30, 80), CoverStars(fonts)},
  };
  // A fan of four, the outer ones further back and turned to the middle.
  const Placement where[4] = {{-1.95, 0.75, 0.5}, {-0.72, 0.0, 0.2}, {0.72, 0.0, -0.2},
                              {1.95, 0.75, -0.5}};
  Camera cam;
  // Shift the picture so that the near boxes stand a little in front of the
  // table's far edge.
  const double foot = table + 52;
  cam.cy += foot - cam.Project({0, 0, 0}).y;
  std::vector<Canvas> spines, tops;
  for (const Box& b : boxes) {
    spines.push_back(Spine(fonts, b.title, b.colour));
    Canvas t(kCoverW, kSpineW);
    t.Shade([&](int x, int y, Color) { return b.colour * (0.9 + 0.2 * Fbm(x * 0.05, y * 0.05, 3, 671)); });
    tops.push_back(t);
  }
  // Reflections first, then shadows, then the boxes from back to front.
  int order[4] = {0, 3, 2, 1};
  Canvas mirrored = c;
  for (int i : order) DrawBox(mirrored, cam, where[i], boxes[i].front, spines[i], tops[i], true);
  c.Shade([&](int x, int y, Color old) {
    double k = 0.3 * SmoothStep(foot + 90, foot - 20, y) * SmoothStep(table - 1, table + 2, y);
    return Mix(old, mirrored.At(x, y), k);
  });
  for (int i : order) {
    Path shadow;
    Pt a = cam.Project({where[i].x - 0.5, 0, where[i].z - 0.2});
    Pt b = cam.Project({where[i].x + 0.75, 0, where[i].z + 0.4});
    shadow.AddEllipse((a.x + b.x) / 2, (a.y + b.y) / 2 - 2, (b.x - a.x) / 2 + 10, 9);
    Mask sm = FillMask(W, H, shadow);
    sm.Blur(8);
    c.Paint(sm, {0, 0, 0}, 0.5);
  }
  for (int i : order) DrawBox(c, cam, where[i], boxes[i].front, spines[i], tops[i], false);
  c.Grain(0.014, 681);
  return c;
}

namespace {
const Picture kProductRange{"product_range.jpg", [](const Fonts& fonts) { return Jpeg(ProductRange(fonts), 333767, true); }};
}  // namespace

}  // namespace artgen
