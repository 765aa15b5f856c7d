// Painting a window's client area straight into the target, back to front:
// the window's colour, its background picture at its own size from the top
// left, then the labels and pictures from the last listed to the first, so
// that the control listed earlier lies in front. Buttons are child windows
// and lie in front of all of it; the labels' own windows show their part of
// this painting.
//
// No pixel is painted twice: what an opaque layer in front covers is clipped
// out of each layer behind it, and the layers behind one that covers the
// whole area are not painted at all. So the screen never shows a layer that
// is then painted over, without an off-screen copy of the window: a window
// that fills the screen holds nothing screen-sized.
#include <vector>

#include "runtime/win32/backend.h"
#include "runtime/win32/encoding.h"

namespace rt::win32 {

COLORREF ToColorRef(Colour colour) {
  if (colour.IsSystem()) return GetSysColor(colour.SystemIndex());
  return RGB(colour.Red(), colour.Green(), colour.Blue());
}

namespace {

void Fill(HDC dc, const RECT& r, Colour colour) {
  SetDCBrushColor(dc, ToColorRef(colour));
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

RECT ToRect(const PixelRect& r) { return {r.x, r.y, r.x + r.width, r.y + r.height}; }

// A single-line border takes an image's outermost pixel; the picture fills
// the rest.
int BorderInset(const Control& image) { return image.def().border_style == kBorderSingle ? 1 : 0; }

// The part of a control that nothing behind it shows through: all of an
// opaque label, all of a stretched picture with its border, the picture of
// an unstretched one as far as its rectangle goes; nothing of the rest.
RECT OpaqueRect(const Control& c, const DibPicture& picture) {
  RECT r = ToRect(c.Rect());
  if (c.Kind() == ControlKind::kLabel) return c.Transparent() ? RECT{} : r;
  if (!picture) return {};
  if (IsTrue(c.def().stretch)) return r;
  const int inset = BorderInset(c);
  const RECT shown{r.left + inset, r.top + inset, r.left + inset + picture.Width(), r.top + inset + picture.Height()};
  RECT out;
  const RECT inner{r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
  return IntersectRect(&out, &shown, &inner) ? out : RECT{};
}

struct Layer {
  NativeControl* control;  // null: the window's colour, or its background picture
  RECT opaque;
  DibPicture* picture;     // what it draws, if a picture
  RECT extent;             // as far as it draws
};

// Back to front.
std::vector<Layer> Layers(NativeWindow& w) {
  std::vector<Layer> layers;
  RECT client;
  GetClientRect(w.hwnd, &client);
  layers.push_back({nullptr, client, nullptr, client});
  const RECT picture{0, 0, w.background.Width(), w.background.Height()};
  if (w.background) layers.push_back({nullptr, picture, &w.background, picture});
  for (auto it = w.controls.rbegin(); it != w.controls.rend(); ++it) {
    NativeControl& c = **it;
    const ControlKind kind = c.control->Kind();
    if ((kind != ControlKind::kImage && kind != ControlKind::kLabel) || !IsTrue(c.control->Visible())) continue;
    const bool image = kind == ControlKind::kImage && c.picture;
    layers.push_back({&c, OpaqueRect(*c.control, c.picture), image ? &c.picture : nullptr, ToRect(c.control->Rect())});
  }
  return layers;
}

}  // namespace

void Win32Backend::Paint(NativeWindow& w, HDC dc, const RECT& area) {
  if (area.right <= area.left || area.bottom <= area.top) return;
  std::vector<Layer> layers = Layers(w);
  // A picture that a layer in front hides whole is not kept decoded: the
  // welcome screen's background bitmap, decoded at Load only to refuse a
  // corrupt one, lies under its full-screen picture.
  for (std::size_t i = 0; i < layers.size(); ++i)
    if (layers[i].picture && layers[i].picture->Held())
      for (std::size_t j = i + 1; j < layers.size(); ++j)
        if (Covers(layers[j].opaque, layers[i].extent)) layers[i].picture->Release();
  std::size_t first = 0;
  for (std::size_t i = 0; i < layers.size(); ++i)
    if (Covers(layers[i].opaque, area)) first = i;

  for (std::size_t i = first; i < layers.size(); ++i) {
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    for (std::size_t j = i + 1; j < layers.size(); ++j) {
      const RECT& o = layers[j].opaque;
      if (o.right > o.left && o.bottom > o.top) ExcludeClipRect(dc, o.left, o.top, o.right, o.bottom);
    }
    RECT visible;
    if (GetClipBox(dc, &visible) != NULLREGION) {
      if (NativeControl* c = layers[i].control) {
        if (c->control->Kind() == ControlKind::kImage) PaintPicture(dc, *c);
        else PaintLabel(dc, *c->control);
      } else if (i == 0) {
        Fill(dc, area, w.form.BackColour());
      } else {
        w.background.Draw(dc, 0, 0, w.background.Width(), w.background.Height());
      }
    }
    RestoreDC(dc, saved);
  }
}

void Win32Backend::PaintClient(NativeWindow& w, HDC dc) {
  RECT client;
  GetClientRect(w.hwnd, &client);
  Paint(w, dc, client);
}

// The label windows show parts of this painting: they are repainted with it.
void Win32Backend::Repaint(NativeWindow& w) {
  // A hidden window is painted whole when it is shown.
  if (!IsWindowVisible(w.hwnd)) return;
  RedrawWindow(w.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Win32Backend::PaintPicture(HDC dc, NativeControl& c) {
  const Control& image = *c.control;
  const RECT r = ToRect(image.Rect());
  if (r.right <= r.left || r.bottom <= r.top) return;
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  const int inset = BorderInset(image);
  const int width = r.right - r.left - 2 * inset, height = r.bottom - r.top - 2 * inset;
  if (c.picture && width > 0 && height > 0) {
    const bool stretch = IsTrue(image.def().stretch);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left + inset, r.top + inset, r.right - inset, r.bottom - inset);
    c.picture.Draw(dc, r.left + inset, r.top + inset, stretch ? width : c.picture.Width(),
                   stretch ? height : c.picture.Height());
    RestoreDC(dc, saved);
  }
  if (inset) FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void Win32Backend::PaintLabel(HDC dc, const Control& label) {
  const RECT r = ToRect(label.Rect());
  if (r.right <= r.left || r.bottom <= r.top) return;
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  if (!label.Transparent()) Fill(dc, r, label.BackColour());
  SelectObject(dc, fonts_.Font(label.Font()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ToColorRef(label.ForeColour()));
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  int y = r.top;
  for (std::string_view line : label.Lines()) {
    if (y >= r.bottom) break;
    const std::wstring text = Widen1252(line);
    ExtTextOutW(dc, r.left, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    y += label.LineHeight();
  }
}

}  // namespace rt::win32
