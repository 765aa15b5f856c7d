// The program folder from the module's own path, in the logic's code page.
#include "runtime/win32/program_folder.h"

#include <vector>

#include "runtime/win32/backend.h"
#include "runtime/win32/encoding.h"
#include "runtime/win32/folder_rules.h"
#include "runtime/win32/win32_api.h"

namespace rt::win32 {

namespace {
constexpr DWORD kLongestPath = 32768;

std::wstring ShortPath(const std::wstring& path) {
  const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring out(size, L'\0');
  const DWORD n = GetShortPathNameW(path.c_str(), out.data(), size);
  if (n == 0 || n >= size) return {};
  out.resize(n);
  return out;
}
}  // namespace

std::wstring ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    // A full buffer may mean a cut path: try again with more room.
    if (n < buffer.size() - 1 || buffer.size() >= kLongestPath) return std::wstring(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramFolderOf(std::wstring_view module_path) {
  const std::wstring folder = FolderOfModule(module_path);
  if (std::optional<std::string> s = Narrow1252(folder)) return *s;
  const std::wstring short_folder = ShortPath(folder);
  if (!short_folder.empty())
    if (std::optional<std::string> s = Narrow1252(short_folder)) return *s;
  return Narrow1252Lossy(folder);
}

std::wstring ProgramTitle(std::wstring_view module_path) {
  std::wstring_view name = module_path.substr(module_path.rfind(L'\\') + 1);
  if (const std::size_t dot = name.rfind(L'.'); dot != std::wstring_view::npos && dot > 0) name = name.substr(0, dot);
  return std::wstring(name);
}

std::string Win32Backend::ProgramFolder() { return ProgramFolderOf(ModulePath()); }

}  // namespace rt::win32
