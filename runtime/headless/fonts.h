// The headless backend's font metrics: a simple, documented model so that
// line-breaking tests do not depend on installed fonts.
//
// With em = point size × DPI / 72 (DPI = 1440 / twips per pixel), a
// character is this many em wide, each rounded to whole pixels on its own:
//   blank, i l I j t f . , : ; ! ' | ( )   0.25
//   m w M W                                 0.80
//   other upper case and ÄÖÜ                0.65
//   everything else                         0.50
// Bold text is 10 % wider. A line is round(1.2 × em) pixels high.
#pragma once

#include "runtime/text_layout.h"

namespace rt::headless {

class FontModel final : public TextMeasurer {
 public:
  explicit FontModel(double dpi) : dpi_(dpi) {}
  void SetDpi(double dpi) { dpi_ = dpi; }
  int TextWidth(const FontRecord& font, std::string_view text) override;
  int LineHeight(const FontRecord& font) override;
  int CharWidth(const FontRecord& font, unsigned char c) const;

 private:
  double Em(const FontRecord& font) const { return font.Points() * dpi_ / 72.0; }
  double dpi_;
};

}  // namespace rt::headless
