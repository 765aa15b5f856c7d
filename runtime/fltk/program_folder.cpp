// The program folder on Linux: the running executable's folder, marked as a
// volume root with a trailing "/" when it is a mount point.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "runtime/fltk/program_folder.h"

namespace rt::fltk {
namespace detail {

namespace {

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

std::string_view NthField(std::string_view line, int n) {
  std::size_t pos = 0;
  for (int i = 0;; ++i) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    const std::size_t end = std::min(line.find(' ', pos), line.size());
    if (i == n) return line.substr(pos, end - pos);
    if (end >= line.size()) return {};
    pos = end;
  }
}

}  // namespace

std::string DecodeMountinfoField(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) && IsOctal(field[i + 2]) &&
        IsOctal(field[i + 3])) {
      out += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

std::vector<std::string> MountPoints(std::string_view mountinfo) {
  std::vector<std::string> points;
  while (!mountinfo.empty()) {
    const std::size_t end = std::min(mountinfo.find('\n'), mountinfo.size());
    const std::string_view field = NthField(mountinfo.substr(0, end), 4);
    if (!field.empty()) points.push_back(DecodeMountinfoField(field));
    mountinfo.remove_prefix(std::min(end + 1, mountinfo.size()));
  }
  return points;
}

std::string ParentFolder(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string MarkMountRoot(std::string_view folder_path, std::string_view mountinfo) {
  std::string folder(folder_path);
  if (folder == "/") return folder;
  const std::vector<std::string> points = MountPoints(mountinfo);
  if (std::find(points.begin(), points.end(), folder) != points.end()) folder += '/';
  return folder;
}

}  // namespace detail

namespace {

// /proc/self/exe, already free of symbolic links. A deleted executable's link
// carries a " (deleted)" mark, which is no part of the folder's name.
std::string ExecutablePath() {
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(n));
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  constexpr std::string_view kDeleted = " (deleted)";
  struct stat st {};
  if (buffer.ends_with(kDeleted) && stat(buffer.c_str(), &st) != 0) buffer.resize(buffer.size() - kDeleted.size());
  return buffer;
}

// 1 when the kernel marks `folder` as the root of a mount, 0 when it says it
// is not, -1 when it cannot tell (kernels before 5.8).
int StatxMountRoot(const std::string& folder) {
  struct statx stx {};
  if (statx(AT_FDCWD, folder.c_str(), 0, STATX_BASIC_STATS, &stx) != 0) return -1;
  if ((stx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) == 0) return -1;
  return (stx.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0 ? 1 : 0;
}

std::string ReadMountinfo() {
  std::ifstream in("/proc/self/mountinfo", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A different device than the parent's is a mount point for sure; a bind
// mount within one device goes unseen, so this is only the last resort.
bool DeviceDiffersFromParent(const std::string& folder) {
  struct stat self {}, parent {};
  if (stat(folder.c_str(), &self) != 0 || stat((folder + "/..").c_str(), &parent) != 0) return false;
  return self.st_dev != parent.st_dev;
}

// Without /proc/self/exe the current folder stands in: a CD's autorun starts
// the launcher in its own folder. Without even that, the root.
std::string FallbackFolder() {
  std::string buffer(4096, '\0');
  if (getcwd(buffer.data(), buffer.size()) == nullptr) return "/";
  buffer.resize(buffer.find('\0'));
  return buffer.empty() || buffer[0] != '/' ? "/" : buffer;
}

}  // namespace

std::string ProgramFolder() {
  try {
    const std::string exe = ExecutablePath();
    const std::string folder = !exe.empty() && exe[0] == '/' ? detail::ParentFolder(exe) : FallbackFolder();
    if (folder == "/") return folder;
    switch (StatxMountRoot(folder)) {
      case 1:
        return folder + '/';
      case 0:
        return folder;
      default:
        break;
    }
    const std::string mountinfo = ReadMountinfo();
    if (!mountinfo.empty()) return detail::MarkMountRoot(folder, mountinfo);
    return DeviceDiffersFromParent(folder) ? folder + '/' : folder;
  } catch (...) {
    // Only memory can run out here; the root is the one answer needing none.
    return "/";
  }
}

}  // namespace rt::fltk
