// The Linux/X11 backend on FLTK 1.3. It holds every native window of the
// program and pushes raw input to the core; all window state stays in the
// core. A window's outer position is its frame's top left corner; the frame
// is the one the window manager gave it once mapped, before that the one a
// dialog gets (none under a bare X server). A maximized window is borderless
// and covers the whole screen (a window manager is also asked for full
// screen). A modal window is a dialog, transient for its owner or for the
// newest other window; a blocked window drops clicks itself, and the core
// drops them anyway, and hands the keyboard and its keys to the top modal
// window.
#pragma once

#include <FL/Fl_RGB_Image.H>

#include <memory>
#include <optional>
#include <vector>

#include "runtime/backend.h"
#include "runtime/fltk/display.h"
#include "runtime/fltk/fonts.h"

class Fl_Widget;
class Fl_Window;

namespace rt::fltk {

class Access;
class FormWindow;

class FltkBackend final : public Backend {
 public:
  FltkBackend();
  ~FltkBackend() override;
  FltkBackend(const FltkBackend&) = delete;
  FltkBackend& operator=(const FltkBackend&) = delete;

  InputSink& Sink();
  // The window's new client position after a move by the user (or the
  // window manager's own placement, which is not reported on).
  void WindowMoved(FormWindow& window, int client_x, int client_y);
  // The shown window that takes input while others are blocked.
  FormWindow* TopModal() const;
  // The keyboard went to a blocked window: over to the top modal one.
  void HandKeyboardOn(FormWindow& blocked);
  const Fl_RGB_Image& StandardIcon();
  int Pointer() const { return pointer_; }
  // Windows created and not yet destroyed, oldest first.
  const std::vector<FormWindow*>& Windows() const { return windows_; }
  Fonts& FontSet() { return fonts_; }
  // The monitor the program's windows belong to: the full-screen ones cover
  // it, the others stand at their places from its top left corner.
  const Monitor& ProgramScreen() const { return monitor_; }

  // Backend.
  void SetInputSink(InputSink& sink) override { sink_ = &sink; }
  ScreenMetrics Screen() override;
  FrameInsets Frame(const Form& window) override;
  TextMeasurer& Text() override { return fonts_; }
  void CreateWindow(Form& window) override;
  // Each window holds its pictures until they are on the X server.
  bool KeepsPictures() const override { return true; }
  void DestroyWindow(Form& window) override;
  void ShowWindow(Form& window, Form* owner, bool modal) override;
  void EnableWindow(Form& window, bool enabled) override;
  void MoveWindow(Form& window) override;
  void UpdateControl(Control& control) override;
  void SetFocus(Form& window, Control* button) override;
  void SetPointer(int pointer) override;
  void WaitEvents() override;
  void ProcessPendingEvents() override;
  Time Now() override { return SteadyNow(); }
  std::string ProgramFolder() override;
  char FolderSeparator() override { return '/'; }
  std::int64_t DoubleClickMicros() override;
  Long StartProgram(std::string_view command_line, Long show_mode) override;
  void ShowErrorMessage(std::string_view text) override;
  [[noreturn]] void Terminate(int status) override;

 private:
  // backend.cpp
  FormWindow* Find(const Form& form) const;
  void CloseAll();
  // access.cpp: the one way changes reach screen readers. The module is
  // loaded when the first window is shown, so that start-up does not wait
  // for it.
  enum class Change { kChanged, kShown, kKeyboardBack, kDestroyed };
  void Tell(FormWindow& window, Change change);
  // The standard error box, which is no Form, up; or, with nulls, gone.
  void TellAlert(Fl_Window* box, const char* text, const Fl_Widget* label, Fl_Widget* ok);
  void ForgetAccess();
  // Elsewhere, each concern in its own file: screen.cpp (Screen, Frame,
  // DoubleClickMicros), event_loop.cpp (WaitEvents, ProcessPendingEvents),
  // error_box.cpp (ShowErrorMessage), windows.cpp (FormWindow), controls.cpp,
  // pictures.cpp, fonts.cpp, encoding.cpp, keys.cpp, wm.cpp (the window
  // manager), program_folder.cpp, program_start.cpp.

  InputSink* sink_ = nullptr;
  // Read once the display is open, before the fonts are measured; a layout
  // changed while the launcher runs is not followed.
  Dpi dpi_;
  Monitor monitor_;
  Fonts fonts_;
  std::vector<FormWindow*> windows_;
  std::optional<FrameInsets> frame_;  // a dialog's under this window manager, once known
  std::unique_ptr<Fl_RGB_Image> standard_icon_;
  std::vector<unsigned char> standard_icon_pixels_;
  int pointer_ = kPointerDefault;
  // Screen readers: loaded once the first window is on the screen.
  std::unique_ptr<Access> access_;
  bool access_tried_ = false;
};

// Whether an EWMH window manager runs (none on a bare X server).
bool WindowManagerPresent();

// Twips per pixel of a DPI.
Single TwipsPerPixel(double dpi);

}  // namespace rt::fltk
