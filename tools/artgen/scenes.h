// The eight pictures of the start program, each drawn from code.
#pragma once

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

Canvas WelcomeScreen(const Fonts& fonts);   // 800 x 600
Canvas WelcomeInset(const Fonts& fonts);    // 252 x 308
Canvas MainBackground();                    // 640 x 480
Canvas ProductRange(const Fonts& fonts);    // 800 x 600
Canvas ReaderProduct(const Fonts& fonts);   // 100 x 108
Icon MainIcon();
Icon DialogIcon();

// The Mirelund landscape at any size, shared by the welcome screen and the
// game's own box on the closing screen.
Canvas MirelundLandscape(int width, int height, bool calm_corner);

}  // namespace artgen
