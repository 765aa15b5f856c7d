// Top-level windows: the window class and procedure, creation from a form's
// state, placement, icons, showing, enabling, and destruction.
//
// Dialogs get a fixed frame with caption and close button, their client
// area exactly the definition's. Maximized forms (the welcome and closing
// screens) are borderless popups covering the primary monitor, so their
// client area is the screen the logic lays them out on; a maximized
// captioned window would lose the caption's and the taskbar's height and put
// the closing screen's button under the taskbar.
#include <algorithm>
#include <string>

#include "runtime/error.h"
#include "runtime/win32/access.h"
#include "runtime/win32/backend.h"
#include "runtime/win32/encoding.h"

namespace rt::win32 {

namespace {

constexpr wchar_t kClassName[] = L"MirelundRuntimeWindow";

}  // namespace

WindowStyle StyleOf(const Form& form) {
  if (form.Maximized()) return {WS_POPUP | WS_CLIPCHILDREN, 0};
  WindowStyle s{WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0};
  // Without an icon of its own, a dialog frame shows none in the caption.
  if (form.IconKindOf() == IconKind::kNone) s.ex_style |= WS_EX_DLGMODALFRAME;
  return s;
}

NativeControl* NativeWindow::ForButton(HWND button) const {
  for (const auto& c : controls)
    if (c->button == button) return c.get();
  return nullptr;
}

NativeControl* NativeWindow::For(const Control& control) const {
  for (const auto& c : controls)
    if (c->control == &control) return c.get();
  return nullptr;
}

void Win32Backend::DestroyAllWindows() {
  while (!windows_.empty()) {
    std::unique_ptr<NativeWindow> w = std::move(windows_.back());
    windows_.pop_back();
    w->form.native = nullptr;
    if (w->hwnd) ::DestroyWindow(w->hwnd);
  }
}

// After the windows: the classes' icons are theirs.
void Win32Backend::UnregisterWindowClasses() {
  for (const IconClass& c : classes_) UnregisterClassW(MAKEINTATOM(c.atom), instance_);
  classes_.clear();
  for (const IconKey& k : icons_) DestroyIcon(k.icon);
  icons_.clear();
}

// A window's icons are its class's, not set by WM_SETICON: under wine each
// WM_SETICON makes the X window's icon anew from both icons, some thirty
// requests to its server, where the class's icons are taken once as the
// window is made. A window without icons has a class without them.
ATOM Win32Backend::WindowClass(HICON big, HICON small) {
  for (const IconClass& c : classes_)
    if (c.big == big && c.small == small) return c.atom;
  // std::to_wstring would link a whole printf (some 20 KB) into START.EXE.
  std::wstring name = kClassName;
  if (!classes_.empty())
    for (const char digit : std::to_string(classes_.size())) name += static_cast<wchar_t>(digit);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &Win32Backend::WindowProc;
  wc.hInstance = instance_;
  wc.hCursor = arrow_;
  wc.hIcon = big;
  wc.hIconSm = small;
  wc.lpszClassName = name.c_str();
  const ATOM atom = RegisterClassExW(&wc);
  if (atom) classes_.push_back({big, small, atom});
  return atom;
}

HWND Win32Backend::Handle(const Form& window) {
  const NativeWindow* w = Native(window);
  return w ? w->hwnd : nullptr;
}

HWND Win32Backend::ButtonHandle(const Control& button) {
  const auto* c = static_cast<const NativeControl*>(button.native);
  return c ? c->button : nullptr;
}

NativeWindow* Win32Backend::WindowOf(HWND hwnd) const {
  if (!hwnd) return nullptr;
  HWND root = GetAncestor(hwnd, GA_ROOT);
  if (!root) return nullptr;
  const auto atom = static_cast<ATOM>(GetClassLongPtrW(root, GCW_ATOM));
  if (std::none_of(classes_.begin(), classes_.end(), [&](const IconClass& c) { return c.atom == atom; }))
    return nullptr;
  auto* w = reinterpret_cast<NativeWindow*>(GetWindowLongPtrW(root, GWLP_USERDATA));
  for (const auto& p : windows_)
    if (p.get() == w) return w;
  return nullptr;
}

LRESULT CALLBACK Win32Backend::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* w = static_cast<NativeWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    w->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
  }
  auto* w = reinterpret_cast<NativeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!w) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    w->hwnd = nullptr;
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  return w->backend.OnMessage(*w, message, wparam, lparam);
}

// A handler that calls into the core returns at once after it: the core may
// have destroyed the window and `w` with it.
LRESULT Win32Backend::OnMessage(NativeWindow& w, UINT message, WPARAM wparam, LPARAM lparam) {
  const HWND hwnd = w.hwnd;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(w, dc, ps.rcPaint);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintClient(w, reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlType != ODT_STATIC) break;
      DrawLabel(w, *item);
      return TRUE;
    }
    case WM_GETOBJECT:
      if (const LRESULT r = AnswerGetObject(
              hwnd, w.form.Maximized() ? AccessibleKind::kWindow : AccessibleKind::kDialog, {}, wparam, lparam))
        return r;
      break;
    case WM_CTLCOLORBTN: {
      // The corners around a button show the window's colour.
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetDCBrushColor(dc, ToColorRef(w.form.BackColour()));
      return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED && lparam != 0) {
        const HWND button = reinterpret_cast<HWND>(lparam);
        NativeControl* c = w.ForButton(button);
        const Time pressed = button == pressed_window_ ? pressed_at_ : Now();
        pressed_window_ = nullptr;  // a handle may come back for a new button
        if (c && sink_) sink_->OnClick(*c->control, pressed);
        return 0;
      }
      break;
    case WM_CLOSE:
      // The core decides whether the window goes.
      if (sink_) sink_->OnCloseRequest(w.form);
      return 0;
    case WM_MOVE:
      ReportMove(w);
      return 0;
    case WM_SETCURSOR:
      if (pointer_ == kPointerHourglass) {
        SetCursor(wait_);
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) {
        ApplyFocus(w);
        return 0;
      }
      break;
    case WM_SETFOCUS:
      ApplyFocus(w);
      return 0;
    case WM_GETICON:
      return reinterpret_cast<LRESULT>(wparam == ICON_BIG ? w.big_icon : w.small_icon);
    case WM_DISPLAYCHANGE:
      screen_.reset();
      frames_.clear();
      break;
    case WM_SETTINGCHANGE:
      frames_.clear();  // the frame's metrics may have changed
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

void Win32Backend::CreateWindow(Form& window) {
  windows_.push_back(std::make_unique<NativeWindow>(*this, window));
  NativeWindow& w = *windows_.back();
  window.native = &w;
  const WindowStyle s = StyleOf(window);
  const std::wstring caption = Widen1252(window.Caption());
  // Made where it belongs: under wine each later move of a top-level window
  // is some thirty requests to its server.
  const RECT r = OuterRect(window);
  ChooseIcons(w);
  const ATOM window_class = WindowClass(w.big_icon, w.small_icon);
  w.placing = true;
  HWND hwnd = CreateWindowExW(s.ex_style, MAKEINTATOM(window_class), caption.c_str(), s.style, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, nullptr, nullptr, instance_, &w);
  w.placing = false;
  if (!hwnd) {
    window.native = nullptr;
    windows_.pop_back();
    Raise(ErrorNumber::kOutOfMemory, "window");
  }
  w.placed = r;
  w.background = DibPicture(window.SharedBackgroundPicture(), window.def().picture);
  CreateControls(w);
  PlaceWindow(w);  // in case wine would not make it as large as asked
}

RECT Win32Backend::OuterRect(const Form& f) {
  if (f.Maximized()) {
    const ScreenMetrics s = Screen();
    return {0, 0, s.width_px, s.height_px};
  }
  const FrameInsets in = Frame(f);
  return {f.LeftPx(), f.TopPx(), f.LeftPx() + in.left + f.ClientWidthPx() + in.right,
          f.TopPx() + in.top + f.ClientHeightPx() + in.bottom};
}

// Under wine every move of a window is a round of requests to its server:
// one that would not change the window is not made.
void Win32Backend::PlaceWindow(NativeWindow& w) {
  const RECT r = OuterRect(w.form);
  if (EqualRect(&r, &w.placed)) return;
  // Without SWP_NOSIZE wine asks its display settings for the window's
  // limits even when the size stays.
  const bool same_size = r.right - r.left == w.placed.right - w.placed.left &&
                         r.bottom - r.top == w.placed.bottom - w.placed.top;
  w.placed = r;
  w.placing = true;
  SetWindowPos(w.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE | (same_size ? SWP_NOSIZE : 0));
  w.placing = false;
}

void Win32Backend::ChooseIcons(NativeWindow& w) {
  const Form& f = w.form;
  if (f.IconKindOf() == IconKind::kNone) return;
  const int big = GetSystemMetrics(SM_CXICON), little = GetSystemMetrics(SM_CXSMICON);
  if (f.IconKindOf() == IconKind::kPicture) {
    w.big_icon = Icon(f.def().icon.picture, big);
    w.small_icon = Icon(f.def().icon.picture, little);
  }
  if (!w.big_icon || !w.small_icon) {
    w.big_icon = static_cast<HICON>(LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, big, big, LR_SHARED));
    w.small_icon = static_cast<HICON>(LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, little, little, LR_SHARED));
  }
}

HICON Win32Backend::Icon(PictureBytes ico, int size) {
  for (const IconKey& k : icons_)
    if (k.file == ico.data() && k.size == size) return k.icon;
  const HICON icon = IconFromIcoFile(ico, size);
  if (icon) icons_.push_back({ico.data(), size, icon});
  return icon;
}

void Win32Backend::ReportMove(NativeWindow& w) {
  if (w.placing || w.form.Maximized() || !sink_) return;
  RECT r;
  if (!GetWindowRect(w.hwnd, &r)) return;
  if (r.left != w.form.LeftPx() || r.top != w.form.TopPx()) sink_->OnMoved(w.form, r.left, r.top);
}

void Win32Backend::DestroyWindow(Form& window) {
  NativeWindow* w = Native(window);
  if (!w) return;
  window.native = nullptr;
  for (const auto& c : window.Controls()) c->native = nullptr;
  const auto it = std::find_if(windows_.begin(), windows_.end(), [&](const auto& p) { return p.get() == w; });
  if (it == windows_.end()) return;
  // Kept alive until the HWND is gone: destroying sends it messages.
  std::unique_ptr<NativeWindow> owned = std::move(*it);
  windows_.erase(it);
  if (owned->hwnd) ::DestroyWindow(owned->hwnd);
}

void Win32Backend::ShowWindow(Form& window, Form* owner, bool modal) {
  (void)modal;  // the core disables the other windows itself
  NativeWindow* w = Native(window);
  if (!w) return;
  if (owner && owner != &window && Native(*owner))
    SetWindowLongPtrW(w->hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Native(*owner)->hwnd));
  LetGoOfHidden(*w);
  ::ShowWindow(w->hwnd, SW_SHOW);
  SetForegroundWindow(w->hwnd);
  UpdateWindow(w->hwnd);
  ShowDefaultLook(*w);
  ApplyFocus(*w);
}

// The pictures of our windows that `front`, about to come in front of
// them, hides whole: they are decoded again if ever painted. Under wine the
// closing screen's window surface comes while the welcome screen still lives.
void Win32Backend::LetGoOfHidden(NativeWindow& front) {
  RECT f;
  if (!GetWindowRect(front.hwnd, &f)) return;
  const bool topmost = GetWindowLongW(front.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST;
  for (const auto& o : windows_) {
    if (o.get() == &front || !IsWindowVisible(o->hwnd) || GetWindow(o->hwnd, GW_OWNER) == front.hwnd) continue;
    if (!topmost && (GetWindowLongW(o->hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST)) continue;
    RECT r;
    if (!GetWindowRect(o->hwnd, &r) || !Covers(f, r)) continue;
    o->background.Release();
    for (const auto& c : o->controls) c->picture.Release();
  }
}

void Win32Backend::EnableWindow(Form& window, bool enabled) {
  if (NativeWindow* w = Native(window)) ::EnableWindow(w->hwnd, enabled ? TRUE : FALSE);
}

void Win32Backend::MoveWindow(Form& window) {
  NativeWindow* w = Native(window);
  if (w && !window.Maximized()) PlaceWindow(*w);
}

}  // namespace rt::win32
