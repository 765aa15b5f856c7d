// A program window as an FLTK top-level window: the core's Form drawn with its
// background colour and picture, its controls as children, raw input passed
// to the core. While detached (its Form unloaded, deletion pending) it draws
// nothing of the Form and passes nothing on.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <memory>
#include <string>
#include <vector>

#include "runtime/fltk/controls.h"
#include "runtime/fltk/pictures.h"
#include "runtime/fltk/wm.h"
#include "runtime/form.h"

namespace rt::fltk {

class FltkBackend;

class FormWindow final : public Fl_Double_Window {
 public:
  FormWindow(Form& form, FltkBackend& backend);
  ~FormWindow() override;

  Form* form() const { return form_; }
  void Detach();

  // Places the window at the Form's outer position (or over the whole screen
  // when maximized), without reporting it back as a user's move. A window
  // manager puts the frame's corner there; without one there is no frame.
  void Place();
  // How a window manager is to treat the window; takes effect when it is
  // first shown.
  void SetRole(const WindowRole& role) { role_ = role; }
  // Maps the window (or raises it) exactly at its place: FLTK would move a
  // framed window that reaches past a screen edge, Windows does not.
  // `active` is the program's window that was active until now, or 0.
  void ShowPlaced(unsigned long active);
  // Returns once the window is mapped, or after a second if a window
  // manager never maps it. Not until it is exposed: a manager may map it
  // under another window, where no Expose comes.
  void WaitUntilMapped();
  // Gives the window the keyboard when no window manager would.
  void TakeKeyboard();
  // The server reports the window mapped.
  void Mapped();
  // A key typed in this window, or handed on from a window it blocks.
  void HandleKey();
  // The window got the keyboard focus; a blocked one hands it on.
  void KeyboardArrived();
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Enabled() const { return enabled_; }
  void SetFocus(const Control* button);
  ControlView* ViewOf(const Control& control) const;
  const std::vector<ControlView*>& Views() const { return views_; }

  int handle(int event) override;
  void resize(int x, int y, int w, int h) override;
  // Creates the X window with its role before mapping it.
  void show() override;
  // A window a picture covers is drawn straight to the screen: nothing of it
  // could flicker, and a back buffer the size of the screen costs the
  // server two more passes over it.
  void flush() override;
  // Whether an exposure the server reported at this request number was
  // already repaired by a later drawing of the whole window.
  bool Repaired(unsigned long serial) const { return serial < drawn_whole_at_; }

 protected:
  void draw() override;

 private:
  static void CloseRequested(Fl_Widget* widget, void* data);

  Form* form_;
  FltkBackend& backend_;
  std::vector<ControlView*> views_;  // owned by FLTK as children
  std::unique_ptr<DrawablePicture> background_;
  std::unique_ptr<Fl_RGB_Image> icon_;
  std::vector<unsigned char> icon_pixels_;
  std::string title_;
  bool enabled_ = true;
  bool placing_ = false;
  bool managed_ = false;  // its map redirected to a window manager, when it was shown
  bool mapped_ = false;  // the server has reported it mapped
  unsigned long active_before_ = 0;  // the program's active window when this one was shown
  unsigned long drawn_whole_at_ = 0;  // request number of the last full drawing
  WindowRole role_;
};

}  // namespace rt::fltk
