// The headless font-metric model.
#include "runtime/headless/fonts.h"

#include <cmath>
#include <cstring>

namespace rt::headless {

int FontModel::CharWidth(const FontRecord& font, unsigned char c) const {
  double share = 0.50;
  if (c == ' ' || (c != 0 && std::strchr("ilIjtf.,:;!'|()", c))) share = 0.25;
  else if (c != 0 && std::strchr("mwMW", c)) share = 0.80;
  else if ((c >= 'A' && c <= 'Z') || c == 0xC4 || c == 0xD6 || c == 0xDC) share = 0.65;
  if (font.Bold()) share *= 1.1;
  return static_cast<int>(std::lround(share * Em(font)));
}

int FontModel::TextWidth(const FontRecord& font, std::string_view text) {
  int w = 0;
  for (char c : text) w += CharWidth(font, static_cast<unsigned char>(c));
  return w;
}

int FontModel::LineHeight(const FontRecord& font) { return static_cast<int>(std::lround(1.2 * Em(font))); }

}  // namespace rt::headless
