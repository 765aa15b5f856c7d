// Buttons drawn in the classic Windows look, labels drawn from the core's
// line layout, and stretched pictures.
#include "runtime/fltk/controls.h"

#include <algorithm>

#include "runtime/fltk/backend.h"
#include "runtime/fltk/colours.h"
#include "runtime/fltk/encoding.h"
#include "runtime/fltk/fonts.h"

// FLTK and X11 last: Xlib defines True and False as macros.
#include <FL/Fl.H>
#include <FL/fl_draw.H>

namespace rt::fltk {

namespace {

void Colour(Rgb c) { fl_color(fl_rgb_color(c.r, c.g, c.b)); }
void SysColour(std::uint8_t index) { Colour(SystemColour(index)); }

// Top-left lines in one colour, bottom-right in another.
void Bevel(int x, int y, int w, int h, std::uint8_t top_left, std::uint8_t bottom_right) {
  if (w <= 0 || h <= 0) return;
  SysColour(top_left);
  fl_xyline(x, y, x + w - 1);
  fl_yxline(x, y, y + h - 1);
  SysColour(bottom_right);
  fl_xyline(x, y + h - 1, x + w - 1);
  fl_yxline(x + w - 1, y, y + h - 1);
}

void DottedRect(int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return;
  for (int i = 0; i < w; i += 2) {
    fl_point(x + i, y);
    fl_point(x + i, y + h - 1);
  }
  for (int i = 0; i < h; i += 2) {
    fl_point(x, y + i);
    fl_point(x + w - 1, y + i);
  }
}

void Reshape(Fl_Widget& w, const PixelRect& r) {
  const int width = std::max(0, r.width), height = std::max(0, r.height);
  if (w.x() != r.x || w.y() != r.y || w.w() != width || w.h() != height) w.resize(r.x, r.y, width, height);
}

}  // namespace

void ControlView::Sync() {
  if (control_) Reshape(Widget(), control_->Rect());
}

// --- Buttons ------------------------------------------------------------

ButtonWidget::ButtonWidget(Control& control, Fonts& fonts, FltkBackend& backend)
    : Fl_Button(0, 0, 0, 0), ControlView(control), fonts_(fonts), backend_(backend) {
  // The core owns focus and keys: FLTK must neither move focus here nor
  // treat the caption's "&" as its own shortcut (there is no FLTK label).
  clear_visible_focus();
  box(FL_NO_BOX);
  callback(&ButtonWidget::Clicked, this);
  when(FL_WHEN_RELEASE);
  if (!control.def().tooltip.empty()) {
    tooltip_ = Windows1252ToUtf8(control.def().tooltip);
    tooltip(tooltip_.c_str());
  }
}

void ButtonWidget::Clicked(Fl_Widget*, void* data) {
  auto* self = static_cast<ButtonWidget*>(data);
  // The handler may unload the window: nothing of `self` is used after it.
  // A callback without a press of its own (FLTK's keyboard paths are shut)
  // is taken as pressed now.
  const Time pressed = self->pressed_ ? *self->pressed_ : self->backend_.Now();
  self->pressed_.reset();
  if (Control* c = self->control_) self->backend_.Sink().OnClick(*c, pressed);
}

int ButtonWidget::handle(int event) {
  switch (event) {
    case FL_PUSH:
      // The click comes on release; the core judges it by its press.
      pressed_ = backend_.Now();
      return Fl_Button::handle(event);
    case FL_KEYBOARD:
    case FL_KEYUP:
    case FL_SHORTCUT:
    case FL_FOCUS:
    case FL_UNFOCUS:
      return 0;
    default:
      return Fl_Button::handle(event);
  }
}

void ButtonWidget::Sync() {
  if (!control_) return;
  ControlView::Sync();
  if (IsTrue(control_->Visible())) show();
  else hide();
}

void ButtonWidget::SetLook(bool focused, bool emphasised) {
  if (focused == focused_ && emphasised == emphasised_) return;
  focused_ = focused;
  emphasised_ = emphasised;
  redraw();
}

void ButtonWidget::draw() {
  if (!control_ || w() <= 0 || h() <= 0) return;
  fl_push_clip(x(), y(), w(), h());
  int bx = x(), by = y(), bw = w(), bh = h();
  const bool pressed = value() != 0;
  SysColour(kSysColourButtonFace);
  fl_rectf(bx, by, bw, bh);
  if (emphasised_ || pressed) {
    fl_color(FL_BLACK);
    fl_rect(bx, by, bw, bh);
    ++bx, ++by, bw -= 2, bh -= 2;
  }
  if (pressed) {
    SysColour(kSysButtonShadow);
    fl_rect(bx, by, bw, bh);
  } else {
    Bevel(bx, by, bw, bh, kSysButtonHighlight, kSysDarkShadow);
    Bevel(bx + 1, by + 1, bw - 2, bh - 2, kSysLight, kSysButtonShadow);
  }

  const AccessKeyText& text = control_->ButtonText();
  fonts_.Select(control_->Font());
  const std::string shown = Windows1252ToUtf8(text.shown);
  const int tw = Fonts::Utf8Width(shown);
  const int shift = pressed ? 1 : 0;
  const int tx = x() + (w() - tw) / 2 + shift;
  const int ty = y() + (h() - fl_height()) / 2 + fl_height() - fl_descent() + shift;
  SysColour(kSysButtonText);
  fl_draw(shown.data(), static_cast<int>(shown.size()), tx, ty);
  if (text.key_index >= 0 && static_cast<std::size_t>(text.key_index) < text.shown.size()) {
    const auto k = static_cast<std::size_t>(text.key_index);
    const int before = Fonts::Utf8Width(Windows1252ToUtf8(std::string_view(text.shown).substr(0, k)));
    const int key_w = Fonts::Utf8Width(Windows1252ToUtf8(std::string_view(text.shown).substr(k, 1)));
    fl_xyline(tx + before, ty + 1, tx + before + std::max(1, key_w) - 1);
  }
  if (focused_) {
    fl_color(FL_BLACK);
    DottedRect(x() + 4, y() + 4, w() - 8, h() - 8);
  }
  fl_pop_clip();
}

// --- Labels -------------------------------------------------------------

LabelWidget::LabelWidget(Control& control, Fonts& fonts)
    : Fl_Widget(0, 0, 0, 0), ControlView(control), fonts_(fonts) {
  box(FL_NO_BOX);
}

void LabelWidget::draw() {
  if (!control_ || w() <= 0 || h() <= 0) return;
  fl_push_clip(x(), y(), w(), h());
  if (!control_->Transparent()) {
    Colour(ToRgb(control_->BackColour()));
    fl_rectf(x(), y(), w(), h());
  }
  const FontRecord& font = control_->Font();
  fonts_.Select(font);
  Colour(ToRgb(control_->ForeColour()));
  const int ascent = fl_height() - fl_descent();
  const int step = std::max(1, control_->LineHeight());
  int top = y();
  for (std::string_view line : control_->Lines()) {
    if (top >= y() + h()) break;
    const std::string utf8 = Windows1252ToUtf8(line);
    fl_draw(utf8.data(), static_cast<int>(utf8.size()), x(), top + ascent);
    const int width = Fonts::Utf8Width(utf8);
    if (font.style & kFontUnderline) fl_xyline(x(), top + ascent + 1, x() + width - 1);
    if (font.style & kFontStrikethrough) fl_xyline(x(), top + ascent - ascent / 3, x() + width - 1);
    top += step;
  }
  fl_pop_clip();
}

// --- Images -------------------------------------------------------------

ImageWidget::ImageWidget(Control& control)
    : Fl_Widget(0, 0, 0, 0),
      ControlView(control),
      stretch_(IsTrue(control.def().stretch)),
      border_(control.def().border_style == kBorderSingle) {
  box(FL_NO_BOX);
  if (control.SharedPicture())
    picture_ = std::make_unique<DrawablePicture>(control.SharedPicture(), control.def().picture);
}

void ImageWidget::draw() {
  if (!control_ || w() <= 0 || h() <= 0) return;
  fl_push_clip(x(), y(), w(), h());
  const int inset = border_ ? 1 : 0;
  if (picture_ && !picture_->Empty()) {
    if (stretch_) picture_->DrawStretched(x() + inset, y() + inset, w() - 2 * inset, h() - 2 * inset);
    else picture_->Draw(x() + inset, y() + inset);
  }
  if (border_) {
    fl_color(FL_BLACK);
    fl_rect(x(), y(), w(), h());
  }
  fl_pop_clip();
}

bool ImageWidget::Covers(int window_w, int window_h) const {
  if (!control_ || !visible() || !picture_ || picture_->Empty()) return false;
  if (x() > 0 || y() > 0 || x() + w() < window_w || y() + h() < window_h) return false;
  const int inset = border_ ? 1 : 0;
  const bool filled = stretch_ || (picture_->Width() >= w() - 2 * inset && picture_->Height() >= h() - 2 * inset);
  return filled && picture_->Opaque();
}

bool PictureCoversWindow(const std::vector<ControlView*>& views, int w, int h) {
  for (const ControlView* v : views)
    if (const auto* image = dynamic_cast<const ImageWidget*>(v); image && image->Covers(w, h)) return true;
  return false;
}

ControlView* MakeView(Control& control, Fonts& fonts, FltkBackend& backend) {
  switch (control.Kind()) {
    case ControlKind::kButton:
      return new ButtonWidget(control, fonts, backend);
    case ControlKind::kLabel:
      return new LabelWidget(control, fonts);
    case ControlKind::kImage:
      return new ImageWidget(control);
  }
  return nullptr;
}

}  // namespace rt::fltk
