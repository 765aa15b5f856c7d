// The line breaker with any Windows-1252 text, any label width and any font
// size, measured by the headless font model.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "runtime/headless/fonts.h"
#include "runtime/text_layout.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

bool Blank(char c) { return c == ' ' || c == '\r' || c == '\n'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 7) return 0;
  std::int32_t max_width;
  std::memcpy(&max_width, data, sizeof max_width);
  rt::FontRecord font = rt::kStandardFont;
  font.size = 10000u * (1 + data[4] % 72);  // 1 to 72 points
  font.weight = data[5] & 1 ? 700 : 400;
  const double dpi = 48 + data[6] % 4 * 48;  // 48, 96, 144, 192
  const std::string_view text(reinterpret_cast<const char*>(data + 7), size - 7);

  rt::headless::FontModel fonts(dpi);
  const auto lines = rt::BreakLines(text, max_width, font, fonts);
  const char* covered = text.data();  // everything before this is in a line or a blank
  for (std::string_view line : lines) {
    FUZZ_CHECK(line.data() >= covered && line.data() + line.size() <= text.data() + text.size());
    for (const char* p = covered; p < line.data(); ++p) FUZZ_CHECK(Blank(*p));
    for (char c : line) FUZZ_CHECK(c != '\r' && c != '\n');
    // Wider than the label only where one character alone is (or none, for
    // a label of no width).
    FUZZ_CHECK(fonts.TextWidth(font, line) <= max_width || line.size() <= 1);
    covered = line.data() + line.size();
  }
  for (const char* p = covered; p < text.data() + text.size(); ++p) FUZZ_CHECK(Blank(*p));
  return 0;
}
