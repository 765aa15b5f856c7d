// Lines from a measured program's stdout, with a timeout: the benchmark
// programs that start another one on a pipe and wait for what it says.
#pragma once

#include <poll.h>
#include <sys/types.h>
#include <unistd.h>

#include <string>

#include "bench/pixel_watch.h"

namespace bench {

class LineReader {
 public:
  explicit LineReader(int fd) : fd_(fd) {}
  // One line without its newline; empty on timeout or end of input.
  std::string Next(int timeout_ms) {
    const std::int64_t until = MonotonicNanos() + std::int64_t{timeout_ms} * 1'000'000;
    for (;;) {
      const std::size_t nl = buffer_.find('\n');
      if (nl != std::string::npos) {
        std::string line = buffer_.substr(0, nl);
        buffer_.erase(0, nl + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();  // a Windows program's text mode
        return line;
      }
      const std::int64_t left = (until - MonotonicNanos()) / 1'000'000;
      if (left <= 0) return {};
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
      char chunk[256];
      const ssize_t n = read(fd_, chunk, sizeof chunk);
      if (n <= 0) return {};
      buffer_.append(chunk, static_cast<std::size_t>(n));
    }
  }

 private:
  int fd_;
  std::string buffer_;
};

// Starts argv[0] with argv (null-terminated), its stdout on a pipe whose
// reading end goes to `fd`; the child's pid, or -1 where it could not start.
inline pid_t StartOnPipe(char* const* argv, int& fd) {
  int out[2];
  if (pipe(out) != 0) return -1;
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    execv(argv[0], argv);
    _exit(127);
  }
  close(out[1]);
  fd = out[0];
  return pid;
}

}  // namespace bench
