// The FLTK widgets of a window's controls. Each reads the core's Control while
// it is attached; once its window is destroyed it is detached and never
// touches the Control again (FLTK may still hold the widget for a moment,
// because deletion is deferred until the event loop is back in charge).
#pragma once

#include <FL/Fl_Button.H>
#include <FL/Fl_Widget.H>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/clock.h"
#include "runtime/control.h"
#include "runtime/fltk/pictures.h"

namespace rt::fltk {

class Fonts;
class FltkBackend;

// A widget drawing one Control; detached when the window's controls go
// before the widget does.
class ControlView {
 public:
  explicit ControlView(Control& control) : control_(&control) {}
  virtual ~ControlView() = default;
  // Geometry (and a button's visibility) from the Control. The window redraws
  // as a whole afterwards: transparent labels need what lies behind them
  // drawn again.
  virtual void Sync();
  void Detach() { control_ = nullptr; }
  virtual Fl_Widget& Widget() = 0;
  const Control* Source() const { return control_; }

 protected:
  Control* control_;
};

class ButtonWidget final : public Fl_Button, public ControlView {
 public:
  ButtonWidget(Control& control, Fonts& fonts, FltkBackend& backend);
  void Sync() override;
  Fl_Widget& Widget() override { return *this; }
  // The focus rectangle, and the dark outer border of the button that Enter
  // would press.
  void SetLook(bool focused, bool emphasised);
  bool Focused() const { return focused_; }
  int handle(int event) override;

 protected:
  void draw() override;

 private:
  static void Clicked(Fl_Widget* widget, void* data);
  Fonts& fonts_;
  FltkBackend& backend_;
  std::string tooltip_;  // UTF-8; FLTK keeps only the pointer
  bool focused_ = false;
  bool emphasised_ = false;
  std::optional<Time> pressed_;
};

class LabelWidget final : public Fl_Widget, public ControlView {
 public:
  LabelWidget(Control& control, Fonts& fonts);
  Fl_Widget& Widget() override { return *this; }
  int handle(int) override { return 0; }

 protected:
  void draw() override;

 private:
  Fonts& fonts_;
};

class ImageWidget final : public Fl_Widget, public ControlView {
 public:
  explicit ImageWidget(Control& control);
  Fl_Widget& Widget() override { return *this; }
  int handle(int) override { return 0; }
  const DrawablePicture* Picture() const { return picture_.get(); }
  // Hides everything under it in the window's client area of w x h pixels.
  bool Covers(int w, int h) const;

 protected:
  void draw() override;

 private:
  std::unique_ptr<DrawablePicture> picture_;
  bool stretch_;
  bool border_;
};

// Whether a picture among the views hides the whole client area, so that the
// window's own background picture need not be drawn (nor ever sent to the
// X server).
bool PictureCoversWindow(const std::vector<ControlView*>& views, int w, int h);

// A new widget for the control, not yet in any group; whoever adds it to a
// group hands it to FLTK, which deletes it with the group.
ControlView* MakeView(Control& control, Fonts& fonts, FltkBackend& backend);

}  // namespace rt::fltk
