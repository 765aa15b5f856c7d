// The event loop: waiting for the X server's events, and the idle pass of a
// program that polls.
#include "runtime/fltk/backend.h"

#include <FL/Fl.H>

namespace rt::fltk {

namespace {

constexpr double kIdleWait = 0.035;  // seconds

}  // namespace

void FltkBackend::WaitEvents() { Fl::wait(); }

void FltkBackend::ProcessPendingEvents() {
  // A busy loop in the program must not burn a core, yet input is handled at
  // once: Fl::wait returns as soon as an event arrives. Only the idle wakeups
  // cost; 35 ms keeps them under 30 a second, and a loop watching its clock
  // still sees its deadline well within 50 ms on a busy machine. Events
  // already queued are handled without waiting, so no check comes first:
  // each idle pass costs the one select.
  Fl::wait(kIdleWait);
}

}  // namespace rt::fltk
