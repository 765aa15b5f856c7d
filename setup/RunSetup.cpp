// The setup sequence: one dialog position for all dialogs, the Acrobat Reader
// offer and its setup with the wait, the manual notice, the game question and
// its setup, the sound notice, and the closing window.
#include <string>

#include "dialogs/frmMsgBox.h"
#include "runtime/clock.h"
#include "runtime/vbmath.h"
#include "setup/frmAcrobat.h"
#include "setup/mdlMain.h"
#include "setup/messages.h"

using rt::CLng;
using rt::CSng;

namespace {

constexpr double kDialogMarginPixels = 10;
constexpr double kBelowCentreDivisor = 4.5;  // screen height / 4.5 below the centre
constexpr std::int64_t kWaitAfterAcrobatSeconds = 20;

}  // namespace

void frmAcrobat::RunSetup() {
  const std::string folder = runtime().ProgramFolder();
  const std::string strAcrobatSetup = folder + "Acrobat\\Setup.exe";
  const std::string strGameSetup = folder + "Data\\Subset.exe";

  ComputeDialogPosition();

  frmMsgBox& offer = Instance<frmMsgBox>();
  offer.SetLeft(CSng(lngLeft));
  offer.SetTop(CSng(lngTop));
  offer.Show(1);

  if (rt::IsTrue(blnAcrobat)) {
    mdlMain::WinExec(strAcrobatSetup, rt::kShowMaximized);
    WaitAfterStart();
  }

  MyMsgBox(setup_messages::ManualNotice(), rt::True);
  MyNewBox(setup_messages::GameQuestion(), rt::False);
  if (rt::IsTrue(blnResult)) mdlMain::WinExec(strGameSetup, rt::kShowMaximized);
  MyNewBox(setup_messages::SoundNotice(), rt::True);
  myForm();
}

// Right of Image2, as far from it as it is from the screen's left edge; below
// the screen's centre; never closer than the margin to the right or bottom.
void frmAcrobat::ComputeDialogPosition() {
  const double L2 = Image2().Left();
  const double W2 = Image2().Width();
  frmMsgBox& offer = Instance<frmMsgBox>();
  const double DW = offer.Width();
  const double DH = offer.Height();
  const double SW = Screen().Width();
  const double SH = Screen().Height();
  const double PX = Screen().TwipsPerPixelX();
  const double PY = Screen().TwipsPerPixelY();

  lngLeft = CLng(2 * L2 + W2);
  if (CSng(lngLeft + DW + kDialogMarginPixels * PX) > SW) lngLeft = CLng(SW - kDialogMarginPixels * PX - DW);
  lngTop = CLng((SH - DH) / 2);
  lngTop = CLng(SH / kBelowCentreDivisor + lngTop);
  if (CSng(lngTop + DH + kDialogMarginPixels * PY) > SH) lngTop = CLng(SH - kDialogMarginPixels * PY - DH);
}

// A busy wait that keeps the windows answering; the deadline is taken anew
// from the same start on every pass.
void frmAcrobat::WaitAfterStart() {
  const rt::Time start = runtime().Now();
  Screen().SetMousePointer(rt::kPointerHourglass);
  for (;;) {
    const rt::Time now = runtime().Now();
    if (!rt::EarlierThan(now, rt::AddSeconds(start, kWaitAfterAcrobatSeconds))) break;
    runtime().DoEvents();
  }
  Screen().SetMousePointer(rt::kPointerDefault);
}
