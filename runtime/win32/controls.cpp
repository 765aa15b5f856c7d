// Native buttons and their tooltips, the keyboard focus among them, and the
// changes of a control's state the core hands on one by one. Labels have
// windows too (labels.cpp); pictures are only painted, so accessibility
// clients pass over them as decoration.
//
// The default push-button look follows the focus, as in dialogs: the
// focused button is the one Enter presses, so it wears the thick border;
// without a focused button the definition's default wears it.
#include <algorithm>
#include <type_traits>

#include "runtime/win32/access.h"
#include "runtime/win32/backend.h"
#include "runtime/win32/encoding.h"
#include "runtime/win32/safe_loading.h"

namespace rt::win32 {

namespace {

bool IsDefaultLook(HWND button) {
  return (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// The procedure of the BUTTON class, which ours hands every message on to.
WNDPROC g_button_base = nullptr;

// A button's accessible object carries its tooltip, found through the
// button's window. Ours stands in front of the class's procedure directly:
// comctl32's subclassing would read its data as a window property at every
// message, under wine a request to its server each time.
LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_GETOBJECT) {
    auto* w = reinterpret_cast<NativeWindow*>(GetWindowLongPtrW(GetParent(hwnd), GWLP_USERDATA));
    if (const NativeControl* c = w ? w->ForButton(hwnd) : nullptr)
      if (const LRESULT r = AnswerGetObject(hwnd, AccessibleKind::kButton, c->tooltip, wparam, lparam)) return r;
  }
  return CallWindowProcW(g_button_base, hwnd, message, wparam, lparam);
}

}  // namespace

// The common controls come with the first window that has any: the welcome
// screen, which has none, is drawn before their library has started (under
// wine some twenty milliseconds of registering classes). XP creates no
// control of version 6, nor a message box, before the library is loaded.
void Win32Backend::LoadCommonControls() {
  if (common_controls_) return;
  common_controls_ = LoadCommonControlsLibrary();
  using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  static_assert(std::is_same_v<decltype(&::InitCommonControlsEx), InitCommonControlsExFn>);
  if (const auto init = Lookup<InitCommonControlsExFn>(common_controls_, "InitCommonControlsEx")) {
    const INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    init(&icc);
  }
}

// Each new child window goes behind its siblings, so the buttons are made
// first, in the form's order (the earlier lies in front), and then the
// labels, behind every button as their painting is: the stacking comes out
// right without a move of any window, each of which wine asks its server for.
void Win32Backend::CreateControls(NativeWindow& w) {
  for (const auto& owned : w.form.Controls()) {
    auto nc = std::make_unique<NativeControl>();
    nc->control = owned.get();
    owned->native = nc.get();
    w.controls.push_back(std::move(nc));
  }
  if (std::any_of(w.controls.begin(), w.controls.end(),
                  [](const auto& nc) { return nc->control->Kind() != ControlKind::kImage; }))
    LoadCommonControls();
  for (const auto& nc : w.controls) {
    Control& c = *nc->control;
    if (!c.IsButton()) continue;
    const PixelRect& r = c.Rect();
    const DWORD style = WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS | (IsTrue(c.Visible()) ? WS_VISIBLE : 0) |
                        (IsTrue(c.def().is_default) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    const std::wstring caption = Widen1252(c.Caption());
    nc->button = CreateWindowExW(0, L"BUTTON", caption.c_str(), style, r.x, r.y, r.width, r.height, w.hwnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c.Id())), instance_, nullptr);
    nc->placed = r;
    if (!nc->button) continue;
    SendMessageW(nc->button, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Font(c.Font())), FALSE);
    // Ours goes first, so that the tooltip's subclassing stands in front
    // of it and sees the mouse.
    const auto base = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(nc->button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonProc)));
    if (!g_button_base) g_button_base = base;
    if (!c.def().tooltip.empty()) AddTooltip(w, *nc);
  }
  for (const auto& nc : w.controls) {
    if (nc->control->Kind() == ControlKind::kLabel) {
      CreateLabel(w, *nc);
    } else {
      // The core lets go of its hold.
      nc->picture = DibPicture(nc->control->SharedPicture(), nc->control->def().picture);
    }
  }
  SetReadingOrder(w);
}

// Under wine each move is a round of requests to its server: one that
// would not change the window is not made.
void NativeControl::Place(HWND child, UINT flags) {
  const PixelRect& r = control->Rect();
  if (r.x == placed.x && r.y == placed.y && r.width == placed.width && r.height == placed.height) return;
  placed = r;
  SetWindowPos(child, nullptr, r.x, r.y, r.width, r.height, flags);
}

void Win32Backend::AddTooltip(NativeWindow& w, NativeControl& c) {
  if (!w.tooltip) {
    w.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, w.hwnd, nullptr,
                                instance_, nullptr);
    if (!w.tooltip) return;
  }
  c.tooltip = Widen1252(c.control->def().tooltip);
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = w.hwnd;
  ti.uId = reinterpret_cast<UINT_PTR>(c.button);
  ti.lpszText = c.tooltip.data();
  SendMessageW(w.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Win32Backend::UpdateControl(Control& control) {
  auto* c = static_cast<NativeControl*>(control.native);
  NativeWindow* w = Native(control.Parent());
  if (!c || !w) return;
  if (c->button) {
    UpdateButton(*w, *c);
    return;
  }
  // Labels and pictures are painted by the window.
  if (c->label) UpdateLabel(*c);
  Repaint(*w);
}

void Win32Backend::UpdateButton(NativeWindow& w, NativeControl& c) {
  const Control& b = *c.control;
  c.Place(c.button, SWP_NOZORDER | SWP_NOACTIVATE);
  const std::wstring caption = Widen1252(b.Caption());
  wchar_t current[256] = {};
  GetWindowTextW(c.button, current, 256);
  if (caption != current) SetWindowTextW(c.button, caption.c_str());
  // The button's own flag: IsWindowVisible is false for all of a hidden window.
  const bool visible = IsTrue(b.Visible());
  const bool shown = (GetWindowLongW(c.button, GWL_STYLE) & WS_VISIBLE) != 0;
  if (visible != shown) ::ShowWindow(c.button, visible ? SW_SHOWNA : SW_HIDE);
  ShowDefaultLook(w);
}

void Win32Backend::SetFocus(Form& window, Control* button) {
  (void)button;  // the core's Focused() is the one truth
  NativeWindow* w = Native(window);
  if (!w) return;
  ShowDefaultLook(*w);
  ApplyFocus(*w);
}

// Only an active window's focus can be set; one that is not active yet
// takes it when it is activated (WM_ACTIVATE).
void Win32Backend::ApplyFocus(NativeWindow& w) {
  if (!IsWindowVisible(w.hwnd) || !IsWindowEnabled(w.hwnd) || GetActiveWindow() != w.hwnd) return;
  HWND target = w.hwnd;
  if (Control* focused = w.form.Focused())
    if (NativeControl* c = w.For(*focused); c && c->button && IsWindowVisible(c->button)) target = c->button;
  if (GetFocus() != target) ::SetFocus(target);
}

void Win32Backend::ShowDefaultLook(NativeWindow& w) {
  const Control* focused = w.form.Focused();
  for (const auto& c : w.controls) {
    if (!c->button) continue;
    const bool want = focused ? c->control == focused : IsTrue(c->control->def().is_default);
    if (want != IsDefaultLook(c->button))
      SendMessageW(c->button, BM_SETSTYLE, want ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

}  // namespace rt::win32
