// A window class's default instance. The object lives as long as the runtime
// and keeps its members across unloads; loading builds the window and its
// controls afresh from the definition, and reading or setting a property of
// an unloaded window loads it first.
//
// Invariant: a modal Show returns only once the window is unloaded and the
// handler that unloaded it has run to its end.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/backend.h"
#include "runtime/control.h"
#include "runtime/definition.h"
#include "runtime/types.h"

namespace rt {

class Runtime;
class ScreenObject;

class Form {
 public:
  Form(Runtime& runtime, const WindowDef& def);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const WindowDef& def() const { return def_; }
  std::string_view Name() const { return def_.name; }
  Runtime& runtime() const { return runtime_; }

  bool IsLoaded() const { return loaded_; }
  void Load();
  void Unload();
  // modal 1 shows modally; owner may be null.
  void Show(int modal = 0, Form* owner = nullptr);

  Boolean Visible() const { return ToBoolean(loaded_ && visible_); }
  void SetVisible(Boolean v);

  // The outer frame's position and size in twips.
  Single Left();
  Single Top();
  Single Width();
  Single Height();
  void SetLeft(Single v);
  void SetTop(Single v);

  Control& Ctl(std::uint8_t id);  // by definition id; loads the window
  Control* FindControl(std::string_view name);  // loaded controls only
  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }

  // What the backends draw.
  std::string_view Caption() const { return def_.caption; }
  bool Maximized() const { return def_.window_state == kWindowStateMaximized; }
  Colour BackColour() const { return def_.back_color.value_or(kSystemWindowColour); }
  const Image* BackgroundPicture() const { return background_.get(); }
  const std::shared_ptr<const Image>& SharedBackgroundPicture() const { return background_; }
  IconKind IconKindOf() const { return def_.icon.kind; }
  const Image* IconImage() const { return icon_.get(); }
  int ClientWidthPx() const { return client_width_px_; }
  int ClientHeightPx() const { return client_height_px_; }
  int LeftPx() const { return left_px_; }
  int TopPx() const { return top_px_; }
  Control* Focused() const { return focused_; }
  bool InLoadHandler() const { return in_load_handler_ > 0; }

  // The backend's own object for this window.
  void* native = nullptr;

 protected:
  virtual void Form_Load() {}
  // A button's Click event; handlers are chosen by control id.
  virtual void Click(std::uint8_t control_id) { (void)control_id; }

  ScreenObject& Screen();
  template <class F>
  F& Instance();

 private:
  friend class Runtime;
  friend class Control;

  void EnsureLoaded();
  void Moved(int left_px, int top_px);
  void ButtonVisibilityChanged(Control& button);
  // Keyboard: which visible button a key clicks, or null.
  Control* ButtonForKey(KeyInput key);
  void FocusFirst();
  void MoveFocus(int step);
  std::vector<Control*> TabOrder() const;
  // Mouse clicks and access keys move the focus; Enter and Escape do not.
  void DispatchClick(Control& button, bool take_focus);

  Runtime& runtime_;
  const WindowDef& def_;
  bool loaded_ = false;
  bool visible_ = false;
  bool created_ = false;  // the backend holds a native window
  int in_load_handler_ = 0;
  unsigned generation_ = 0;  // counts loads, so stale input is dropped
  Time shown_at_{};  // when it last went on the screen
  Single left_ = 0, top_ = 0;
  int left_px_ = 0, top_px_ = 0;
  int client_width_px_ = 0, client_height_px_ = 0;
  std::vector<std::unique_ptr<Control>> controls_;
  std::shared_ptr<const Image> background_;
  std::shared_ptr<const Image> icon_;
  Control* focused_ = nullptr;
};

}  // namespace rt

#include "runtime/runtime.h"

template <class F>
F& rt::Form::Instance() {
  return runtime_.Instance<F>();
}
