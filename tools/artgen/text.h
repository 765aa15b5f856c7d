// Text for the pictures: TrueType outlines turned into paths, so that lettering
// gets the same anti-aliasing and effects as every other shape.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "raster.h"

namespace artgen {

class Font {
 public:
  // Throws std::runtime_error when the file cannot be read or parsed.
  explicit Font(const std::string& path);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // The outline of UTF-8 text with its baseline's left end at (x, y);
  // size is the height of the em square in pixels.
  Path Shape(std::string_view utf8, double size, double x, double y, double spacing = 0) const;
  double Width(std::string_view utf8, double size, double spacing = 0) const;
  // Like Shape, but centred horizontally on cx.
  Path Centred(std::string_view utf8, double size, double cx, double y, double spacing = 0) const;

 private:
  struct Impl;
  Impl* impl_;
};

std::vector<char32_t> DecodeUtf8(std::string_view text);

}  // namespace artgen
