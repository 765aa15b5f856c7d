// Building blocks the pictures share: skies, moons, mountain ranges, water,
// trees, castles and gilded lettering.
#pragma once

#include <cstdint>
#include <vector>

#include "raster.h"
#include "text.h"

namespace artgen {

// Vertical gradient through the stops, from y0 (first stop) to y1 (last).
void Sky(Canvas& c, const std::vector<Color>& stops, double y0, double y1);
void Stars(Canvas& c, double y_limit, int count, std::uint32_t seed, double brightness = 1.0);
// Wisps of cloud between y0 and y1, lit by `light` towards their bottoms.
void Clouds(Canvas& c, double y0, double y1, Color shadow, Color light, double cover,
            std::uint32_t seed, double scale = 1.0);
void Moon(Canvas& c, double cx, double cy, double r, Color glow);

// The crest line of a mountain range: y for every x in [0, width].
std::vector<double> Ridge(int width, double base, double amplitude, std::uint32_t seed,
                          int peaks, double roughness);
// A range filled below its crest, shaded as rock with snow near the tops;
// `haze` mixes towards the air colour for distance.
void Mountains(Canvas& c, const std::vector<double>& ridge, Color rock, Color lit, Color snow,
               double snow_depth, Color haze, double haze_amount, std::uint32_t seed);
// Hills: a soft crest filled with a colour ramp from crest to bottom.
void Hills(Canvas& c, const std::vector<double>& ridge, Color top, Color bottom,
           std::uint32_t seed);

// Mirrors everything above `horizon` into water below it, with ripples.
void Water(Canvas& c, int horizon, Color tint, double tint_amount, std::uint32_t seed);

// A fir tree silhouette, its foot at (x, y).
void AddFir(Path& p, double x, double y, double height, std::uint32_t seed);
// A round-crowned tree silhouette.
void AddLeafTree(Path& p, double x, double y, double height, std::uint32_t seed);

// A dragon in flight, heading left, its body's middle at (x, y); s = 1 for
// about 100 px from snout to tail.
void AddDragon(Path& p, double x, double y, double s);

struct Castle {
  Path body;
  std::vector<Pt> windows;  // lit window centres
  double window_size = 2;
};
// A castle on the ground line at `ground`, centred on cx, `scale` = 1 for
// about 200 px width.
Castle MakeCastle(double cx, double ground, double scale, std::uint32_t seed);
void DrawCastle(Canvas& c, const Castle& castle, Color dark, Color rim, Color window_light);

// Gilded lettering with a dark rim, a drop shadow and a soft glow.
struct GoldStyle {
  double outline = 2.5;
  double shadow = 4;
  double bevel = 2.5;
  double glow = 0;
  Color glow_colour = {1.0, 0.75, 0.35};
  Color rim = {0.16, 0.07, 0.02};
  std::vector<Color> ramp = {{1.0, 0.96, 0.72}, {0.98, 0.80, 0.36}, {0.80, 0.50, 0.14},
                             {0.98, 0.80, 0.40}, {0.62, 0.34, 0.08}};
};
void GoldText(Canvas& c, const Path& text, const GoldStyle& style);

// A horizontal ornament: a thin gold line with a diamond in the middle.
void Ornament(Canvas& c, double cx, double y, double half_width, double size);

}  // namespace artgen
