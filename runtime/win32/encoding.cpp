// Code page 1252 and UTF-8 conversions through the system's own tables.
#include "runtime/win32/encoding.h"

#include "runtime/win32/win32_api.h"

namespace rt::win32 {

namespace {
constexpr UINT kWindows1252 = 1252;

std::string Narrow(std::wstring_view text, UINT code_page, DWORD flags, BOOL* used_default) {
  if (text.empty()) return {};
  const int n = static_cast<int>(text.size());
  const char* fallback = code_page == CP_UTF8 ? nullptr : "?";
  BOOL* used = code_page == CP_UTF8 ? nullptr : used_default;
  const int size = WideCharToMultiByte(code_page, flags, text.data(), n, nullptr, 0, fallback, used);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(code_page, flags, text.data(), n, out.data(), size, fallback, used);
  return out;
}
}  // namespace

std::wstring Widen1252(std::string_view text) {
  if (text.empty()) return {};
  const int n = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(kWindows1252, 0, text.data(), n, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(kWindows1252, 0, text.data(), n, out.data(), size);
  return out;
}

std::optional<std::string> Narrow1252(std::wstring_view text) {
  BOOL used_default = FALSE;
  std::string out = Narrow(text, kWindows1252, WC_NO_BEST_FIT_CHARS, &used_default);
  if (used_default) return std::nullopt;
  return out;
}

std::string Narrow1252Lossy(std::wstring_view text) {
  BOOL used_default = FALSE;
  return Narrow(text, kWindows1252, WC_NO_BEST_FIT_CHARS, &used_default);
}

std::string ToUtf8(std::wstring_view text) { return Narrow(text, CP_UTF8, 0, nullptr); }

}  // namespace rt::win32
