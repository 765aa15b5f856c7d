// GDI fonts for the labels and buttons, and the text metrics the core's line
// breaker measures with. One HFONT per distinct font record, made once and
// used both to measure and to draw, so the lines the core breaks are the
// lines that fit on screen.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "runtime/text_layout.h"
#include "runtime/win32/win32_api.h"

namespace rt::win32 {

class GdiFonts final : public TextMeasurer {
 public:
  GdiFonts();
  ~GdiFonts() override;
  GdiFonts(const GdiFonts&) = delete;
  GdiFonts& operator=(const GdiFonts&) = delete;

  // Logical pixels per inch of the screen, per axis.
  int DpiX() const { return dpi_x_; }
  int DpiY() const { return dpi_y_; }

  // The font for `font`, owned here; valid as long as this object.
  HFONT Font(const FontRecord& font);
  // The pixel height the font is asked for: the em at the screen's DPI.
  int EmPixels(const FontRecord& font) const;

  int TextWidth(const FontRecord& font, std::string_view text) override;
  int LineHeight(const FontRecord& font) override;

 private:
  struct Entry {
    std::string face;  // the key's face points here
    FontRecord key;
    HFONT font = nullptr;
    int line_height = 0;
  };
  Entry& Find(const FontRecord& font);

  HDC dc_ = nullptr;  // a memory DC for measuring only
  int dpi_x_ = 96;
  int dpi_y_ = 96;
  std::vector<std::unique_ptr<Entry>> fonts_;
};

}  // namespace rt::win32
