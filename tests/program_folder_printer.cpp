// A tiny program for the program folder tests: run from a folder made a mount
// point in a private mount namespace, it prints its program folder as the
// launcher finds it, then as the mountinfo text alone tells it.
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "runtime/fltk/program_folder.h"

int main() {
  std::ifstream in("/proc/self/mountinfo", std::ios::binary);
  const std::string mountinfo{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string exe(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", exe.data(), exe.size());
  if (n <= 0) return 1;
  exe.resize(static_cast<std::size_t>(n));
  namespace d = rt::fltk::detail;
  std::cout << rt::fltk::ProgramFolder() << '\n' << d::MarkMountRoot(d::ParentFolder(exe), mountinfo) << '\n';
  return 0;
}
