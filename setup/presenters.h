// The OK-only form of the confirmation and notice windows (frmYesNo,
// frmNewBox): only "&OK" visible. Shared by the presenters and by the
// programs that show these windows outside the sequence (gallery, benchmarks).
#pragma once

#include "runtime/types.h"

template <class Window>
void ShowOnlyOk(Window& w) {
  w.Command1().SetVisible(rt::False);
  w.Command2().SetVisible(rt::False);
  w.Command3().SetVisible(rt::True);
}
