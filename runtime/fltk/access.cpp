// Loading the accessibility module, and feeding it each window's state.
// What a window reads as is the same as on Windows: its exact caption, a
// dialog (modal) or a full-screen frame, then its visible labels and visible
// buttons in reading order; a button named without "&", with its access
// key and its tooltip as description.
#include "runtime/fltk/access.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "runtime/fltk/backend.h"
#include "runtime/fltk/encoding.h"
#include "runtime/fltk/windows.h"
#include "runtime/form.h"
#include "runtime/reading_order.h"

// FLTK last: Xlib defines True and False as macros.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>

namespace rt::fltk {

namespace {

constexpr int kMaxWatched = 32;

Access* g_access = nullptr;  // the one the module's C callback reaches

std::string OwnFolder() {
  std::string path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (n <= 0) return {};
  path.resize(static_cast<std::size_t>(n));
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool Set(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

// Without a session bus GLib would start one of its own (dbus-launch).
bool SessionBusThere() {
  if (Set("DBUS_SESSION_BUS_ADDRESS") || Set("AT_SPI_BUS_ADDRESS")) return true;
  const char* runtime_dir = std::getenv("XDG_RUNTIME_DIR");
  if (!runtime_dir || !*runtime_dir) return false;
  struct stat st{};
  return stat((std::string(runtime_dir) + "/bus").c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

// "<Alt>j", as GTK writes a button's mnemonic.
std::string KeyBinding(char key) {
  if (key == 0) return {};
  auto byte = static_cast<unsigned char>(key);
  const bool upper_latin1 = byte >= 0xC0 && byte <= 0xDE && byte != 0xD7;
  if ((byte >= 'A' && byte <= 'Z') || upper_latin1) byte = static_cast<unsigned char>(byte + 0x20);
  return "<Alt>" + Windows1252ToUtf8(std::string_view(reinterpret_cast<const char*>(&byte), 1));
}

int FltkEvents(int events) {
  return ((events & MA_FD_READ) ? FL_READ : 0) | ((events & MA_FD_WRITE) ? FL_WRITE : 0);
}

}  // namespace

std::unique_ptr<Access> Access::Load(FltkBackend& backend) {
  if (g_access) return nullptr;
  const char* off = std::getenv("NO_AT_BRIDGE");
  if ((off && std::string_view(off) == "1") || !SessionBusThere()) return nullptr;
  const std::string folder = OwnFolder();
  if (folder.empty()) return nullptr;
  // Never closed: GLib cannot be unloaded.
  void* module = dlopen((folder + "/" + MA_MODULE_NAME).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) return nullptr;
  const auto init = reinterpret_cast<ma_init_fn>(dlsym(module, MA_INIT_SYMBOL));
  const ma_api* api = init ? init(MA_API_VERSION, &Access::Pressed, "Mirelund") : nullptr;
  if (!api) return nullptr;
  std::unique_ptr<Access> access(new Access(backend, *api));
  g_access = access.get();
  for (FormWindow* w : backend.Windows()) access->Update(*w);
  access->Pump();
  return access;
}

Access::Access(FltkBackend& backend, const ma_api& api) : backend_(backend), api_(api) {}

Access::~Access() {
  for (const ma_fd& f : watched_) Fl::remove_fd(f.fd);
  Fl::remove_timeout(&Access::TimedOut, this);
  Fl::remove_timeout(&Access::PressLater, this);
  for (auto& [window, w] : windows_) api_.window_free(w.object);
  AlertClosed();
  if (g_access == this) g_access = nullptr;
}

void Access::Update(FormWindow& window) {
  const Form* form = window.form();
  if (!form) return;
  Window& w = windows_[&window];
  if (!w.object) w.object = api_.window_new(&window);

  struct Texts {
    std::string name, description, key;
  };
  const auto order = ReadingOrder(*form);
  std::vector<Texts> texts(order.size());
  std::vector<ma_child> children(order.size());
  w.read.clear();
  int focused = -1;
  for (std::size_t i = 0; i < order.size(); ++i) {
    const Control& c = *order[i];
    w.read.push_back(c.Id());
    const bool button = c.IsButton();
    // A label's "&" is a character of its text.
    texts[i].name = Windows1252ToUtf8(button ? std::string_view(c.ButtonText().shown) : c.Caption());
    if (button) {
      texts[i].description = Windows1252ToUtf8(c.def().tooltip);
      texts[i].key = KeyBinding(c.ButtonText().key);
    }
    const PixelRect& r = c.Rect();
    children[i] = {button ? MA_KIND_BUTTON : MA_KIND_LABEL, texts[i].name.c_str(), texts[i].description.c_str(),
                   texts[i].key.c_str(), r.x, r.y, r.width, r.height, IsTrue(c.def().is_default) ? 1 : 0};
    if (&c == form->Focused()) focused = static_cast<int>(i);
  }
  const std::string name = Windows1252ToUtf8(form->Caption());
  const bool dialog = !form->Maximized();
  const ma_window state{dialog ? MA_ROLE_DIALOG : MA_ROLE_FRAME,
                        name.c_str(),
                        window.x(),
                        window.y(),
                        window.w(),
                        window.h(),
                        window.shown() && window.visible() ? 1 : 0,
                        dialog ? 1 : 0,
                        window.Enabled() ? 1 : 0,
                        focused,
                        children.data(),
                        static_cast<int>(children.size())};
  api_.window_update(w.object, &state);
  PumpSoon();
}

void Access::Activate(FormWindow& window) {
  Update(window);
  api_.window_activate(windows_[&window].object);
  PumpSoon();
}

void Access::Destroyed(FormWindow& window) {
  const auto it = windows_.find(&window);
  if (it == windows_.end()) return;
  api_.window_free(it->second.object);
  windows_.erase(it);
  std::erase_if(presses_, [&](const Press& p) { return p.window == &window; });
  PumpSoon();
}

void Access::AlertShown(Fl_Window& box, const char* text, const Fl_Widget& text_box, Fl_Widget& ok) {
  AlertClosed();
  alert_ = {&box, &ok, api_.window_new(&box), false};
  const ma_child children[] = {
      {MA_KIND_LABEL, text, "", "", text_box.x(), text_box.y(), text_box.w(), text_box.h(), 0},
      {MA_KIND_BUTTON, ok.label(), "", "", ok.x(), ok.y(), ok.w(), ok.h(), 1}};
  const ma_window state{MA_ROLE_ALERT, box.label(), box.x(), box.y(), box.w(), box.h(), 1, 1, 1, 1, children, 2};
  api_.window_update(alert_.object, &state);
  api_.window_activate(alert_.object);
  PumpSoon();
}

void Access::AlertClosed() {
  if (alert_.object) api_.window_free(alert_.object);
  alert_ = {};
}

void Access::Pump() {
  if (pumping_) return;
  pumping_ = true;
  ma_fd fds[kMaxWatched];
  int timeout_ms = -1;
  const int n = api_.pump(fds, kMaxWatched, &timeout_ms);
  pumping_ = false;
  std::vector<ma_fd> now(fds, fds + n);
  const auto same = [](const ma_fd& a, const ma_fd& b) { return a.fd == b.fd && a.events == b.events; };
  for (const ma_fd& f : watched_)
    if (std::none_of(now.begin(), now.end(), [&](const ma_fd& g) { return same(f, g); })) Fl::remove_fd(f.fd);
  for (const ma_fd& f : now)
    if (std::none_of(watched_.begin(), watched_.end(), [&](const ma_fd& g) { return same(f, g); }))
      Fl::add_fd(f.fd, FltkEvents(f.events), &Access::FdReady, this);
  watched_ = std::move(now);
  Fl::remove_timeout(&Access::TimedOut, this);
  if (timeout_ms >= 0) Fl::add_timeout(timeout_ms / 1000.0, &Access::TimedOut, this);
}

// FLTK is going through its descriptors: they are changed from its timeout.
void Access::FdReady(int, void* data) { static_cast<Access*>(data)->PumpSoon(); }

void Access::PumpSoon() {
  Fl::remove_timeout(&Access::TimedOut, this);
  Fl::add_timeout(0, &Access::TimedOut, this);
}

void Access::TimedOut(void* data) { static_cast<Access*>(data)->Pump(); }

// Inside GLib's dispatch: the press may run a modal loop, which must not
// hold up the answer to the client, so it waits for FLTK's loop.
void Access::Pressed(void* token, int child) {
  Access* self = g_access;
  if (!self || child < 0) return;
  if (token && token == self->alert_.box) {
    self->alert_.pressed = true;
    Fl::add_timeout(0, &Access::PressLater, self);
    return;
  }
  const auto it = self->windows_.find(static_cast<FormWindow*>(token));
  if (it == self->windows_.end() || static_cast<std::size_t>(child) >= it->second.read.size()) return;
  self->presses_.push_back({it->first, it->second.read[static_cast<std::size_t>(child)]});
  Fl::add_timeout(0, &Access::PressLater, self);
}

// As its access key would: a press of the screen reader's is no mouse press
// held back after a window came up.
void Access::PressLater(void* data) {
  auto* self = static_cast<Access*>(data);
  if (std::exchange(self->alert_.pressed, false) && self->alert_.ok) {
    self->alert_.ok->do_callback();
    return;
  }
  if (self->presses_.empty()) return;
  const Press p = self->presses_.front();
  self->presses_.erase(self->presses_.begin());
  if (!self->presses_.empty()) Fl::add_timeout(0, &Access::PressLater, self);
  const auto& open = self->backend_.Windows();
  if (std::find(open.begin(), open.end(), p.window) == open.end() || !p.window->form()) return;
  Form& form = *p.window->form();
  if (p.control == 0 || p.control > form.Controls().size()) return;
  Control& button = *form.Controls()[p.control - 1];
  if (!button.IsButton()) return;
  if (const char key = button.ButtonText().key) self->backend_.Sink().OnKey(form, {Key::kChar, key, true});
  else self->backend_.Sink().OnClick(button, self->backend_.Now());
}

void FltkBackend::Tell(FormWindow& window, Change change) {
  if (change == Change::kShown && !std::exchange(access_tried_, true)) access_ = Access::Load(*this);
  if (!access_) return;
  switch (change) {
    case Change::kChanged:
      access_->Update(window);
      break;
    case Change::kShown:
    case Change::kKeyboardBack:
      access_->Activate(window);
      break;
    case Change::kDestroyed:
      access_->Destroyed(window);
      break;
  }
}

void FltkBackend::TellAlert(Fl_Window* box, const char* text, const Fl_Widget* label, Fl_Widget* ok) {
  if (!access_) return;
  if (box)
    access_->AlertShown(*box, text, *label, *ok);
  else
    access_->AlertClosed();
}

void FltkBackend::ForgetAccess() { access_.reset(); }

}  // namespace rt::fltk
