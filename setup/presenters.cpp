// The dialog presenters: a message in the confirmation or notice window,
// optionally with only its OK button, at the common dialog position.
#include "dialogs/frmNewBox.h"
#include "dialogs/frmOption.h"
#include "dialogs/frmYesNo.h"
#include "runtime/vbmath.h"
#include "setup/frmAcrobat.h"
#include "setup/presenters.h"

namespace {

template <class Window>
void PresentMessage(frmAcrobat& main, Window& w, const std::string& strMessage, rt::Boolean blnokbutton) {
  w.Load();
  w.Label1().SetCaption(strMessage);
  if (blnokbutton != rt::False) ShowOnlyOk(w);
  w.SetLeft(rt::CSng(main.lngLeft));
  w.SetTop(rt::CSng(main.lngTop));
  w.Show(1);
}

}  // namespace

void frmAcrobat::MyMsgBox(const std::string& strMessage, const rt::Boolean& blnokbutton) {
  PresentMessage(*this, Instance<frmYesNo>(), strMessage, blnokbutton);
}

void frmAcrobat::MyNewBox(const std::string& strMessage, const rt::Boolean& blnokbutton) {
  PresentMessage(*this, Instance<frmNewBox>(), strMessage, blnokbutton);
}

void frmAcrobat::myForm() { Instance<frmOption>().Load(); }
