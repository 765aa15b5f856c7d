// Painting a window's client area off screen, back to front: the window's
// colour, its background picture at its own size from the top left, then the
// labels and pictures from the last listed to the first, so that the control
// listed earlier lies in front. Buttons are child windows and lie in front of
// all of it; the labels' own windows show their part of this painting.
#include "runtime/win32/encoding.h"
#include "runtime/win32/win32_backend.h"

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

}  // namespace

bool Win32Backend::Compose(NativeWindow& w) {
  RECT client;
  GetClientRect(w.hwnd, &client);
  if (client.right <= 0 || client.bottom <= 0) return false;
  if (w.buffer.Width() != client.right || w.buffer.Height() != client.bottom)
    w.buffer = Bitmap::Surface(client.right, client.bottom);
  if (!w.buffer) return false;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, w.buffer.Handle());

  Fill(dc, client, w.form.BackColour());
  w.background.Draw(dc, 0, 0);
  for (auto it = w.controls.rbegin(); it != w.controls.rend(); ++it) {
    NativeControl& c = **it;
    if (!IsTrue(c.control->Visible())) continue;
    if (c.control->Kind() == ControlKind::kImage) PaintPicture(dc, c);
    else if (c.control->Kind() == ControlKind::kLabel) PaintLabel(dc, *c.control);
  }

  GdiFlush();
  SelectObject(dc, old);
  DeleteDC(dc);
  return true;
}

void Win32Backend::Paint(NativeWindow& w, HDC target) {
  if (!Compose(w)) return;
  HDC dc = CreateCompatibleDC(target);
  HGDIOBJ old = SelectObject(dc, w.buffer.Handle());
  BitBlt(target, 0, 0, w.buffer.Width(), w.buffer.Height(), dc, 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
}

// The label windows show parts of this painting: they are repainted with it.
void Win32Backend::Repaint(NativeWindow& w) {
  RedrawWindow(w.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Win32Backend::PaintPicture(HDC dc, NativeControl& c) {
  const Control& image = *c.control;
  const RECT r = ToRect(image.Rect());
  if (r.right <= r.left || r.bottom <= r.top) return;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  // A single-line border takes the outermost pixel; the picture fills the rest.
  const int inset = image.def().border_style == kBorderSingle ? 1 : 0;
  const int width = r.right - r.left - 2 * inset, height = r.bottom - r.top - 2 * inset;
  if (const Image* picture = image.Picture(); picture && width > 0 && height > 0) {
    const bool stretch = IsTrue(image.def().stretch);
    const Bitmap& b =
        c.picture.At(*picture, stretch ? width : picture->width, stretch ? height : picture->height);
    IntersectClipRect(dc, r.left + inset, r.top + inset, r.right - inset, r.bottom - inset);
    b.Draw(dc, r.left + inset, r.top + inset);
    SelectClipRgn(dc, nullptr);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  if (inset) FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  RestoreDC(dc, saved);
}

void Win32Backend::PaintLabel(HDC dc, const Control& label) {
  const RECT r = ToRect(label.Rect());
  if (r.right <= r.left || r.bottom <= r.top) return;
  const int saved = SaveDC(dc);
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
  RestoreDC(dc, saved);
}

}  // namespace rt::win32
