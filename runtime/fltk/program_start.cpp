// Starting a program named by a Windows-style command line on Linux: the
// path is found case-insensitively, Windows programs go through wine, and the
// program runs detached from the launcher, with no shell in between.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "runtime/fltk/program_folder.h"
#include "runtime/fltk/program_start.h"

extern char** environ;

namespace rt::fltk {
namespace detail {

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// CD file systems change only the case of plain letters, so ASCII folding is
// enough; other bytes must match as they are.
bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The entry of `folder` that `name` means, or an empty string. Of several
// that differ only in case, the smallest is taken, so the choice does not
// depend on the order in which the file system lists them.
std::string MatchEntry(const std::string& folder, const std::string& name) {
  if (Exists(folder + "/" + name)) return name;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "/" : folder.c_str()), closedir);
  if (!dir) return {};
  std::string best;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view candidate = entry->d_name;
    if (candidate == "." || candidate == "..") continue;
    if (EqualsIgnoringCase(candidate, name) && (best.empty() || candidate < best)) best = candidate;
  }
  return best;
}

// Without a trailing "/", so the root is empty.
bool CurrentFolder(std::string& folder) {
  std::string buffer(4096, '\0');
  if (getcwd(buffer.data(), buffer.size()) == nullptr) return false;
  buffer.resize(buffer.find('\0'));
  folder = buffer == "/" ? std::string() : buffer;
  return true;
}

}  // namespace

// The length of `folder` when `line` begins with it as a whole folder, else 0.
std::size_t FolderPrefix(std::string_view line, std::string_view folder) {
  if (!folder.starts_with('/') || !line.starts_with(folder)) return 0;
  if (folder.ends_with('/') || line.size() == folder.size() || line[folder.size()] == '/') return folder.size();
  return 0;
}

std::string ResolveWindowsPath(std::string_view windows_path, Long& error, std::string_view folder) {
  // Built without a trailing "/"; empty stands for the root. The program
  // folder is a Linux path and may hold a backslash of its own: it is taken
  // as it is, and only what follows it is Windows-style.
  std::string resolved;
  const std::size_t prefix = FolderPrefix(windows_path, folder);
  if (prefix > 0) {
    resolved = std::string(folder.substr(0, folder.ends_with('/') ? folder.size() - 1 : folder.size()));
    windows_path.remove_prefix(prefix);
  }
  std::string path(windows_path);
  std::replace(path.begin(), path.end(), '\\', '/');

  std::vector<std::string> parts;
  for (std::size_t pos = 0; pos <= path.size();) {
    const std::size_t end = std::min(path.find('/', pos), path.size());
    std::string part = path.substr(pos, end - pos);
    if (!part.empty() && part != ".") parts.push_back(std::move(part));
    pos = end + 1;
  }
  if (parts.empty()) {
    error = kFileNotFound;
    return {};
  }

  if (prefix == 0 && !path.starts_with('/') && !CurrentFolder(resolved)) {
    error = kPathNotFound;
    return {};
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    if (parts[i] == "..") {
      resolved = resolved.empty() ? resolved : ParentFolder(resolved);
      if (resolved == "/") resolved.clear();
      continue;
    }
    const std::string name = MatchEntry(resolved, parts[i]);
    if (name.empty()) {
      error = last ? kFileNotFound : kPathNotFound;
      return {};
    }
    resolved += "/" + name;
    if (!last && !IsFolder(resolved)) {
      error = kPathNotFound;
      return {};
    }
  }
  return resolved.empty() ? "/" : resolved;
}

ProgramKind KindOfFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ProgramKind::kUnreadable;
  unsigned char head[64] = {};
  const ssize_t n = pread(fd, head, sizeof head, 0);
  ProgramKind kind = ProgramKind::kOther;
  if (n >= 4 && head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F') {
    kind = ProgramKind::kNative;
  } else if (n >= 2 && head[0] == '#' && head[1] == '!') {
    kind = ProgramKind::kNative;
  } else if (n == static_cast<ssize_t>(sizeof head) && head[0] == 'M' && head[1] == 'Z') {
    // e_lfanew: where the PE header starts, little-endian at 0x3C.
    const std::uint32_t pe_offset = head[0x3C] | (head[0x3D] << 8) | (head[0x3E] << 16) |
                                    (static_cast<std::uint32_t>(head[0x3F]) << 24);
    unsigned char sig[4] = {};
    if (pread(fd, sig, sizeof sig, static_cast<off_t>(pe_offset)) == 4 && sig[0] == 'P' && sig[1] == 'E' &&
        sig[2] == 0 && sig[3] == 0)
      kind = ProgramKind::kWindows;
  }
  close(fd);
  return kind;
}

std::string FindInPath(std::string_view name, std::string_view path_variable) {
  while (true) {
    const std::size_t end = std::min(path_variable.find(':'), path_variable.size());
    const std::string_view folder = path_variable.substr(0, end);
    // An empty entry would mean the current folder, which may be the CD:
    // that is no place to pick up a wine from.
    if (!folder.empty()) {
      const std::string candidate = std::string(folder) + "/" + std::string(name);
      struct stat st {};
      if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
        return candidate;
    }
    if (end >= path_variable.size()) return {};
    path_variable.remove_prefix(end + 1);
  }
}

}  // namespace detail

namespace {

using namespace detail;

constexpr int kExecReportTimeoutMs = 2000;

Long ResultOfExecError(int err) {
  switch (err) {
    case ENOENT:
      return kFileNotFound;
    case ENOTDIR:
      return kPathNotFound;
    case EACCES:
    case EPERM:
      return kAccessDenied;
    case ENOMEM:
    case EAGAIN:
    case E2BIG:
      return kOutOfResources;
    default:
      return kBadFormat;
  }
}

// Only async-signal-safe calls from here on: the launcher may have threads.
[[noreturn]] void BecomeProgram(char* const argv[], int report_fd) {
  setsid();  // a Ctrl-C or hang-up meant for the launcher leaves it alone
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &dfl, nullptr);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  // The launcher's own descriptors (its X connection) are no business of the
  // program; the report pipe is close-on-exec already.
  close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  execve(argv[0], argv, environ);
  const int err = errno;
  (void)!write(report_fd, &err, sizeof err);
  _exit(127);
}

// Double fork: the intermediate child exits at once and is reaped here, so
// the program is adopted by init (or a subreaper) and never becomes a zombie
// of the launcher, and no other child of the launcher is waited for. The
// program's exec failure comes back through a close-on-exec pipe; success is
// the pipe's end of file.
Long Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return kOutOfResources;
  const pid_t child = fork();
  if (child < 0) {
    close(report[0]);
    close(report[1]);
    return kOutOfResources;
  }
  if (child == 0) {
    close(report[0]);
    const pid_t program = fork();
    if (program == 0) BecomeProgram(argv.data(), report[1]);
    if (program < 0) {
      const int err = errno;
      (void)!write(report[1], &err, sizeof err);
    }
    _exit(0);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }

  // A program on a slow medium may take a moment to load; after the timeout
  // it counts as started rather than keep the launcher waiting.
  Long result = kStarted;
  pollfd pfd{.fd = report[0], .events = POLLIN, .revents = 0};
  int ready;
  while ((ready = poll(&pfd, 1, kExecReportTimeoutMs)) < 0 && errno == EINTR) {
  }
  if (ready > 0) {
    int err = 0;
    ssize_t n;
    while ((n = read(report[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    if (n == static_cast<ssize_t>(sizeof err)) result = ResultOfExecError(err);
  }
  close(report[0]);
  return result;
}

std::string_view WithoutQuotes(std::string_view line) {
  if (line.size() >= 2 && line.front() == '"' && line.back() == '"') return line.substr(1, line.size() - 2);
  return line;
}

}  // namespace

// The show mode cannot be handed to an arbitrary Linux program; the stub
// setups of the demo CD maximize their windows themselves.
Long StartProgram(std::string_view command_line, Long /*show_mode*/, std::string_view program_folder) {
  try {
    Long error = kFileNotFound;
    const std::string path = ResolveWindowsPath(WithoutQuotes(command_line), error, program_folder);
    if (path.empty()) return error;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return kFileNotFound;
    if (S_ISDIR(st.st_mode)) return kAccessDenied;
    if (!S_ISREG(st.st_mode)) return kBadFormat;

    switch (KindOfFile(path)) {
      case ProgramKind::kUnreadable:
        return kAccessDenied;
      case ProgramKind::kOther:
        return kBadFormat;
      case ProgramKind::kNative:
        if (access(path.c_str(), X_OK) != 0) return kAccessDenied;
        return Spawn({path});
      case ProgramKind::kWindows: {
        const char* path_variable = std::getenv("PATH");
        const std::string wine = FindInPath("wine", path_variable ? path_variable : "/usr/local/bin:/usr/bin:/bin");
        if (wine.empty()) return kBadFormat;  // no wine: the system cannot run this format
        return Spawn({wine, path});
      }
    }
    return kBadFormat;
  } catch (...) {
    return kOutOfResources;
  }
}

}  // namespace rt::fltk
