// TrueType outlines through stb_truetype (only its parser, not its rasterizer).
#include "text.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

namespace artgen {

struct Font::Impl {
  std::vector<unsigned char> data;
  stbtt_fontinfo info{};
};

std::vector<char32_t> DecodeUtf8(std::string_view s) {
  std::vector<char32_t> out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra && i + k < s.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out.push_back(cp);
    i += 1 + extra;
  }
  return out;
}

Font::Font(const std::string& path) : impl_(new Impl) {
  std::ifstream in(path, std::ios::binary);
  impl_->data.assign(std::istreambuf_iterator<char>(in), {});
  if (impl_->data.empty() ||
      !stbtt_InitFont(&impl_->info, impl_->data.data(),
                      stbtt_GetFontOffsetForIndex(impl_->data.data(), 0))) {
    delete impl_;
    throw std::runtime_error("cannot load font " + path);
  }
}

Font::~Font() { delete impl_; }

double Font::Width(std::string_view utf8, double size, double spacing) const {
  double scale = stbtt_ScaleForMappingEmToPixels(&impl_->info, static_cast<float>(size));
  double x = 0;
  std::vector<char32_t> cps = DecodeUtf8(utf8);
  for (size_t i = 0; i < cps.size(); ++i) {
    int advance = 0, bearing = 0;
    stbtt_GetCodepointHMetrics(&impl_->info, static_cast<int>(cps[i]), &advance, &bearing);
    x += advance * scale + spacing;
    if (i + 1 < cps.size())
      x += scale * stbtt_GetCodepointKernAdvance(&impl_->info, static_cast<int>(cps[i]),
                                                 static_cast<int>(cps[i + 1]));
  }
  return cps.empty() ? 0 : x - spacing;
}

Path Font::Shape(std::string_view utf8, double size, double x, double y, double spacing) const {
  double scale = stbtt_ScaleForMappingEmToPixels(&impl_->info, static_cast<float>(size));
  Path path;
  std::vector<char32_t> cps = DecodeUtf8(utf8);
  for (size_t i = 0; i < cps.size(); ++i) {
    int cp = static_cast<int>(cps[i]);
    stbtt_vertex* v = nullptr;
    int n = stbtt_GetCodepointShape(&impl_->info, cp, &v);
    auto px = [&](double fx) { return x + fx * scale; };
    auto py = [&](double fy) { return y - fy * scale; };
    for (int k = 0; k < n; ++k) {
      switch (v[k].type) {
        case STBTT_vmove:
          path.MoveTo(px(v[k].x), py(v[k].y));
          break;
        case STBTT_vline:
          path.LineTo(px(v[k].x), py(v[k].y));
          break;
        case STBTT_vcurve:
          path.QuadTo(px(v[k].cx), py(v[k].cy), px(v[k].x), py(v[k].y));
          break;
        case STBTT_vcubic:
          path.CubicTo(px(v[k].cx), py(v[k].cy), px(v[k].cx1), py(v[k].cy1), px(v[k].x),
                       py(v[k].y));
          break;
        default:
          break;
      }
    }
    stbtt_FreeShape(&impl_->info, v);
    int advance = 0, bearing = 0;
    stbtt_GetCodepointHMetrics(&impl_->info, cp, &advance, &bearing);
    x += advance * scale + spacing;
    if (i + 1 < cps.size())
      x += scale * stbtt_GetCodepointKernAdvance(&impl_->info, cp, static_cast<int>(cps[i + 1]));
  }
  return path;
}

Path Font::Centred(std::string_view utf8, double size, double cx, double y, double spacing) const {
  return Shape(utf8, size, cx - Width(utf8, size, spacing) / 2, y, spacing);
}

}  // namespace artgen
