// Pixel checks on a screenshot for tools/test-win32.sh. Built natively.
//   probe IMG pixel X Y                  -> "R G B"
//   probe IMG count X Y W H R G B        -> pixels of that colour in the box
//   probe IMG bbox  X Y W H R G B        -> "X Y W H" of those pixels, or "none"
//   probe IMG diff  OTHER X Y W H        -> pixels that differ between the two
// Boxes are clipped to the picture; colours are exact.
#include <cstdio>
#include <cstdlib>
#include <string>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

namespace {

struct Picture {
  int w = 0, h = 0;
  unsigned char* px = nullptr;
  explicit Picture(const char* path) {
    int n = 0;
    px = stbi_load(path, &w, &h, &n, 3);
    if (!px) {
      std::fprintf(stderr, "probe: cannot read %s\n", path);
      std::exit(2);
    }
  }
  ~Picture() { stbi_image_free(px); }
  const unsigned char* At(int x, int y) const { return px + (static_cast<long>(y) * w + x) * 3; }
};

struct Box {
  int x0, y0, x1, y1;
};

Box Clip(const Picture& p, char** a) {
  const int x = std::atoi(a[0]), y = std::atoi(a[1]), w = std::atoi(a[2]), h = std::atoi(a[3]);
  Box b{x < 0 ? 0 : x, y < 0 ? 0 : y, x + w > p.w ? p.w : x + w, y + h > p.h ? p.h : y + h};
  return b;
}

bool Is(const unsigned char* c, char** rgb) {
  return c[0] == std::atoi(rgb[0]) && c[1] == std::atoi(rgb[1]) && c[2] == std::atoi(rgb[2]);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const Picture p(argv[1]);
  const std::string cmd = argv[2];
  if (cmd == "pixel" && argc == 5) {
    const int x = std::atoi(argv[3]), y = std::atoi(argv[4]);
    if (x < 0 || y < 0 || x >= p.w || y >= p.h) return 2;
    const unsigned char* c = p.At(x, y);
    std::printf("%d %d %d\n", c[0], c[1], c[2]);
    return 0;
  }
  if ((cmd == "count" || cmd == "bbox") && argc == 10) {
    const Box b = Clip(p, argv + 3);
    long n = 0;
    int bx0 = p.w, by0 = p.h, bx1 = -1, by1 = -1;
    for (int y = b.y0; y < b.y1; ++y)
      for (int x = b.x0; x < b.x1; ++x)
        if (Is(p.At(x, y), argv + 7)) {
          ++n;
          if (x < bx0) bx0 = x;
          if (y < by0) by0 = y;
          if (x > bx1) bx1 = x;
          if (y > by1) by1 = y;
        }
    if (cmd == "count") std::printf("%ld\n", n);
    else if (n == 0) std::printf("none\n");
    else std::printf("%d %d %d %d\n", bx0, by0, bx1 - bx0 + 1, by1 - by0 + 1);
    return 0;
  }
  if (cmd == "diff" && argc == 8) {
    const Picture q(argv[3]);
    if (q.w != p.w || q.h != p.h) return 2;
    const Box b = Clip(p, argv + 4);
    long n = 0;
    for (int y = b.y0; y < b.y1; ++y)
      for (int x = b.x0; x < b.x1; ++x) {
        const unsigned char *c = p.At(x, y), *d = q.At(x, y);
        if (c[0] != d[0] || c[1] != d[1] || c[2] != d[2]) ++n;
      }
    std::printf("%ld\n", n);
    return 0;
  }
  std::fprintf(stderr, "probe: bad arguments\n");
  return 2;
}
