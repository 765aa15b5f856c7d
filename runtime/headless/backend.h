// The headless backend: the whole program runs in memory, deterministically.
// The test sets the screen; the clock is fake and moves only when the program
// waits (by the script's steps, or by kIdleStep when it polls for events);
// program starts are recorded; user input comes from a script of steps that
// run one by one whenever the program waits for input.
//
// A mouse click without a delay is a user who has looked at the window
// first: it happens no sooner than the double-click time after the window
// was shown, moving the clock on if need be. A click with a delay happens
// exactly then, so a test can press sooner.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/backend.h"
#include "runtime/headless/fonts.h"

namespace rt::headless {

// How long ProcessPendingEvents waits for input when nothing is pending.
inline constexpr std::int64_t kIdleStepMicros = 10'000;

// The double-click time of the fake system: Windows' default, 500 ms.
inline constexpr std::int64_t kDoubleClickMicros = 500'000;

// Thrown by Terminate: the program ends; HeadlessBackend::Run catches it.
struct Terminated {
  int status;
};

// The script ran out while the program still waited for input.
class ScriptExhausted : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

struct StartRecord {
  std::string command_line;
  Long show_mode;
  Time at;
};

struct PointerRecord {
  int pointer;
  Time at;
};

// What the backend knows of one native window.
struct WindowRecord {
  Form* form = nullptr;
  std::string name;
  bool shown = false;
  bool modal = false;
  bool enabled = true;
  std::string owner;  // name of the owner window, empty for none
  int shows = 0;
  int control_updates = 0;  // changes of its controls the backend was told of
  Time shown_at{};  // the last show
};

class HeadlessBackend final : public Backend {
 public:
  using Action = std::function<void(HeadlessBackend&)>;

  HeadlessBackend();
  ~HeadlessBackend() override;

  // Test set-up.
  void SetScreen(ScreenMetrics screen);
  void SetDialogFrame(FrameInsets frame) { dialog_frame_ = frame; }
  void SetProgramFolder(std::string folder) { program_folder_ = std::move(folder); }
  void SetFolderSeparator(char separator) { separator_ = separator; }
  void SetStartResult(Long result) { start_result_ = result; }
  FontModel& Fonts() { return fonts_; }

  // The script. A step without delay runs when the program next blocks for
  // input (a modal window, the main loop). A step with a delay runs that long
  // after the step before it, even while the program is busy polling events.
  HeadlessBackend& Then(Action action, std::int64_t delay_micros = 0);
  HeadlessBackend& Click(std::string window, std::string control, std::int64_t delay_micros = 0);
  // A click on the button captioned CAPTION ("&" before its access key), for
  // scripts that know a window by what it shows rather than by its code.
  HeadlessBackend& ClickButton(std::string window, std::string caption, std::int64_t delay_micros = 0);
  // A mouse click at a pixel of the client area, hit-tested like a screen.
  HeadlessBackend& ClickAt(std::string window, int x, int y, std::int64_t delay_micros = 0);
  HeadlessBackend& Press(std::string window, KeyInput key, std::int64_t delay_micros = 0);
  HeadlessBackend& Close(std::string window, std::int64_t delay_micros = 0);
  HeadlessBackend& Drag(std::string window, int left_px, int top_px, std::int64_t delay_micros = 0);
  std::size_t StepsLeft() const { return script_.size(); }

  // Runs the program; returns its exit status.
  int Run(const std::function<int()>& program);

  // What happened.
  const std::vector<StartRecord>& Starts() const { return starts_; }
  const std::vector<PointerRecord>& Pointers() const { return pointers_; }
  const std::vector<std::string>& Errors() const { return errors_; }
  const std::vector<std::string>& Log() const { return log_; }
  int PendingPolls() const { return polls_; }
  Form* FindWindow(std::string_view name) const;
  const WindowRecord* Record(std::string_view name) const;
  int CurrentPointer() const { return pointer_; }
  void AdvanceClock(std::int64_t micros) { now_.micros += micros; }

  // Backend.
  void SetInputSink(InputSink& sink) override { sink_ = &sink; }
  ScreenMetrics Screen() override { return screen_; }
  FrameInsets Frame(const Form& window) override;
  TextMeasurer& Text() override { return fonts_; }
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
  Time Now() override { return now_; }
  std::string ProgramFolder() override { return program_folder_; }
  char FolderSeparator() override { return separator_; }
  std::int64_t DoubleClickMicros() override { return kDoubleClickMicros; }
  Long StartProgram(std::string_view command_line, Long show_mode) override;
  void ShowErrorMessage(std::string_view text) override;
  [[noreturn]] void Terminate(int status) override;

 private:
  // event_loop.cpp: the script's steps, WaitEvents, ProcessPendingEvents.
  // backend.cpp: the windows, the screen, the pointer, program starts, the
  // error box and the end. fonts.cpp: the font model.
  struct Step {
    Action action;
    std::int64_t delay = 0;
    Time due{};  // fixed when the step before it has run
  };
  void RunStep();
  void Note(std::string line) { log_.push_back(std::move(line)); }
  // An undelayed click waits until the window has been seen.
  void PaceClick(std::string_view window, std::int64_t delay);

  InputSink* sink_ = nullptr;
  ScreenMetrics screen_{640, 480, 15, 15};
  FrameInsets dialog_frame_{3, 22, 3, 3};
  FontModel fonts_{96};
  std::string program_folder_ = "D:\\";
  char separator_ = '\\';
  Long start_result_ = 33;
  Time now_{};
  Time last_step_{};
  int pointer_ = 0;
  int polls_ = 0;
  std::deque<Step> script_;
  std::map<std::string, WindowRecord, std::less<>> windows_;
  std::vector<StartRecord> starts_;
  std::vector<PointerRecord> pointers_;
  std::vector<std::string> errors_;
  std::vector<std::string> log_;
};

}  // namespace rt::headless
