// artgen: draws the start program's pictures and writes them into a folder.
// Usage: artgen <output folder> [font folder]
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "encode.h"
#include "scenes.h"

namespace {

void Save(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

void SaveJpeg(const std::string& path, const artgen::Canvas& c, std::size_t size, bool subsample) {
  artgen::SizedJpeg jpeg = artgen::EncodeJpegToSize(c, size, subsample);
  std::printf("%s: quality %d, %zu bytes of comment\n", path.c_str(), jpeg.quality, jpeg.padding);
  Save(path, jpeg.bytes);
}

void SaveBmp(const std::string& path, const artgen::Canvas& c, double dither) {
  auto palette = artgen::MakePalette(artgen::ToRgb8(c), 256);
  Save(path, artgen::WriteBmp8(artgen::Quantize(c, palette, dither)));
}

void SaveIcon(const std::string& path, const artgen::Icon& icon, int bits, double dither) {
  // Index 0 stays black for the transparent pixels, as Windows expects.
  std::vector<artgen::Rgb8> opaque;
  auto all = artgen::ToRgb8(icon.colour);
  for (size_t i = 0; i < all.size(); ++i)
    if (!icon.transparent[i]) opaque.push_back(all[i]);
  auto palette = artgen::MakePalette(opaque, (1 << bits) - 1);
  palette.insert(palette.begin(), artgen::Rgb8{0, 0, 0});
  Save(path, artgen::WriteIco(artgen::Quantize(icon.colour, palette, dither, &icon.transparent, 0),
                              bits, icon.transparent));
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
    SaveIcon(out + "/main_icon.ico", artgen::MainIcon(), 4, 0.5);
    SaveBmp(out + "/main_background.bmp", artgen::MainBackground(), 1.0);
    SaveJpeg(out + "/welcome_inset.jpg", artgen::WelcomeInset(fonts), 111028, false);
    SaveJpeg(out + "/welcome.jpg", artgen::WelcomeScreen(fonts), 95878, true);
    SaveIcon(out + "/dialog_icon.ico", artgen::DialogIcon(), 8, 0.6);
    SaveBmp(out + "/reader_product.bmp", artgen::ReaderProduct(fonts), 0.8);
    SaveJpeg(out + "/product_range.jpg", artgen::ProductRange(fonts), 333767, true);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "artgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
