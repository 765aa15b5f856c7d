// The Win32 backend: native windows built from the core's state, GDI
// painting, native buttons, and a message loop that hands every keyboard
// decision to the core. All of the backend's state lives in one
// Win32Backend; each window's own state in a NativeWindow that hangs off the
// form's `native` slot and off the window's GWLP_USERDATA.
//
// Invariant: a NativeWindow exists exactly as long as its HWND; after the
// core destroys a window, no message reaches its state.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/backend.h"
#include "runtime/control.h"
#include "runtime/form.h"
#include "runtime/win32/fonts.h"
#include "runtime/win32/pictures.h"
#include "runtime/win32/safe_loading.h"
#include "runtime/win32/win32_api.h"

namespace rt::win32 {

class Win32Backend;

struct NativeControl {
  Control* control = nullptr;
  HWND button = nullptr;  // buttons only
  HWND label = nullptr;   // labels only: the text's window, drawn by the parent
  PixelRect placed;       // where the button's or label's window was last put
  // Puts `child` (the button or label) at the control's rectangle, if not there.
  void Place(HWND child, UINT flags);
  std::wstring tooltip;   // the tooltip control keeps a pointer into it
  DibPicture picture;     // images only
};

struct NativeWindow {
  NativeWindow(Win32Backend& b, Form& f) : backend(b), form(f) {}
  Win32Backend& backend;
  Form& form;
  HWND hwnd = nullptr;
  HWND tooltip = nullptr;
  HICON big_icon = nullptr;  // the backend's, shared by every window with that icon
  HICON small_icon = nullptr;
  std::vector<std::unique_ptr<NativeControl>> controls;  // in the form's order
  DibPicture background;
  bool placing = false;  // the backend itself moves the window: not a user move
  RECT placed{};         // where the backend last put it

  NativeControl* ForButton(HWND button) const;
  NativeControl* For(const Control& control) const;
};

// The window styles a form gets, from its definition alone.
struct WindowStyle {
  DWORD style = 0;
  DWORD ex_style = 0;
};
WindowStyle StyleOf(const Form& form);

class Win32Backend final : public Backend {
 public:
  explicit Win32Backend(HINSTANCE instance, DllSearch dll_search = DllSearch::kUnchanged);
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  void SetInputSink(InputSink& sink) override { sink_ = &sink; }
  InputSink* Sink() const { return sink_; }

  ScreenMetrics Screen() override;
  FrameInsets Frame(const Form& window) override;
  TextMeasurer& Text() override { return fonts_; }
  bool KeepsPictures() const override { return true; }
  PixelOrder PictureOrder() const override { return PixelOrder::kBgra; }

  void CreateWindow(Form& window) override;
  void DestroyWindow(Form& window) override;
  void ShowWindow(Form& window, Form* owner, bool modal) override;
  void EnableWindow(Form& window, bool enabled) override;
  void MoveWindow(Form& window) override;
  void UpdateControl(Control& control) override;
  void SetFocus(Form& window, Control* button) override;
  void SetPointer(int pointer) override;

  void WaitEvents() override;
  void ProcessPendingEvents() override;

  Time Now() override;
  std::string ProgramFolder() override;
  char FolderSeparator() override { return '\\'; }
  std::int64_t DoubleClickMicros() override;
  Long StartProgram(std::string_view command_line, Long show_mode) override;
  // Whom an elevation prompt for a program started now belongs to.
  HWND PromptOwner() const;
  void ShowErrorMessage(std::string_view text) override;
  [[noreturn]] void Terminate(int status) override;

  // For the backend's own tests and tools.
  static HWND Handle(const Form& window);
  static HWND ButtonHandle(const Control& button);
  static NativeWindow* Native(const Form& window) { return static_cast<NativeWindow*>(window.native); }
  // The program's window that `hwnd` is or lies in, or null.
  NativeWindow* WindowOf(HWND hwnd) const;
  GdiFonts& Fonts() { return fonts_; }
  int Pointer() const { return pointer_; }
  // Handles one message as the loop does: keys to the core, the rest to
  // the windows.
  void Handle(const MSG& msg);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnMessage(NativeWindow& w, UINT message, WPARAM wparam, LPARAM lparam);

  // backend.cpp: construction, teardown, Terminate. screen.cpp: Screen,
  // Frame, Now, DoubleClickMicros, SetPointer. error_box.cpp:
  // ShowErrorMessage. program_folder.cpp, program_start.cpp. access.cpp:
  // what screen readers are told, asked through each window's WM_GETOBJECT.
  // windows.cpp
  ATOM WindowClass(HICON big, HICON small);
  void UnregisterWindowClasses();
  void DestroyAllWindows();
  RECT OuterRect(const Form& f);
  void PlaceWindow(NativeWindow& w);
  HICON Icon(PictureBytes ico, int size);
  void ChooseIcons(NativeWindow& w);
  void ReportMove(NativeWindow& w);
  void LetGoOfHidden(NativeWindow& front);
  // controls.cpp
  void LoadCommonControls();
  void CreateControls(NativeWindow& w);
  void UpdateButton(NativeWindow& w, NativeControl& c);
  void ApplyFocus(NativeWindow& w);
  void ShowDefaultLook(NativeWindow& w);
  void AddTooltip(NativeWindow& w, NativeControl& c);
  // labels.cpp
  void CreateLabel(NativeWindow& w, NativeControl& c);
  void UpdateLabel(NativeControl& c);
  void DrawLabel(NativeWindow& w, const DRAWITEMSTRUCT& item);
  static void SetReadingOrder(NativeWindow& w);
  // paint.cpp
  // `area` in client coordinates, which `target` must have too.
  void Paint(NativeWindow& w, HDC target, const RECT& area);
  void PaintClient(NativeWindow& w, HDC target);
  static void Repaint(NativeWindow& w);
  static void PaintPicture(HDC dc, NativeControl& c);
  void PaintLabel(HDC dc, const Control& label);
  // event_loop.cpp
  bool RouteKey(const MSG& msg);
  void NotePress(const MSG& msg);
  void ShowKeyboardCues(HWND root, WORD flags);

  HINSTANCE instance_;
  HMODULE common_controls_ = nullptr;  // comctl32, once a window with controls is built
  DllSearch dll_search_;               // what start-up narrowed, put back for the setups
  // The window class of each pair of icons the windows carry, the first
  // with none.
  struct IconClass {
    HICON big;
    HICON small;
    ATOM atom;
  };
  std::vector<IconClass> classes_;
  InputSink* sink_ = nullptr;
  GdiFonts fonts_;
  HCURSOR arrow_ = nullptr;
  HCURSOR wait_ = nullptr;
  int pointer_ = kPointerDefault;
  // The screen's size, read once until the display changes: it is asked at
  // every position conversion, and wine re-reads the display's settings for
  // each GetSystemMetrics.
  std::optional<ScreenMetrics> screen_;
  // Each icon made once from its file and size, and kept until the end:
  // under wine making one is some thirty requests to its server, and a
  // dialog is loaded again each time it is shown.
  struct IconKey {
    const std::uint8_t* file;
    int size;
    HICON icon;
  };
  std::vector<IconKey> icons_;
  // The frame of each window style asked for, until the system's metrics change.
  std::vector<std::pair<WindowStyle, FrameInsets>> frames_;
  // The last mouse press and where it went: a button clicks on release, and
  // the core judges the click by its press.
  HWND pressed_window_ = nullptr;
  Time pressed_at_{};
  std::vector<std::unique_ptr<NativeWindow>> windows_;  // destroyed with their HWND
};

COLORREF ToColorRef(Colour colour);

}  // namespace rt::win32
