// The start program's pictures, each drawn from code by a scene file, and
// the list of the files artgen writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "raster.h"
#include "text.h"

namespace artgen {

struct Fonts {
  explicit Fonts(const std::string& dir)
      : serif_bold(dir + "/LiberationSerif-Bold.ttf"),
        serif_bold_italic(dir + "/LiberationSerif-BoldItalic.ttf"),
        serif_italic(dir + "/LiberationSerif-Italic.ttf"),
        sans_bold(dir + "/LiberationSans-Bold.ttf") {}
  Font serif_bold;
  Font serif_bold_italic;
  Font serif_italic;
  Font sans_bold;
};

struct Icon {
  Canvas colour{32, 32};
  std::vector<bool> transparent;
};

// A picture file's bytes, and a line on how they were made.
struct Encoded {
  std::vector<std::uint8_t> bytes;
  std::string note;
};
Encoded Jpeg(const Canvas& canvas, std::size_t size, bool subsample);  // exactly `size` bytes
Encoded Bmp(const Canvas& canvas, double dither);                     // 8 bits, 256 colours
Encoded Ico(const Icon& icon, int bits, double dither);                // index 0 transparent black

// A file artgen writes. Each scene file defines one of these at namespace
// scope for every picture it draws: a new picture is a new scene file.
struct Picture {
  Picture(std::string file, Encoded (*make)(const Fonts&));
  std::string file;
  Encoded (*make)(const Fonts&);
};
const std::vector<const Picture*>& Pictures();  // in the order of their names

// The Mirelund landscape at any size, shared by the welcome screen and the
// game's own box on the closing screen.
Canvas MirelundLandscape(int width, int height, bool calm_corner);

}  // namespace artgen
