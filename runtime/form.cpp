// Loading, showing and unloading windows; their position and the keyboard
// focus among their buttons.
#include "runtime/form.h"

#include <algorithm>
#include <cctype>

#include "runtime/error.h"
#include "runtime/vbmath.h"

namespace rt {

Form::Form(Runtime& runtime, const WindowDef& def)
    : runtime_(runtime), def_(def), left_(static_cast<Single>(def.client_left)), top_(static_cast<Single>(def.client_top)) {}

Form::~Form() = default;

ScreenObject& Form::Screen() { return runtime_.Screen(); }

void Form::EnsureLoaded() {
  if (!loaded_) Load();
}

void Form::Load() {
  if (loaded_) return;
  ScreenObject& screen = runtime_.Screen();
  // Everything that can fail is done before the window counts as loaded.
  const int client_w = screen.PixelsX(def_.client_width);
  const int client_h = screen.PixelsY(def_.client_height);
  const int left_px = screen.PixelsX(def_.client_left);
  const int top_px = screen.PixelsY(def_.client_top);
  const PixelOrder order = runtime_.backend().PictureOrder();
  std::shared_ptr<const Image> background, icon;
  if (!def_.picture.empty()) background = std::make_shared<const Image>(DecodePicture(def_.picture, order));
  if (def_.icon.kind == IconKind::kPicture)
    icon = std::make_shared<const Image>(DecodePicture(def_.icon.picture, order));
  std::vector<std::unique_ptr<Control>> controls;
  for (const ControlDef& cd : def_.controls) {
    // Ctl(id) reaches a control by its place in the list.
    if (cd.id != controls.size() + 1)
      Raise(ErrorNumber::kControlNotFound, std::string(Name()) + "." + std::string(cd.name) + " is not at its id's place");
    controls.push_back(std::make_unique<Control>(*this, cd));
    controls.back()->Build();
  }

  loaded_ = true;
  visible_ = false;
  ++generation_;
  left_ = static_cast<Single>(def_.client_left);
  top_ = static_cast<Single>(def_.client_top);
  left_px_ = left_px;
  top_px_ = top_px;
  client_width_px_ = client_w;
  client_height_px_ = client_h;
  background_ = std::move(background);
  icon_ = std::move(icon);
  focused_ = nullptr;
  controls_ = std::move(controls);
  runtime_.loaded_.push_back(this);
  runtime_.backend().CreateWindow(*this);
  created_ = true;
  if (runtime_.backend().KeepsPictures()) {
    background_.reset();
    icon_.reset();
    for (const auto& c : controls_) c->picture_.reset();
  }
  runtime_.UpdateEnabled();

  struct LoadScope {
    int& depth;
    explicit LoadScope(int& d) : depth(d) { ++depth; }
    ~LoadScope() { --depth; }
  } scope(in_load_handler_);
  Form_Load();
}

void Form::Unload() {
  if (!loaded_) return;
  if (created_) runtime_.backend().DestroyWindow(*this);
  created_ = false;
  loaded_ = false;
  visible_ = false;
  focused_ = nullptr;
  controls_.clear();
  background_.reset();
  icon_.reset();
  std::erase(runtime_.loaded_, this);
  std::erase(runtime_.modal_stack_, this);
  std::erase(runtime_.disabled_, this);
  runtime_.UpdateEnabled();
}

void Form::Show(int modal, Form* owner) {
  EnsureLoaded();
  if (modal != 0) {
    if (visible_) Raise(ErrorNumber::kCannotShowModal, std::string(Name()));
    runtime_.PushModal(*this);
  }
  const bool was_visible = visible_;
  visible_ = true;
  if (!was_visible) FocusFirst();
  // Stamped before too: a press handled while the backend brings the window
  // up is as soon after the show as can be.
  if (!was_visible) shown_at_ = runtime_.Now();
  runtime_.backend().ShowWindow(*this, owner, modal != 0);
  if (!was_visible) shown_at_ = runtime_.Now();
  if (modal == 0) return;
  const unsigned generation = generation_;
  while (loaded_ && generation_ == generation) runtime_.backend().WaitEvents();
  runtime_.PopModal(*this);
}

void Form::SetVisible(Boolean v) {
  if (v == False) Raise(ErrorNumber::kInvalidProcedureCall, "windows unload themselves; hiding is not supported");
  Show(0);
}

Single Form::Left() {
  EnsureLoaded();
  return left_;
}

Single Form::Top() {
  EnsureLoaded();
  return top_;
}

Single Form::Width() {
  EnsureLoaded();
  ScreenObject& screen = runtime_.Screen();
  if (Maximized()) return screen.Width();
  const FrameInsets f = runtime_.backend().Frame(*this);
  return CSng(def_.client_width + (f.left + f.right) * static_cast<double>(screen.TwipsPerPixelX()));
}

Single Form::Height() {
  EnsureLoaded();
  ScreenObject& screen = runtime_.Screen();
  if (Maximized()) return screen.Height();
  const FrameInsets f = runtime_.backend().Frame(*this);
  return CSng(def_.client_height + (f.top + f.bottom) * static_cast<double>(screen.TwipsPerPixelY()));
}

void Form::SetLeft(Single v) {
  EnsureLoaded();
  left_px_ = runtime_.Screen().PixelsX(v);
  left_ = v;
  if (created_) runtime_.backend().MoveWindow(*this);
}

void Form::SetTop(Single v) {
  EnsureLoaded();
  top_px_ = runtime_.Screen().PixelsY(v);
  top_ = v;
  if (created_) runtime_.backend().MoveWindow(*this);
}

void Form::Moved(int left_px, int top_px) {
  ScreenObject& screen = runtime_.Screen();
  left_px_ = left_px;
  top_px_ = top_px;
  left_ = CSng(left_px * static_cast<double>(screen.TwipsPerPixelX()));
  top_ = CSng(top_px * static_cast<double>(screen.TwipsPerPixelY()));
}

Control& Form::Ctl(std::uint8_t id) {
  EnsureLoaded();
  if (id == 0 || id > controls_.size()) Raise(ErrorNumber::kControlNotFound, std::string(Name()));
  return *controls_[id - 1];
}

Control* Form::FindControl(std::string_view name) {
  for (auto& c : controls_)
    if (c->Name() == name) return c.get();
  return nullptr;
}

std::vector<Control*> Form::TabOrder() const {
  // Each after those with the same or a lower tab index: the definition's
  // order among equals, and far less code in START.EXE than a stable sort.
  const auto before = [](const Control* a, const Control* b) { return a->def().tab_index < b->def().tab_index; };
  std::vector<Control*> order;
  for (const auto& c : controls_)
    if (c->IsButton() && IsTrue(c->Visible()))
      order.insert(std::upper_bound(order.begin(), order.end(), c.get(), before), c.get());
  return order;
}

void Form::FocusFirst() {
  const auto order = TabOrder();
  focused_ = order.empty() ? nullptr : order.front();
  if (created_) runtime_.backend().SetFocus(*this, focused_);
}

void Form::MoveFocus(int step) {
  const auto order = TabOrder();
  if (order.empty()) return;
  const auto it = std::find(order.begin(), order.end(), focused_);
  const int n = static_cast<int>(order.size());
  const int at = it == order.end() ? (step > 0 ? -1 : 0) : static_cast<int>(it - order.begin());
  focused_ = order[static_cast<std::size_t>(((at + step) % n + n) % n)];
  if (created_) runtime_.backend().SetFocus(*this, focused_);
}

void Form::ButtonVisibilityChanged(Control& button) {
  if (!visible_) return;  // the focus is chosen when the window is shown
  if (focused_ == &button && !IsTrue(button.Visible())) FocusFirst();
  else if (focused_ == nullptr && IsTrue(button.Visible())) FocusFirst();
}

Control* Form::ButtonForKey(KeyInput key) {
  const auto order = TabOrder();
  auto find = [&](auto pred) -> Control* {
    for (Control* c : order)
      if (pred(*c)) return c;
    return nullptr;
  };
  switch (key.key) {
    case Key::kEnter:
      if (focused_ && IsTrue(focused_->Visible())) return focused_;
      return find([](const Control& c) { return IsTrue(c.def().is_default); });
    case Key::kSpace:
      return focused_ && IsTrue(focused_->Visible()) ? focused_ : nullptr;
    case Key::kEscape:
      // Only a visible cancel button answers Escape; hidden buttons take no input.
      return find([](const Control& c) { return IsTrue(c.def().cancel); });
    case Key::kTab:
      MoveFocus(+1);
      return nullptr;
    case Key::kBackTab:
      MoveFocus(-1);
      return nullptr;
    case Key::kChar: {
      const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(key.ch)));
      if (upper == 0) return nullptr;
      return find([&](const Control& c) { return c.ButtonText().key == upper; });
    }
  }
  return nullptr;
}

void Form::DispatchClick(Control& button, bool take_focus) {
  if (take_focus && focused_ != &button) {
    focused_ = &button;
    if (created_) runtime_.backend().SetFocus(*this, focused_);
  }
  // The handler may unload this window: nothing of `button` is used after it.
  Click(button.Id());
}

}  // namespace rt
