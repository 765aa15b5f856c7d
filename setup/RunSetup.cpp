// The setup sequence: one dialog position for all dialogs, the Acrobat Reader
// offer and its setup with the wait, the manual notice, the game question and
// its setup, the sound notice, and the closing window. A setup that cannot
// start is told in the notice window, and then the sequence goes on.
#include <string>
#include <string_view>

#include "dialogs/frmMsgBox.h"
#include "forms/texts.h"
#include "runtime/clock.h"
#include "runtime/start_result.h"
#include "runtime/vbmath.h"
#include "setup/frmAcrobat.h"
#include "setup/mdlMain.h"

using rt::CLng;
using rt::CSng;

namespace {

constexpr double kDialogMarginPixels = 10;
constexpr double kBelowCentreDivisor = 4.5;  // screen height / 4.5 below the centre
constexpr std::int64_t kWaitAfterAcrobatSeconds = 20;

// The setup programs by their names on the CD, relative to the program folder.
constexpr std::string_view kAcrobatSetup = "Acrobat\\Setup.exe";
constexpr std::string_view kGameSetup = "Data\\Subset.exe";

}  // namespace

void frmAcrobat::RunSetup() {
  const std::string strAcrobatSetup = SetupCommandLine(kAcrobatSetup);
  const std::string strGameSetup = SetupCommandLine(kGameSetup);

  ComputeDialogPosition();

  frmMsgBox& offer = Instance<frmMsgBox>();
  offer.SetLeft(CSng(lngLeft));
  offer.SetTop(CSng(lngTop));
  offer.Show(1);

  if (rt::IsTrue(blnAcrobat) && StartSetup(strAcrobatSetup, kAcrobatSetup)) WaitAfterStart();

  MyMsgBox(forms::texts::ManualNotice(), rt::True);
  // Only "&Ja" says yes: the question closed without a button must not read
  // the answer the confirmation left.
  blnResult = rt::False;
  MyNewBox(forms::texts::GameQuestion(), rt::False);
  if (rt::IsTrue(blnResult)) StartSetup(strGameSetup, kGameSetup);
  MyNewBox(forms::texts::SoundNotice(), rt::True);
  myForm();
}

// The program folder ends in the separator only at a volume's root;
// anywhere else one goes between it and the setup's name.
std::string frmAcrobat::SetupCommandLine(std::string_view relative) {
  std::string line = runtime().ProgramFolder();
  const char separator = runtime().FolderSeparator();
  if (!line.empty() && line.back() != separator) line += separator;
  return line.append(relative);
}

// True when the setup runs. A setup that could not start is told in the
// notice window; one whose elevation prompt the user cancelled was answered.
bool frmAcrobat::StartSetup(const std::string& strCommandLine, std::string_view strSetupName) {
  const rt::Long result = mdlMain::WinExec(strCommandLine, rt::kShowMaximized);
  if (rt::StartSucceeded(result)) return true;
  if (result != rt::kStartCancelled)
    MyNewBox(forms::texts::SetupNotStarted(strSetupName, rt::StartFoundNothing(result)), rt::True);
  return false;
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
