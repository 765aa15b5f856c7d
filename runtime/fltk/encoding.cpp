// Windows-1252 <-> UTF-8 conversion.
#include "runtime/fltk/encoding.h"

#include <array>
#include <cstdint>

namespace rt::fltk {

namespace {

// 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 character at text[i]; returns its length, 0 if malformed.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(text[i]);
  std::size_t len = 0;
  char32_t min = 0;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > text.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

char32_t Windows1252ToCodePoint(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : static_cast<char32_t>(byte);
}

unsigned char CodePointToWindows1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == cp) return static_cast<unsigned char>(0x80 + i);
  return 0;
}

std::string Windows1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (char c : text) AppendUtf8(out, Windows1252ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToWindows1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(text, i, cp);
    if (len == 0) {
      out += '?';
      ++i;
      continue;
    }
    const unsigned char b = CodePointToWindows1252(cp);
    out += (b == 0 && cp != 0) ? '?' : static_cast<char>(b);
    i += len;
  }
  return out;
}

unsigned char FirstCharAsWindows1252(std::string_view utf8) {
  if (utf8.empty()) return 0;
  char32_t cp = 0;
  if (DecodeUtf8(utf8, 0, cp) == 0) return 0;
  return CodePointToWindows1252(cp);
}

}  // namespace rt::fltk
