// Folder rules: the long-path prefix, the parent folder and the root test.
#include "runtime/win32/folder_rules.h"

namespace rt::win32 {

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool StartsWithNoCase(std::wstring_view s, std::wstring_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    wchar_t a = s[i], b = prefix[i];
    if (a >= L'a' && a <= L'z') a = static_cast<wchar_t>(a - L'a' + L'A');
    if (b >= L'a' && b <= L'z') b = static_cast<wchar_t>(b - L'a' + L'A');
    if (a != b) return false;
  }
  return true;
}

std::wstring WithoutLongPrefix(std::wstring_view path) {
  if (StartsWithNoCase(path, kLongUncPrefix)) return L"\\\\" + std::wstring(path.substr(kLongUncPrefix.size()));
  if (path.starts_with(kLongPrefix) && path.size() >= kLongPrefix.size() + 2 &&
      IsDriveLetter(path[kLongPrefix.size()]) && path[kLongPrefix.size() + 1] == L':')
    return std::wstring(path.substr(kLongPrefix.size()));
  return std::wstring(path);
}

}  // namespace

bool IsRootFolder(std::wstring_view folder) {
  if (folder.size() == 2 && IsDriveLetter(folder[0]) && folder[1] == L':') return true;
  // Other long-path forms keep their prefix: "\\?\Volume{...}" is a root too.
  std::wstring_view rest;
  if (folder.starts_with(kLongPrefix)) {
    rest = folder.substr(kLongPrefix.size());
    return !rest.empty() && rest.find(L'\\') == std::wstring_view::npos;
  }
  // A share: "\\server\share", both names non-empty, nothing after them.
  if (!folder.starts_with(L"\\\\")) return false;
  rest = folder.substr(2);
  const std::size_t sep = rest.find(L'\\');
  if (sep == 0 || sep == std::wstring_view::npos || sep + 1 >= rest.size()) return false;
  return rest.find(L'\\', sep + 1) == std::wstring_view::npos;
}

std::wstring FolderOfModule(std::wstring_view module_path) {
  std::wstring path = WithoutLongPrefix(module_path);
  const std::size_t sep = path.rfind(L'\\');
  if (sep == std::wstring::npos) return {};
  path.resize(sep);
  // Doubled separators before the file name do not make another folder.
  while (!path.empty() && path.back() == L'\\' && !IsRootFolder(path)) path.pop_back();
  if (path.empty()) return {};
  if (IsRootFolder(path)) path += L'\\';
  return path;
}

}  // namespace rt::win32
