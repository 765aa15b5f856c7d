// A control of a loaded window, built afresh from its definition on every
// load. Positions and sizes are Single twips; the pixel rectangle the
// backends draw is derived from them whenever they change.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/definition.h"
#include "runtime/picture.h"
#include "runtime/text_layout.h"
#include "runtime/types.h"

namespace rt {

class Form;

struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
};

class Control {
 public:
  Control(Form& parent, const ControlDef& def);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const ControlDef& def() const { return def_; }
  std::uint8_t Id() const { return def_.id; }
  std::string_view Name() const { return def_.name; }
  ControlKind Kind() const { return def_.kind; }
  bool IsButton() const { return def_.kind == ControlKind::kButton; }
  Form& Parent() const { return parent_; }

  Single Left() const { return left_; }
  Single Top() const { return top_; }
  Single Width() const { return width_; }
  Single Height() const { return height_; }
  void SetLeft(Single v);
  void SetTop(Single v);
  void SetWidth(Single v);
  void SetHeight(Single v);

  Boolean Visible() const { return visible_; }
  void SetVisible(Boolean v);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view text);

  // What the backends draw.
  const PixelRect& Rect() const { return rect_; }
  const Image* Picture() const { return picture_.get(); }
  const std::shared_ptr<const Image>& SharedPicture() const { return picture_; }
  const FontRecord& Font() const { return def_.font ? *def_.font : kStandardFont; }
  const std::vector<std::string_view>& Lines() const { return lines_; }
  int LineHeight() const { return line_height_; }
  const AccessKeyText& ButtonText() const { return button_text_; }
  Colour ForeColour() const { return def_.fore_color.value_or(kSystemWindowTextColour); }
  bool Transparent() const { return def_.back_style == kBackStyleTransparent; }
  Colour BackColour() const { return def_.back_color.value_or(kSystemWindowColour); }

  // The backend's own object for this control.
  void* native = nullptr;

 private:
  friend class Form;
  void Build();  // picture, pixel rectangle and text layout from the state
  void Changed();
  void Relayout();

  Form& parent_;
  const ControlDef& def_;
  Single left_, top_, width_, height_;
  Boolean visible_;
  std::string caption_;
  PixelRect rect_;
  std::shared_ptr<const Image> picture_;
  std::vector<std::string_view> lines_;
  int line_height_ = 0;
  AccessKeyText button_text_;
};

}  // namespace rt
