// A whole program on the headless backend, for the logic tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "dialogs/frmMsgBox.h"
#include "dialogs/frmNewBox.h"
#include "dialogs/frmOption.h"
#include "dialogs/frmYesNo.h"
#include "runtime/headless/backend.h"
#include "runtime/runtime.h"
#include "setup/frmAcrobat.h"
#include "tests/sequence/walks.h"

namespace testing_support {

inline constexpr std::int64_t kSecond = 1'000'000;

struct Program {
  rt::headless::HeadlessBackend backend;
  rt::Runtime runtime{backend};

  explicit Program(rt::ScreenMetrics screen = {640, 480, 15, 15}) { backend.SetScreen(screen); }

  // The launcher itself: the start-up window runs everything.
  int RunLauncher() {
    return backend.Run([&] { return runtime.Run<frmAcrobat>(); });
  }
  // Any start of the program's own, under the runtime's guard and end rule.
  int RunWith(const std::function<void()>& start) {
    return backend.Run([&] { return runtime.RunWith(start); });
  }

  frmAcrobat& Main() { return runtime.Instance<frmAcrobat>(); }
  template <class F>
  F& Window() {
    return runtime.Instance<F>();
  }
};

// The whole sequence answered as the tests' table walks it: everything
// accepted, or everything declined (the refusal of Acrobat Reader confirmed,
// the game not installed).
inline void AcceptEverything(rt::headless::HeadlessBackend& b) { walks::Script(b, "accept"); }
inline void DeclineEverything(rt::headless::HeadlessBackend& b) { walks::Script(b, "decline"); }

inline rt::KeyInput Enter() { return {rt::Key::kEnter}; }
inline rt::KeyInput Escape() { return {rt::Key::kEscape}; }
inline rt::KeyInput Tab() { return {rt::Key::kTab}; }
inline rt::KeyInput Alt(char c) { return {rt::Key::kChar, c, true}; }

}  // namespace testing_support
