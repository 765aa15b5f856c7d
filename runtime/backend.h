// The seam between the portable runtime and a platform. The core owns every
// window's state and calls out through this interface; a backend pushes typed
// input (clicks, keys, close requests, moves) back through InputSink. Backend
// state lives in the backend object; a window's or control's native object
// hangs off its `native` slot.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/clock.h"
#include "runtime/picture.h"
#include "runtime/types.h"

namespace rt {

class Control;
class Form;
class TextMeasurer;

// A twip is 1/20 of a point: positions and sizes are kept in twips, and a
// screen's DPI says how many of them make one pixel.
inline constexpr double kTwipsPerInch = 1440.0;

struct ScreenMetrics {
  int width_px = 0;
  int height_px = 0;
  Single twips_per_pixel_x = 15;
  Single twips_per_pixel_y = 15;
};

// Pixels the backend's frame adds around a window's client area.
struct FrameInsets {
  int left = 0, top = 0, right = 0, bottom = 0;
};

enum class Key : std::uint8_t { kEnter, kEscape, kTab, kBackTab, kSpace, kChar };

struct KeyInput {
  Key key = Key::kChar;
  char ch = 0;  // for kChar: the character as typed (Windows-1252)
  bool alt = false;
};

// Implemented by the core. Input for a window that is not loaded, not shown,
// or blocked by a modal window is dropped there, not in the backend.
class InputSink {
 public:
  virtual ~InputSink() = default;
  // A mouse click on a button; `pressed` is when its button went down, on
  // the backend's clock.
  virtual void OnClick(Control& button, Time pressed) = 0;
  virtual void OnKey(Form& window, KeyInput key) = 0;
  virtual void OnCloseRequest(Form& window) = 0;
  // The user moved the window; the outer frame's top left corner in pixels.
  virtual void OnMoved(Form& window, int left_px, int top_px) = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;

  virtual void SetInputSink(InputSink& sink) = 0;

  // Screen.
  virtual ScreenMetrics Screen() = 0;
  virtual FrameInsets Frame(const Form& window) = 0;
  virtual TextMeasurer& Text() = 0;

  // Windows, built from the core's state. CreateWindow makes the window and
  // all its controls, hidden; later changes arrive one by one.
  virtual void CreateWindow(Form& window) = 0;
  // Whether CreateWindow keeps its own hold on the window's decoded pictures
  // (the shared ones), so that the core lets go of them once it has returned.
  virtual bool KeepsPictures() const { return false; }
  // The byte order the backend draws decoded pictures from.
  virtual PixelOrder PictureOrder() const { return PixelOrder::kRgba; }
  // May be called from inside a click on one of the window's own buttons:
  // nothing of the window may be used after the callback returns.
  virtual void DestroyWindow(Form& window) = 0;
  virtual void ShowWindow(Form& window, Form* owner, bool modal) = 0;
  virtual void EnableWindow(Form& window, bool enabled) = 0;
  virtual void MoveWindow(Form& window) = 0;
  virtual void UpdateControl(Control& control) = 0;
  virtual void SetFocus(Form& window, Control* button) = 0;
  virtual void SetPointer(int pointer) = 0;

  // Event loop. WaitEvents blocks until at least one event was handled;
  // ProcessPendingEvents handles what is queued and may wait a few
  // milliseconds for an event when nothing is, so busy loops do not spin.
  virtual void WaitEvents() = 0;
  virtual void ProcessPendingEvents() = 0;

  // Services.
  virtual Time Now() = 0;
  // Ends in the platform's separator only at the root of a volume.
  virtual std::string ProgramFolder() = 0;
  virtual char FolderSeparator() = 0;
  // The system's double-click time, in microseconds of Now()'s clock.
  virtual std::int64_t DoubleClickMicros() = 0;
  // Starts the program of a Windows-style ANSI command line without waiting.
  virtual Long StartProgram(std::string_view command_line, Long show_mode) = 0;
  // One modal message box with the runtime's standard error text.
  virtual void ShowErrorMessage(std::string_view text) = 0;
  [[noreturn]] virtual void Terminate(int status) = 0;
};

}  // namespace rt
