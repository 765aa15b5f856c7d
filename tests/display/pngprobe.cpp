// Pixel checks on a screenshot for the display tests.
//   pngprobe FILE size                               -> "W H"
//   pngprobe FILE at X Y                             -> "R G B"
//   pngprobe FILE count X Y W H R G B TOL            -> pixels within TOL of the colour
//   pngprobe FILE countnot X Y W H R G B TOL         -> pixels not within TOL
//   pngprobe FILE bbox X Y W H R G B TOL             -> "X0 Y0 X1 Y1" of the matches, or "none"
//   pngprobe FILE compare REF X Y W H                -> mean difference per channel (0..255)
//                                                       from REF (PNG, BMP or JPEG) stretched
//                                                       bilinearly over the rectangle;
//                                                       "--skip X,Y,W,H" leaves a part out
//   pngprobe FILE diff OTHER X Y W H                 -> pixels that differ at all from OTHER's
// count, countnot and bbox take any number of "--except X,Y,W,H" after the
// arguments: pixels there are left out. TOL is the largest difference allowed
// in any channel. Rectangles are clipped to the picture. Exit status 2 on bad
// arguments or an unreadable file.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace {

struct Picture {
  int w = 0, h = 0;
  std::unique_ptr<unsigned char, void (*)(void*)> px{nullptr, stbi_image_free};
  const unsigned char* At(int x, int y) const { return px.get() + (static_cast<std::size_t>(y) * w + x) * 3; }
};

[[noreturn]] void Bad(const char* why) {
  std::fprintf(stderr, "pngprobe: %s\n", why);
  std::exit(2);
}

int Num(const char* s) {
  char* end = nullptr;
  const long v = std::strtol(s, &end, 10);
  if (!end || *end || v < -100000 || v > 100000) Bad("not a number");
  return static_cast<int>(v);
}

struct Query {
  int x, y, w, h, r, g, b, tol;
};

struct Rect {
  int x, y, w, h;
  bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

Rect ParseRect(const char* s) {
  Rect r{};
  if (std::sscanf(s, "%d,%d,%d,%d", &r.x, &r.y, &r.w, &r.h) != 4) Bad("a rectangle is X,Y,W,H");
  return r;
}

// Mean absolute difference between the region and the reference stretched
// over it, sampling the reference bilinearly at each pixel's centre.
double Compare(const Picture& shot, const Picture& ref, Rect r, Rect skip) {
  if (r.w <= 0 || r.h <= 0 || r.x < 0 || r.y < 0 || r.x + r.w > shot.w || r.y + r.h > shot.h) Bad("bad region");
  double sum = 0;
  long samples = 0;
  for (int y = 0; y < r.h; ++y)
    for (int x = 0; x < r.w; ++x) {
      if (skip.Contains(r.x + x, r.y + y)) continue;
      ++samples;
      const double fx = std::clamp((x + 0.5) * ref.w / r.w - 0.5, 0.0, ref.w - 1.0);
      const double fy = std::clamp((y + 0.5) * ref.h / r.h - 0.5, 0.0, ref.h - 1.0);
      const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
      const int jx = std::min(ix + 1, ref.w - 1), jy = std::min(iy + 1, ref.h - 1);
      const double ax = fx - ix, ay = fy - iy;
      const unsigned char* p = shot.At(r.x + x, r.y + y);
      for (int c = 0; c < 3; ++c) {
        const double top = ref.At(ix, iy)[c] * (1 - ax) + ref.At(jx, iy)[c] * ax;
        const double bottom = ref.At(ix, jy)[c] * (1 - ax) + ref.At(jx, jy)[c] * ax;
        sum += std::abs(p[c] - (top * (1 - ay) + bottom * ay));
      }
    }
  if (samples == 0) Bad("nothing left to compare");
  return sum / (3.0 * static_cast<double>(samples));
}

bool Matches(const unsigned char* p, const Query& q) {
  return std::abs(p[0] - q.r) <= q.tol && std::abs(p[1] - q.g) <= q.tol && std::abs(p[2] - q.b) <= q.tol;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) Bad("usage: pngprobe FILE size|at|count|countnot|bbox ...");
  Picture pic;
  int n = 0;
  pic.px.reset(stbi_load(argv[1], &pic.w, &pic.h, &n, 3));
  if (!pic.px) Bad("cannot read the picture");
  const std::string_view cmd = argv[2];
  if (cmd == "size") {
    std::printf("%d %d\n", pic.w, pic.h);
    return 0;
  }
  if (cmd == "at") {
    if (argc != 5) Bad("at X Y");
    const int x = Num(argv[3]), y = Num(argv[4]);
    if (x < 0 || y < 0 || x >= pic.w || y >= pic.h) Bad("outside the picture");
    const unsigned char* p = pic.At(x, y);
    std::printf("%d %d %d\n", p[0], p[1], p[2]);
    return 0;
  }
  if (cmd == "compare") {
    if (argc != 8 && !(argc == 10 && std::string_view(argv[8]) == "--skip")) Bad("compare REF X Y W H [--skip X,Y,W,H]");
    const Rect skip = argc == 10 ? ParseRect(argv[9]) : Rect{0, 0, 0, 0};
    Picture ref;
    ref.px.reset(stbi_load(argv[3], &ref.w, &ref.h, &n, 3));
    if (!ref.px) Bad("cannot read the reference");
    std::printf("%.2f\n", Compare(pic, ref, {Num(argv[4]), Num(argv[5]), Num(argv[6]), Num(argv[7])}, skip));
    return 0;
  }
  if (cmd == "diff") {
    if (argc != 8) Bad("diff OTHER X Y W H");
    Picture other;
    other.px.reset(stbi_load(argv[3], &other.w, &other.h, &n, 3));
    if (!other.px) Bad("cannot read the other picture");
    const int x = Num(argv[4]), y = Num(argv[5]);
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min({pic.w, other.w, x + Num(argv[6])}), y1 = std::min({pic.h, other.h, y + Num(argv[7])});
    long differ = 0;
    for (int py = y0; py < y1; ++py)
      for (int px = x0; px < x1; ++px) differ += !std::equal(pic.At(px, py), pic.At(px, py) + 3, other.At(px, py));
    std::printf("%ld\n", differ);
    return 0;
  }
  if (argc < 11 || (argc - 11) % 2 != 0) Bad("count|countnot|bbox X Y W H R G B TOL [--except X,Y,W,H]...");
  Query q{Num(argv[3]), Num(argv[4]), Num(argv[5]), Num(argv[6]), Num(argv[7]), Num(argv[8]), Num(argv[9]), Num(argv[10])};
  std::vector<Rect> except;
  for (int i = 11; i < argc; i += 2) {
    if (std::string_view(argv[i]) != "--except") Bad("expected --except");
    except.push_back(ParseRect(argv[i + 1]));
  }
  const int x0 = std::max(0, q.x), y0 = std::max(0, q.y);
  const int x1 = std::min(pic.w, q.x + q.w), y1 = std::min(pic.h, q.y + q.h);
  long matches = 0, others = 0;
  int bx0 = pic.w, by0 = pic.h, bx1 = -1, by1 = -1;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      if (std::any_of(except.begin(), except.end(), [&](const Rect& e) { return e.Contains(x, y); })) continue;
      if (Matches(pic.At(x, y), q)) {
        ++matches;
        bx0 = std::min(bx0, x), by0 = std::min(by0, y), bx1 = std::max(bx1, x), by1 = std::max(by1, y);
      } else {
        ++others;
      }
    }
  if (cmd == "count") std::printf("%ld\n", matches);
  else if (cmd == "countnot") std::printf("%ld\n", others);
  else if (cmd == "bbox") {
    if (bx1 < 0) std::printf("none\n");
    else std::printf("%d %d %d %d\n", bx0, by0, bx1, by1);
  } else {
    Bad("unknown command");
  }
  return 0;
}
