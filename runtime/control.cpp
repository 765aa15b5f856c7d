// Controls: property changes, their pixel rectangle and the label layout.
#include "runtime/control.h"

#include "runtime/error.h"
#include "runtime/form.h"
#include "runtime/runtime.h"
#include "runtime/vbmath.h"

namespace rt {

namespace {
Single CheckedPosition(Single v) { return CSng(Finite(v)); }
Single CheckedSize(Single v) {
  if (CheckedPosition(v) < 0) Raise(ErrorNumber::kInvalidPropertyValue, "negative size");
  return v;
}
}  // namespace

Control::Control(Form& parent, const ControlDef& def)
    : parent_(parent),
      def_(def),
      left_(def.left),
      top_(def.top),
      width_(def.width),
      height_(def.height),
      visible_(def.kind == ControlKind::kButton ? def.visible : True),
      caption_(def.caption) {}

void Control::Build() {
  if (def_.kind == ControlKind::kImage && !def_.picture.empty())
    picture_ = std::make_shared<const Image>(DecodePicture(def_.picture, parent_.runtime().backend().PictureOrder()));
  if (def_.kind == ControlKind::kButton) button_text_ = ParseAccessKey(caption_);
  Relayout();
}

void Control::Relayout() {
  ScreenObject& screen = parent_.Screen();
  rect_.x = screen.PixelsX(left_);
  rect_.y = screen.PixelsY(top_);
  const int w = screen.PixelsX(width_);
  const int h = screen.PixelsY(height_);
  const bool width_changed = w != rect_.width;
  rect_.width = w;
  rect_.height = h;
  if (def_.kind == ControlKind::kLabel && (width_changed || lines_.empty())) {
    TextMeasurer& text = parent_.runtime().backend().Text();
    lines_ = BreakLines(caption_, rect_.width, Font(), text);
    line_height_ = text.LineHeight(Font());
  }
}

void Control::Changed() {
  if (parent_.created_) parent_.runtime().backend().UpdateControl(*this);
}

void Control::SetLeft(Single v) {
  left_ = CheckedPosition(v);
  Relayout();
  Changed();
}

void Control::SetTop(Single v) {
  top_ = CheckedPosition(v);
  Relayout();
  Changed();
}

void Control::SetWidth(Single v) {
  width_ = CheckedSize(v);
  Relayout();
  Changed();
}

void Control::SetHeight(Single v) {
  height_ = CheckedSize(v);
  Relayout();
  Changed();
}

void Control::SetVisible(Boolean v) {
  visible_ = ToBoolean(v != False);
  if (def_.kind == ControlKind::kButton) parent_.ButtonVisibilityChanged(*this);
  Changed();
}

void Control::SetCaption(std::string_view text) {
  caption_.assign(text);
  if (def_.kind == ControlKind::kButton) button_text_ = ParseAccessKey(caption_);
  lines_.clear();
  Relayout();
  Changed();
}

}  // namespace rt
