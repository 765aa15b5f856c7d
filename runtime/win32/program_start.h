// Starting the setup programs: kernel32's start of a command line with a
// show mode, without waiting, as the logic's WinExec asks, and with two
// changes. The path is quoted, so a folder with blanks cannot make Windows
// start another program (such as C:\Program.exe). And a setup that needs
// elevation, which a plain start refuses with error 740, is started through
// the shell, so that the elevation prompt appears. XP has no elevation and
// never gives 740, so there the shell is never asked (its "runas" would
// open XP's "Run as" dialog; the verb here is "open").
#pragma once

#include <string>
#include <string_view>

#include "runtime/types.h"
#include "runtime/win32/safe_loading.h"

namespace rt::win32 {

// The two ways to start a program; the system's, or a test's.
class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // Each returns 0 when the program was started, else the system's error.
  virtual unsigned long Create(std::wstring& command_line, int show_mode) = 0;
  // `owner` (a window handle, or null) keeps the elevation prompt in front
  // of the program's windows rather than behind them.
  virtual unsigned long ShellOpen(const std::wstring& program, int show_mode, void* owner) = 0;
};

// The system's: CreateProcessW, and ShellExecuteExW with the verb "open";
// each with the DLL search a program started from Explorer hands on, not the
// one `narrowed` at start-up.
class SystemLauncher final : public ProcessLauncher {
 public:
  explicit SystemLauncher(DllSearch narrowed = DllSearch::kUnchanged) : narrowed_(narrowed) {}
  unsigned long Create(std::wstring& command_line, int show_mode) override;
  unsigned long ShellOpen(const std::wstring& program, int show_mode, void* owner) override;

 private:
  DllSearch narrowed_;
};

// WinExec's result: above 31 when the program was started. `owner` is the
// window an elevation prompt belongs to.
Long StartProgram(std::string_view command_line, Long show_mode, ProcessLauncher& launcher, void* owner);

}  // namespace rt::win32
