// The runtime's standard error message box.
#include "runtime/win32/backend.h"
#include "runtime/win32/encoding.h"
#include "runtime/win32/program_folder.h"

namespace rt::win32 {

void Win32Backend::ShowErrorMessage(std::string_view text) {
  LoadCommonControls();
  const std::wstring body = Widen1252(text);
  const std::wstring title = ProgramTitle(ModulePath());
  // Task modal: every window of the program stays disabled meanwhile.
  MessageBoxW(nullptr, body.c_str(), title.c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
}

}  // namespace rt::win32
