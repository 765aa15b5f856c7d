// Fonts: the faces of the window definitions mapped onto installed fonts, and
// the backend's TextMeasurer, so that the core lays labels out with the very
// metrics they are drawn with. "MS Sans Serif" and "Arial" are Liberation
// Sans; the pixel size is points × DPI / 72, rounded.
#pragma once

#include <FL/Enumerations.H>

#include <string_view>

#include "runtime/definition.h"
#include "runtime/text_layout.h"

namespace rt::fltk {

enum class Family { kSans, kSerif, kMono };

// Which family a definition's face name stands for (case-insensitive).
Family FamilyOf(std::string_view face);

// Pixel size of a font at `dpi`; at least 1.
int PixelSize(const FontRecord& font, double dpi);

class Fonts final : public TextMeasurer {
 public:
  // Registers the Liberation faces with FLTK; needs the display open.
  explicit Fonts(double dpi);
  double Dpi() const { return dpi_; }

  // Makes `font` FLTK's current font (fl_font) and returns its pixel size.
  int Select(const FontRecord& font);
  Fl_Font Face(const FontRecord& font) const;

  int TextWidth(const FontRecord& font, std::string_view text) override;
  int LineHeight(const FontRecord& font) override;
  // Width of UTF-8 text in the current font.
  static int Utf8Width(std::string_view utf8);

 private:
  double dpi_;
};

}  // namespace rt::fltk
