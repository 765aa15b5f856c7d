// Screen readers on X11: the program's windows told, as the core has them,
// to the accessibility module beside the launcher (libmirelund-atk.so), which
// speaks AT-SPI through ATK. The launcher itself links neither: where the
// module, a library it needs or a session bus is missing, or NO_AT_BRIDGE=1
// is set, there is simply no Access. GLib's main context is iterated from
// FLTK's loop: its descriptors and next timeout are mirrored into FLTK's, so
// every wait of the program (the modal loops, the busy wait, the error box)
// wakes for it, and it is iterated again after each change told to it. An
// idle pass of the program's loops costs nothing more.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "runtime/fltk/atk/access_api.h"

class Fl_Widget;
class Fl_Window;

namespace rt::fltk {

class FltkBackend;
class FormWindow;

class Access {
 public:
  // Null where there is no accessibility.
  static std::unique_ptr<Access> Load(FltkBackend& backend);
  ~Access();
  Access(const Access&) = delete;
  Access& operator=(const Access&) = delete;

  // The window as it is now: name, role, place, its readable controls, the focus.
  void Update(FormWindow& window);
  // The window came up or got the keyboard back.
  void Activate(FormWindow& window);
  void Destroyed(FormWindow& window);
  // The runtime's standard error box, which is no Form: an alert named by
  // its title, its text, and its one button, which a client's press closes.
  void AlertShown(Fl_Window& box, const char* text, const Fl_Widget& text_box, Fl_Widget& ok);
  void AlertClosed();
  // Dispatches what GLib has due and watches what it waits for.
  void Pump();
  // The same from FLTK's loop, once what is being done now is done.
  void PumpSoon();

 private:
  Access(FltkBackend& backend, const ma_api& api);
  static void Pressed(void* token, int child);
  static void PressLater(void* data);
  static void FdReady(int fd, void* data);
  static void TimedOut(void* data);

  FltkBackend& backend_;
  const ma_api& api_;
  struct Window {
    void* object = nullptr;
    std::vector<std::uint8_t> read;  // control ids in reading order, as last told
  };
  std::unordered_map<FormWindow*, Window> windows_;
  std::vector<ma_fd> watched_;
  struct Press {
    FormWindow* window;
    std::uint8_t control;
  };
  std::vector<Press> presses_;
  struct Alert {
    Fl_Window* box = nullptr;
    Fl_Widget* ok = nullptr;
    void* object = nullptr;
    bool pressed = false;
  } alert_;
  bool pumping_ = false;
};

}  // namespace rt::fltk
