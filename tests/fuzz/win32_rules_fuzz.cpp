// The Windows backend's program folder and command-line rules, with any
// module path (UTF-16, as the system reports it) and any command line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/win32/command_rules.h"
#include "runtime/win32/folder_rules.h"
#include "tests/fuzz/fuzz_check.h"

using namespace rt::win32;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t* rest = data + 1;
  const std::size_t n = size - 1;
  if (data[0] & 1) {
    std::wstring path;
    for (std::size_t i = 0; i + 1 < n; i += 2) path += static_cast<wchar_t>(rest[i] | rest[i + 1] << 8);
    const std::wstring folder = FolderOfModule(path);
    IsRootFolder(path);
    if (folder.empty()) return 0;
    // A backslash at the end exactly when the folder is a root.
    const bool slash = folder.back() == L'\\';
    const std::wstring_view bare = slash ? std::wstring_view(folder).substr(0, folder.size() - 1) : folder;
    FUZZ_CHECK(slash == IsRootFolder(bare));
    FUZZ_CHECK(folder.size() <= path.size());
  } else {
    const std::string_view line(reinterpret_cast<const char*>(rest), n);
    const std::string quoted = QuoteCommandLine(line);
    FUZZ_CHECK(quoted.starts_with('"'));
    if (line.find('"') == std::string_view::npos) FUZZ_CHECK(ProgramPathOf(quoted) == line);
    unsigned long error = 0;
    for (std::size_t i = 0; i < n && i < sizeof error; ++i) error |= static_cast<unsigned long>(rest[i]) << 8 * i;
    const rt::Long result = WinExecResult(error);
    // A failed start never reads as a started one.
    FUZZ_CHECK(rt::StartSucceeded(result) == (error == 0));
  }
  return 0;
}
