// The dialog the dialog benchmarks show: frmYesNo as the manual's notice,
// its client area at a fixed pixel place, shown modeless so that the
// benchmark keeps its own loop.
#pragma once

#include <string>

#include "dialogs/frmYesNo.h"
#include "runtime/runtime.h"
#include "setup/presenters.h"

namespace bench {

inline void PresentManualNotice(rt::Runtime& runtime, frmYesNo& w, const std::string& message, int left_px,
                                int top_px) {
  w.Load();
  w.Label1().SetCaption(message);
  ShowOnlyOk(w);
  w.SetLeft(static_cast<rt::Single>(left_px * runtime.Screen().TwipsPerPixelX()));
  w.SetTop(static_cast<rt::Single>(top_px * runtime.Screen().TwipsPerPixelY()));
  w.Show(0);
}

}  // namespace bench
