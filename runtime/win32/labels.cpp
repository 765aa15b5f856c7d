// Labels as native child windows, so that a screen reader finds a dialog's
// texts: an owner-drawn STATIC whose window text is the whole caption. It
// draws nothing of its own: it shows its part of the parent's painting, in
// which the line breaker's lines lie over the window's colour and pictures,
// so the screen shows exactly what the window paints without it. Buttons lie
// in front of the labels' windows, as they lie in front of their painting.
#include "runtime/reading_order.h"
#include "runtime/win32/access.h"
#include "runtime/win32/backend.h"
#include "runtime/win32/encoding.h"

namespace rt::win32 {

namespace {

// The procedure of the STATIC class, behind ours (as for buttons: no
// comctl32 subclassing, which costs a request to wine's server a message).
WNDPROC g_static_base = nullptr;

LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the owner's drawing covers every pixel
    case WM_GETOBJECT:
      if (const LRESULT r = AnswerGetObject(hwnd, AccessibleKind::kLabel, {}, wparam, lparam)) return r;
      break;
    default:
      break;
  }
  return CallWindowProcW(g_static_base, hwnd, message, wparam, lparam);
}

}  // namespace

void Win32Backend::CreateLabel(NativeWindow& w, NativeControl& c) {
  const Control& label = *c.control;
  const PixelRect& r = label.Rect();
  // SS_NOPREFIX: an "&" is a character of the text, as the line breaker draws it.
  const DWORD style = WS_CHILD | SS_OWNERDRAW | SS_NOPREFIX | (IsTrue(label.Visible()) ? WS_VISIBLE : 0);
  const std::wstring text = Widen1252(label.Caption());
  c.label = CreateWindowExW(0, L"STATIC", text.c_str(), style, r.x, r.y, r.width, r.height, w.hwnd,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(label.Id())), instance_, nullptr);
  c.placed = r;
  if (!c.label) return;
  const auto base =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(c.label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LabelProc)));
  if (!g_static_base) g_static_base = base;
}

void Win32Backend::UpdateLabel(NativeControl& c) {
  const Control& label = *c.control;
  c.Place(c.label, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  const std::wstring text = Widen1252(label.Caption());
  if (WindowText(c.label) != text) SetWindowTextW(c.label, text.c_str());
  const bool visible = IsTrue(label.Visible());
  if (visible != ((GetWindowLongW(c.label, GWL_STYLE) & WS_VISIBLE) != 0))
    ::ShowWindow(c.label, visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Backend::DrawLabel(NativeWindow& w, const DRAWITEMSTRUCT& item) {
  POINT origin{0, 0};
  MapWindowPoints(item.hwndItem, w.hwnd, &origin, 1);
  RECT area = item.rcItem;
  OffsetRect(&area, origin.x, origin.y);
  // The label's DC in the window's client coordinates.
  POINT old;
  SetViewportOrgEx(item.hDC, -origin.x, -origin.y, &old);
  Paint(w, item.hDC, area);
  SetViewportOrgEx(item.hDC, old.x, old.y, nullptr);
}

// Labels before buttons, each in TabIndex order: the question, then the
// answers. The windows' stacking stays as it is.
void Win32Backend::SetReadingOrder(NativeWindow& w) {
  for (const auto& c : w.controls) {
    const HWND own = c->label ? c->label : c->button;
    if (!own) continue;
    int rank = 0;
    for (const auto& other : w.controls)
      if ((other->label || other->button) && ReadsBefore(*other->control, *c->control)) ++rank;
    SetReadingRank(own, rank);
  }
}

}  // namespace rt::win32
