// The Linux backend's program folder rules with any mount table and path:
// /proc/self/mountinfo carries mount points any user can choose the names of.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/fltk/program_folder.h"
#include "tests/fuzz/fuzz_check.h"

using namespace rt::fltk::detail;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  // The path, then a NUL, then the mount table.
  const std::size_t split = all.find('\0');
  const std::string_view path = all.substr(0, split);
  const std::string_view mountinfo = split == std::string_view::npos ? std::string_view() : all.substr(split + 1);

  FUZZ_CHECK(DecodeMountinfoField(path).size() <= path.size());
  for (const std::string& point : MountPoints(mountinfo)) FUZZ_CHECK(!point.empty());
  const std::string parent = ParentFolder(path);
  if (path.starts_with('/')) {
    FUZZ_CHECK(parent.starts_with('/'));
    FUZZ_CHECK(parent.size() < path.size() || parent == "/");
    const std::string marked = MarkMountRoot(parent, mountinfo);
    FUZZ_CHECK(marked == parent || marked == parent + "/");
  }
  return 0;
}
