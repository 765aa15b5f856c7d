// The window runtime: default instances, the modal stack, input dispatch,
// the screen object, and the program's end (no window loaded, no handler
// running). Every call from a backend into the program passes through one
// guard that turns a run-time error into the standard error message and a
// non-zero exit.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <utility>
#include <vector>

#include "runtime/backend.h"
#include "runtime/clock.h"
#include "runtime/error.h"
#include "runtime/types.h"

namespace rt {

class Control;
class Form;
class Runtime;

inline constexpr int kErrorExitStatus = 1;

// The screen: its size in twips, twips per pixel, and the mouse pointer.
class ScreenObject {
 public:
  explicit ScreenObject(Runtime& runtime) : runtime_(runtime) {}
  Single Width();
  Single Height();
  Single TwipsPerPixelX();
  Single TwipsPerPixelY();
  int MousePointer() const { return pointer_; }
  void SetMousePointer(int pointer);

  // Checked conversions used for every position the runtime computes.
  int PixelsX(double twips);
  int PixelsY(double twips);

 private:
  ScreenMetrics Metrics();
  Runtime& runtime_;
  int pointer_ = kPointerDefault;
};

class Runtime final : private InputSink {
 public:
  explicit Runtime(Backend& backend);
  ~Runtime() override;
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // The runtime of this process, for the program's module-level functions.
  static Runtime& Current();

  Backend& backend() { return backend_; }
  ScreenObject& Screen() { return screen_; }

  template <class F>
  F& Instance() {
    const std::type_index type(typeid(F));
    for (const auto& [t, form] : instances_)
      if (t == type) return static_cast<F&>(*form);
    auto form = std::make_unique<F>(*this);
    F& made = *form;
    instances_.emplace_back(type, std::move(form));
    return made;
  }

  // Loads the start-up window, then runs until no window is loaded. Returns
  // the exit status: 0, or kErrorExitStatus after a run-time error.
  template <class F>
  int Run() {
    return RunWith([this] { Instance<F>().Load(); });
  }
  int RunWith(const std::function<void()>& start);

  // "Process pending events" of the logic.
  void DoEvents();
  Time Now() { return backend_.Now(); }
  std::string ProgramFolder() { return backend_.ProgramFolder(); }
  char FolderSeparator() { return backend_.FolderSeparator(); }
  Long StartProgram(std::string_view command_line, Long show_mode);

  bool AnyLoaded() const;
  const std::vector<Form*>& ModalStack() const { return modal_stack_; }
  bool AcceptsInput(const Form& window) const;
  // Whether a mouse press at `pressed` may click `window`'s buttons: not
  // while its double-click time since it was shown runs.
  bool TakesPressAt(const Form& window, Time pressed);

  // Runs a call from the backend into the program; a run-time error ends the
  // program with the standard error message.
  void Guard(const std::function<void()>& call);

 private:
  friend class Form;

  void OnClick(Control& button, Time pressed) override;
  void OnKey(Form& window, KeyInput key) override;
  void OnCloseRequest(Form& window) override;
  void OnMoved(Form& window, int left_px, int top_px) override;

  void PushModal(Form& window);
  void PopModal(Form& window);
  void UpdateEnabled();
  void Fatal(const RuntimeError& error);

  Backend& backend_;
  ScreenObject screen_;
  // A program has a handful of window types: a list, where a hash table
  // would bring its code into START.EXE.
  std::vector<std::pair<std::type_index, std::unique_ptr<Form>>> instances_;
  std::vector<Form*> loaded_;  // in load order
  std::vector<Form*> modal_stack_;
  std::vector<Form*> disabled_;
  bool fatal_ = false;
};

}  // namespace rt
