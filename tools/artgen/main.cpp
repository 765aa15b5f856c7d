// artgen: draws the start program's pictures and writes them into a folder.
// Usage: artgen <output folder> [font folder]
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>

#include "scenes.h"

namespace {

void Save(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: artgen <output folder> [font folder]\n");
    return 2;
  }
  std::string out = argv[1];
  std::string font_dir = argc > 2 ? argv[2] : "/usr/share/fonts/truetype/liberation";
  try {
    artgen::Fonts fonts(font_dir);
    const std::string* last = nullptr;
    for (const artgen::Picture* picture : artgen::Pictures()) {
      if (last && *last == picture->file) throw std::runtime_error("two scenes draw " + picture->file);
      last = &picture->file;
      artgen::Encoded file = picture->make(fonts);
      Save(out + "/" + picture->file, file.bytes);
      std::printf("%s: %zu bytes%s%s\n", picture->file.c_str(), file.bytes.size(), file.note.empty() ? "" : ", ",
                  file.note.c_str());
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "artgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
