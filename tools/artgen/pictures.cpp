// The encodings the pictures are written in, and the list of the pictures.
#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "encode.h"
#include "scenes.h"

namespace artgen {
namespace {

std::vector<const Picture*>& List() {
  static std::vector<const Picture*> list;
  return list;
}

}  // namespace

Picture::Picture(std::string file_name, Encoded (*maker)(const Fonts&)) : file(std::move(file_name)), make(maker) {
  auto& list = List();
  list.insert(std::upper_bound(list.begin(), list.end(), this,
                               [](const Picture* a, const Picture* b) { return a->file < b->file; }),
              this);
}

const std::vector<const Picture*>& Pictures() { return List(); }

Encoded Jpeg(const Canvas& canvas, std::size_t size, bool subsample) {
  SizedJpeg jpeg = EncodeJpegToSize(canvas, size, subsample);
  char note[64];
  std::snprintf(note, sizeof note, "quality %d, %zu bytes of comment", jpeg.quality, jpeg.padding);
  return {std::move(jpeg.bytes), note};
}

Encoded Bmp(const Canvas& canvas, double dither) {
  auto palette = MakePalette(ToRgb8(canvas), 256);
  return {WriteBmp8(Quantize(canvas, palette, dither)), {}};
}

Encoded Ico(const Icon& icon, int bits, double dither) {
  // Index 0 stays black for the transparent pixels, as Windows expects.
  std::vector<Rgb8> opaque;
  auto all = ToRgb8(icon.colour);
  for (size_t i = 0; i < all.size(); ++i)
    if (!icon.transparent[i]) opaque.push_back(all[i]);
  auto palette = MakePalette(opaque, (1 << bits) - 1);
  palette.insert(palette.begin(), Rgb8{0, 0, 0});
  return {WriteIco(Quantize(icon.colour, palette, dither, &icon.transparent, 0), bits, icon.transparent), {}};
}

}  // namespace artgen
