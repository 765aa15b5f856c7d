// Text conversion at the edge of the FLTK backend: the program's strings are
// Windows-1252, FLTK's are UTF-8. Nothing inside the core is ever converted.
#pragma once

#include <string>
#include <string_view>

namespace rt::fltk {

// Every byte maps to one character; the five bytes Windows-1252 leaves
// undefined map to the C1 controls of the same value, as Windows does.
std::string Windows1252ToUtf8(std::string_view text);

// The Unicode code point of one Windows-1252 byte.
char32_t Windows1252ToCodePoint(unsigned char byte);

// The Windows-1252 byte of a code point, or 0 where there is none.
unsigned char CodePointToWindows1252(char32_t code_point);

// Windows-1252 of UTF-8 text; a character Windows-1252 lacks, and each byte
// of malformed UTF-8, becomes '?'.
std::string Utf8ToWindows1252(std::string_view text);

// The first character of UTF-8 text as Windows-1252, or 0 when it is empty,
// malformed or has no Windows-1252 byte.
unsigned char FirstCharAsWindows1252(std::string_view utf8);

}  // namespace rt::fltk
