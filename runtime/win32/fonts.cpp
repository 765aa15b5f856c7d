// Font creation at the screen's DPI and measuring with GDI text metrics.
#include "runtime/win32/fonts.h"

#include <cmath>

#include "runtime/win32/encoding.h"

namespace rt::win32 {

GdiFonts::GdiFonts() {
  dc_ = CreateCompatibleDC(nullptr);
  HDC screen = GetDC(nullptr);
  dpi_x_ = GetDeviceCaps(screen, LOGPIXELSX);
  dpi_y_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpi_x_ <= 0) dpi_x_ = 96;
  if (dpi_y_ <= 0) dpi_y_ = 96;
}

GdiFonts::~GdiFonts() {
  for (auto& e : fonts_) DeleteObject(e->font);
  if (dc_) DeleteDC(dc_);
}

int GdiFonts::EmPixels(const FontRecord& font) const {
  // Fractional sizes such as 9.75 points are exact pixel sizes at 96 DPI.
  return static_cast<int>(std::lround(font.Points() * dpi_y_ / 72.0));
}

GdiFonts::Entry& GdiFonts::Find(const FontRecord& font) {
  for (auto& e : fonts_)
    if (e->key == font) return *e;
  auto e = std::make_unique<Entry>();
  e->face = font.face.empty() ? std::string(kStandardFont.face) : std::string(font.face);
  e->key = font;
  e->key.face = e->face;
  const std::wstring face = Widen1252(e->face);
  e->font = CreateFontW(-EmPixels(font), 0, 0, 0, font.weight, (font.style & kFontItalic) != 0,
                        (font.style & kFontUnderline) != 0, (font.style & kFontStrikethrough) != 0,
                        static_cast<BYTE>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  if (!e->font) e->font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HGDIOBJ old = SelectObject(dc_, e->font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc_, &tm);
  SelectObject(dc_, old);
  // Lines follow each other at the font's height, as DrawText sets them.
  e->line_height = tm.tmHeight;
  fonts_.push_back(std::move(e));
  return *fonts_.back();
}

HFONT GdiFonts::Font(const FontRecord& font) { return Find(font).font; }

int GdiFonts::TextWidth(const FontRecord& font, std::string_view text) {
  if (text.empty()) return 0;
  Entry& e = Find(font);
  const std::wstring wide = Widen1252(text);
  HGDIOBJ old = SelectObject(dc_, e.font);
  SIZE size{};
  GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc_, old);
  return size.cx;
}

int GdiFonts::LineHeight(const FontRecord& font) { return Find(font).line_height; }

}  // namespace rt::win32
