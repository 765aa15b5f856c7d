// Text between the logic (Windows-1252, whatever the system's code page) and
// the wide Windows API. Always code page 1252 by number, never CP_ACP: a
// Windows set to another code page must still show "ö" and "ß".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rt::win32 {

std::wstring Widen1252(std::string_view text);

// Empty when some character has no Windows-1252 form.
std::optional<std::string> Narrow1252(std::wstring_view text);

// As Narrow1252, with '?' for each character that has none.
std::string Narrow1252Lossy(std::wstring_view text);

std::string ToUtf8(std::wstring_view text);

}  // namespace rt::win32
