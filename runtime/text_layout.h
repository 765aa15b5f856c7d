// The one line breaker of the program, shared by every backend and measured
// with the backend's own font metrics. Every blank counts: a run of blanks
// takes its width and pushes the following words along or onto the next line;
// the blanks that reach a line's end end that line and are not carried over.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/definition.h"

namespace rt {

// The runtime's standard font for controls, used where a definition gives none.
inline constexpr FontRecord kStandardFont{.size = 82500, .face = "MS Sans Serif"};

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // Width in pixels of Windows-1252 text drawn on one line.
  virtual int TextWidth(const FontRecord& font, std::string_view text) = 0;
  // Distance in pixels from one line's top to the next.
  virtual int LineHeight(const FontRecord& font) = 0;
};

// Lines of `text` for a label `max_width` pixels wide, left-aligned, as views
// into `text`. CR, LF and CR LF are hard breaks. A word wider than the label
// is broken between characters so that nothing of it is hidden.
std::vector<std::string_view> BreakLines(std::string_view text, int max_width, const FontRecord& font,
                                         TextMeasurer& measurer);

// A caption without its access-key marks ("&Ja" -> "Ja", "&&" -> "&"), and
// the index in the result of the underlined key character, or -1.
struct AccessKeyText {
  std::string shown;
  int key_index = -1;
  char key = 0;  // upper case, 0 when none
};
AccessKeyText ParseAccessKey(std::string_view caption);

}  // namespace rt
