// The small pictures: the welcome window's background bitmap, the reader
// product picture and the two icons.
#include <algorithm>
#include <cmath>

#include "detmath.h"
#include "scenery.h"
#include "scenes.h"

namespace artgen {
namespace {

// Icons are drawn eight times larger and averaged down; coverage below one
// half becomes transparent, and edge pixels keep the colour of the shape.
Icon FinishIcon(const Canvas& big, const Mask& shape) {
  Icon icon;
  constexpr int k = 8;
  icon.colour = Canvas(32, 32);
  icon.transparent.assign(32 * 32, false);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      Color sum;
      double cover = 0;
      for (int j = 0; j < k; ++j)
        for (int i = 0; i < k; ++i) {
          double a = shape.At(x * k + i, y * k + j);
          sum = sum + big.At(x * k + i, y * k + j) * a;
          cover += a;
        }
      bool clear = cover < k * k * 0.5;
      icon.transparent[y * 32 + x] = clear;
      icon.colour.At(x, y) = clear ? Color{} : sum * (1.0 / cover);
    }
  return icon;
}

}  // namespace

Canvas MainBackground() {
  constexpr int W = 640, H = 480;
  Canvas c(W, H);
  Sky(c, {Rgb(22, 24, 66), Rgb(58, 48, 104), Rgb(140, 80, 112), Rgb(236, 146, 90), Rgb(255, 214, 140)},
      0, 330);
  Stars(c, 160, 120, 401, 0.7);
  Clouds(c, 90, 300, Rgb(70, 50, 96), Rgb(255, 176, 120), 0.42, 403, 1.0);
  Hills(c, Ridge(W, 335, 70, 405, 5, 0.3), Rgb(96, 74, 120), Rgb(70, 58, 104), 407);
  std::vector<double> near_hills = Ridge(W, 380, 60, 409, 4, 0.25);
  Hills(c, near_hills, Rgb(58, 62, 92), Rgb(40, 46, 72), 411);
  // The castle crowns the highest of the near hills.
  int top_x = static_cast<int>(std::min_element(near_hills.begin() + 60, near_hills.end() - 60) - near_hills.begin());
  Castle castle = MakeCastle(top_x, near_hills[top_x] + 4, 0.32, 413);
  DrawCastle(c, castle, Rgb(50, 44, 78), Rgb(230, 160, 140), Rgb(255, 200, 110));
  Hills(c, Ridge(W, 440, 55, 415, 4, 0.2), Rgb(34, 48, 54), Rgb(18, 28, 34), 417);
  Path trees;
  Rng rng(419);
  for (int i = 0; i < 14; ++i) {
    double x = rng.Range(0, W);
    AddLeafTree(trees, x, 430 + rng.Range(0, 40), rng.Range(40, 80), 420 + i);
  }
  for (int i = 0; i < 6; ++i) AddFir(trees, 20 + i * 18 + rng.Range(-5, 5), 470, rng.Range(90, 150), 440 + i);
  c.Fill(trees, Rgb(14, 20, 26));
  Hills(c, Ridge(W, 478, 18, 421, 6, 0.3), Rgb(20, 26, 30), Rgb(10, 14, 18), 423);
  return c;
}

Canvas ReaderProduct(const Fonts& fonts) {
  constexpr int k = 4, W = 100 * k, H = 108 * k;
  Canvas c(W, H);
  c.Shade([&](int x, int y, Color) {
    double t = (y + 0.3 * x) / (H + 0.3 * W);
    return Mix(Rgb(226, 232, 240), Rgb(168, 182, 204), t);
  });
  // The document: a sheet with a folded corner, a heading and lines of text.
  auto page_path = [&](double dx, double dy) {
    Path p;
    p.AddPolygon({{12.0 * k + dx, 8.0 * k + dy}, {60.0 * k + dx, 8.0 * k + dy},
                  {76.0 * k + dx, 24.0 * k + dy}, {76.0 * k + dx, 96.0 * k + dy},
                  {12.0 * k + dx, 96.0 * k + dy}});
    return p;
  };
  Mask shadow = FillMask(W, H, page_path(3 * k, 3 * k));
  shadow.Blur(3 * k);
  c.Paint(shadow, Rgb(40, 50, 70), 0.55);
  Mask page = FillMask(W, H, page_path(0, 0));
  c.PaintShaded(page, [&](int x, int y) {
    return Mix(Rgb(255, 255, 255), Rgb(228, 232, 238), (x + y) / double(W + H));
  });
  Path fold;
  fold.AddPolygon({{60.0 * k, 8.0 * k}, {60.0 * k, 24.0 * k}, {76.0 * k, 24.0 * k}});
  c.Fill(fold, Rgb(196, 204, 216));
  // What is printed on the page, in 100 x 108 units.
  {
    Canvas& dst = c;
    auto tr = [&](double x, double y) { return Pt{x * k, y * k}; };
    Path heading;
    Pt a = tr(18, 14), b = tr(50, 22);
    heading.AddRect(a.x, a.y, b.x, b.y);
    dst.Fill(heading, Rgb(178, 30, 36));
    Path title = fonts.sans_bold.Shape("PDF", 7.5 * k, tr(20, 21).x, tr(20, 21).y);
    dst.Fill(title, Rgb(255, 255, 255));
    Path lines;
    for (int i = 0; i < 9; ++i) {
      double y = 30 + i * 6.5;
      double len = (i % 4 == 3) ? 30 : 52 - (i * 7 % 9);
      Pt p = tr(18, y), q = tr(18 + len, y + 2.2);
      lines.AddRect(p.x, p.y, q.x, q.y);
    }
    dst.Fill(lines, Rgb(110, 118, 134));
    Path picture;
    Pt p = tr(50, 69), q = tr(70, 88);
    picture.AddRect(p.x, p.y, q.x, q.y);
    Mask pm = FillMask(dst.width(), dst.height(), picture);
    dst.PaintShaded(pm, [&](int, int y) { return Mix(Rgb(90, 150, 220), Rgb(70, 140, 70), SmoothStep(p.y, q.y, y)); });
  }
  // A thin grey border: where the sheet's blurred copy falls below full.
  Mask border = page;
  Mask shrunk = page;
  shrunk.Blur(1.2 * k);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      border.At(x, y) = static_cast<float>(Clamp(page.At(x, y) - Clamp((shrunk.At(x, y) - 0.5) * 8)));
  c.Paint(border, Rgb(120, 130, 150));

  // The reading glass over the lower right of the sheet, magnifying it.
  const double lx = 60.0 * k, ly = 60.0 * k, lr = 21.0 * k;
  const Canvas magnified = c;
  Canvas lens_view(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      double dx = x - lx, dy = y - ly;
      lens_view.At(x, y) = magnified.Sample(lx + dx / 1.6, ly + dy / 1.6);
    }
  Path handle;
  handle.AddLine(lx + lr * 0.72, ly + lr * 0.72, 95.0 * k, 102.0 * k, 8.0 * k);
  Mask hs = FillMask(W, H, handle);
  Mask hshadow = hs;
  hshadow.Shift(2 * k, 2 * k);
  hshadow.Blur(2 * k);
  c.Paint(hshadow, Rgb(30, 40, 60), 0.5);
  c.PaintShaded(hs, [&](int x, int y) {
    double across = ((x - lx) - (y - ly)) / (8.0 * k) * 0.7;
    return Mix(Rgb(40, 26, 16), Rgb(150, 96, 50), Clamp(0.5 + across));
  });
  Path lens;
  lens.AddCircle(lx, ly, lr);
  Mask lm = FillMask(W, H, lens);
  c.PaintShaded(lm, [&](int x, int y) {
    Color v = lens_view.At(x, y);
    double dx = (x - lx) / lr, dy = (y - ly) / lr;
    double glint = SmoothStep(0.5, 0.0, std::sqrt((dx + 0.4) * (dx + 0.4) + (dy + 0.4) * (dy + 0.4)));
    return Mix(v * Color{0.92, 0.96, 1.0}, {1, 1, 1}, glint * 0.55);
  });
  Path ring;
  ring.AddCircle(lx, ly, lr + 3.5 * k);
  Mask rm = FillMask(W, H, ring);
  rm.Subtract(lm);
  std::vector<float> light = BevelLight(rm, 1.5 * k);
  c.PaintShaded(rm, [&](int x, int y) {
    double l = light[static_cast<size_t>(y) * W + x];
    return Mix(Rgb(60, 64, 74), Rgb(230, 234, 240), Clamp(0.45 + l * 0.6));
  });
  return c.Downsample(k);
}

Icon MainIcon() {
  constexpr int S = 256;
  Canvas c(S, S);
  // A heater shield: blue field, gold border, a silver sword.
  auto shield = [&](double inset) {
    Path p;
    double l = 30 + inset, r = S - 30 - inset, t = 14 + inset;
    p.MoveTo(l, t);
    p.QuadTo(S / 2.0, t + 18, r, t);
    p.LineTo(r, 120);
    p.QuadTo(r - 6, 200 - inset * 0.4, S / 2.0, 246 - inset * 1.6);
    p.QuadTo(l + 6, 200 - inset * 0.4, l, 120);
    return p;
  };
  Mask outer = FillMask(S, S, shield(0));
  Mask border = outer;
  Mask field = FillMask(S, S, shield(22));
  border.Subtract(field);
  c.Paint(outer, Rgb(20, 12, 6));
  Mask gold = FillMask(S, S, shield(8));
  gold.Subtract(field);
  std::vector<float> gl = BevelLight(gold, 6);
  c.PaintShaded(gold, [&](int x, int y) {
    double l = gl[static_cast<size_t>(y) * S + x];
    return Mix(Rgb(168, 110, 20), Rgb(255, 228, 120), Clamp(0.5 + l * 0.7));
  });
  c.PaintShaded(field, [&](int x, int y) {
    double d = std::sqrt((x - 110.0) * (x - 110.0) + (y - 80.0) * (y - 80.0)) / 170;
    return Mix(Rgb(70, 120, 230), Rgb(16, 30, 110), Clamp(d));
  });
  Path blade;
  blade.AddPolygon({{128, 40}, {140, 60}, {140, 150}, {116, 150}, {116, 60}});
  Path hilt;
  hilt.AddRoundRect(78, 146, 178, 162, 7);
  hilt.AddRect(121, 160, 135, 190);
  hilt.AddCircle(128, 196, 11);
  Mask bm = FillMask(S, S, blade);
  Mask bo = bm;
  bo.Blur(5);
  bo.Scale(3);
  Mask hm = FillMask(S, S, hilt);
  Mask ho = hm;
  ho.Blur(5);
  ho.Scale(3);
  bo.Max(ho);
  bo.Multiply(field);
  c.Paint(bo, Rgb(8, 10, 30));
  c.PaintShaded(bm, [&](int x, int) {
    return x < 128 ? Rgb(250, 252, 255) : Rgb(150, 160, 182);
  });
  std::vector<float> hl = BevelLight(hm, 4);
  c.PaintShaded(hm, [&](int x, int y) {
    double l = hl[static_cast<size_t>(y) * S + x];
    return Mix(Rgb(150, 96, 20), Rgb(255, 220, 110), Clamp(0.5 + l * 0.7));
  });
  return FinishIcon(c, outer);
}

Icon DialogIcon() {
  constexpr int S = 256;
  Canvas c(S, S);
  // A crystal ball on a gilt stand.
  Path stand;
  stand.AddPolygon({{78, 196}, {178, 196}, {200, 236}, {56, 236}});
  stand.AddRoundRect(44, 230, 212, 250, 8);
  Mask sm = FillMask(S, S, stand);
  Mask so = sm;
  so.Blur(4);
  so.Scale(3);
  Path ball;
  ball.AddCircle(128, 112, 98);
  Mask bm = FillMask(S, S, ball);
  Mask bo = bm;
  bo.Blur(4);
  bo.Scale(3);
  Mask all = so;
  all.Max(bo);
  c.Paint(all, Rgb(14, 8, 30));
  std::vector<float> sl = BevelLight(sm, 5);
  c.PaintShaded(sm, [&](int x, int y) {
    double l = sl[static_cast<size_t>(y) * S + x];
    double band = 0.5 + 0.5 * Cos((x - 128) / 60.0 * kPi);
    return Mix(Rgb(130, 80, 16), Rgb(255, 224, 120), Clamp(0.3 + band * 0.4 + l * 0.5));
  });
  c.PaintShaded(bm, [&](int x, int y) {
    double dx = (x - 128) / 98.0, dy = (y - 112) / 98.0;
    double d = std::sqrt(dx * dx + dy * dy);
    // Mist swirling inside, brightest at the heart.
    double a = Atan2(dy, dx);
    double swirl = Fbm(Cos(a + d * 4) * 2 + 3, Sin(a + d * 4) * 2 + 3, 4, 501);
    Color col = Mix(Rgb(150, 110, 255), Rgb(24, 14, 90), Clamp(d * 1.05));
    col = Mix(col, Rgb(190, 230, 255), SmoothStep(0.45, 0.85, swirl) * (1 - d) * 0.9);
    col = Mix(col, Rgb(255, 255, 255), SmoothStep(0.35, 0.0, d) * 0.5);
    double hx = dx + 0.38, hy = dy + 0.42;
    double highlight = SmoothStep(0.28, 0.05, std::sqrt(hx * hx * 0.8 + hy * hy * 1.6));
    col = Mix(col, Rgb(255, 255, 255), highlight);
    col = col * (1.0 - SmoothStep(0.8, 1.0, d) * 0.35);
    return col;
  });
  return FinishIcon(c, all);
}

namespace {
const Picture kMainIcon{"main_icon.ico", [](const Fonts&) { return Ico(MainIcon(), 4, 0.5); }};
const Picture kMainBackground{"main_background.bmp", [](const Fonts&) { return Bmp(MainBackground(), 1.0); }};
const Picture kDialogIcon{"dialog_icon.ico", [](const Fonts&) { return Ico(DialogIcon(), 8, 0.6); }};
const Picture kReaderProduct{"reader_product.bmp", [](const Fonts& fonts) { return Bmp(ReaderProduct(fonts), 0.8); }};
}  // namespace

}  // namespace artgen
