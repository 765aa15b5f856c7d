// Command line quoting and WinExec's result codes.
#include "runtime/win32/command_rules.h"

namespace rt::win32 {

std::string QuoteCommandLine(std::string_view command_line) {
  if (command_line.starts_with('"')) return std::string(command_line);
  // No file name can hold a quote, so the path needs no escaping inside.
  return "\"" + std::string(command_line) + "\"";
}

std::string ProgramPathOf(std::string_view command_line) {
  if (!command_line.starts_with('"')) return std::string(command_line);
  command_line.remove_prefix(1);
  const std::size_t end = command_line.find('"');
  return std::string(command_line.substr(0, end));
}

Long WinExecResult(unsigned long error) {
  if (error == 0) return kStarted;
  if (error == kErrorCancelled) return kStartCancelled;
  if (error < 32 && static_cast<Long>(error) != kStartCancelled) return static_cast<Long>(error);
  return kStartBadFormat;
}

}  // namespace rt::win32
