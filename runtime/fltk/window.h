// A program window as an FLTK top-level window: the core's Form drawn with its
// background colour and picture, its controls as children, raw input passed
// to the core. While detached (its Form unloaded, deletion pending) it draws
// nothing of the Form and passes nothing on.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <memory>
#include <string>
#include <vector>

#include "runtime/form.h"
#include "runtime/fltk/controls.h"
#include "runtime/fltk/images.h"

namespace rt::fltk {

class FltkBackend;

class FormWindow final : public Fl_Double_Window {
 public:
  FormWindow(Form& form, FltkBackend& backend);
  ~FormWindow() override;

  Form* form() const { return form_; }
  void Detach();

  // Places the client area for the Form's outer position (or over the whole
  // screen when maximized), without reporting it back as a user's move.
  void Place();
  // Maps the window (or raises it) exactly at its place: FLTK would move a
  // framed window that reaches past a screen edge, Windows does not.
  void ShowPlaced();
  // Gives the window the keyboard when no window manager would.
  void TakeKeyboard();
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Enabled() const { return enabled_; }
  void SetFocus(const Control* button);
  ControlView* ViewOf(const Control& control) const;
  const std::vector<ControlView*>& Views() const { return views_; }

  int handle(int event) override;
  void resize(int x, int y, int w, int h) override;

 protected:
  void draw() override;

 private:
  static void CloseRequested(Fl_Widget* widget, void* data);
  void HandleKey();

  Form* form_;
  FltkBackend& backend_;
  std::vector<ControlView*> views_;  // owned by FLTK as children
  std::unique_ptr<DrawablePicture> background_;
  std::unique_ptr<Fl_RGB_Image> icon_;
  std::vector<unsigned char> icon_pixels_;
  std::string title_;
  bool enabled_ = true;
  bool placing_ = false;
  int placed_x_ = 0, placed_y_ = 0;  // where the client area was put
};

}  // namespace rt::fltk
