// Face mapping and text measurement with FLTK's (Xft) fonts.
#include "runtime/fltk/fonts.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "runtime/fltk/encoding.h"

// FLTK and X11 last: Xlib defines True and False as macros.
#include <FL/Fl.H>
#include <FL/fl_draw.H>

namespace rt::fltk {

namespace {

// FLTK's Xft names carry the style in their first character: ' ' regular,
// 'B' bold, 'I' italic, 'P' bold italic.
constexpr const char* kFaces[3][4] = {
    {" Liberation Sans", "BLiberation Sans", "ILiberation Sans", "PLiberation Sans"},
    {" Liberation Serif", "BLiberation Serif", "ILiberation Serif", "PLiberation Serif"},
    {" Liberation Mono", "BLiberation Mono", "ILiberation Mono", "PLiberation Mono"},
};
constexpr Fl_Font kFirstFace = FL_FREE_FONT;

bool Contains(const std::string& lower, std::string_view what) { return lower.find(what) != std::string::npos; }

}  // namespace

Family FamilyOf(std::string_view face) {
  std::string lower(face);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (Contains(lower, "courier") || Contains(lower, "mono") || Contains(lower, "fixedsys") ||
      Contains(lower, "terminal"))
    return Family::kMono;
  if (Contains(lower, "sans")) return Family::kSans;  // before "serif": "MS Sans Serif"
  if (Contains(lower, "times") || Contains(lower, "serif") || Contains(lower, "roman") ||
      Contains(lower, "georgia"))
    return Family::kSerif;
  return Family::kSans;
}

int PixelSize(const FontRecord& font, double dpi) {
  const double px = font.Points() * dpi / 72.0;
  if (!std::isfinite(px) || px < 1) return 1;
  if (px > 1000) return 1000;
  return static_cast<int>(std::lround(px));
}

Fonts::Fonts(double dpi) : dpi_(dpi) {
  for (int f = 0; f < 3; ++f)
    for (int s = 0; s < 4; ++s) Fl::set_font(static_cast<Fl_Font>(kFirstFace + f * 4 + s), kFaces[f][s]);
}

Fl_Font Fonts::Face(const FontRecord& font) const {
  const int family = static_cast<int>(FamilyOf(font.face));
  const bool italic = (font.style & kFontItalic) != 0;
  const int style = (font.Bold() ? 1 : 0) + (italic ? 2 : 0);
  return static_cast<Fl_Font>(kFirstFace + family * 4 + style);
}

int Fonts::Select(const FontRecord& font) {
  const int px = PixelSize(font, dpi_);
  fl_font(Face(font), px);
  return px;
}

int Fonts::Utf8Width(std::string_view utf8) {
  if (utf8.empty()) return 0;
  const double w = fl_width(utf8.data(), static_cast<int>(utf8.size()));
  return std::isfinite(w) && w > 0 ? static_cast<int>(std::lround(w)) : 0;
}

int Fonts::TextWidth(const FontRecord& font, std::string_view text) {
  Select(font);
  return Utf8Width(Windows1252ToUtf8(text));
}

int Fonts::LineHeight(const FontRecord& font) {
  Select(font);
  return std::max(1, fl_height());
}

}  // namespace rt::fltk
