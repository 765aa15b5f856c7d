// A stand-in for a setup program on the Linux demo CD. STUB_TITLE names the
// setup it stands for. It shows a screen-covering window for a few seconds
// (it maximizes itself: a show mode cannot be handed to a Linux program),
// and notes its start in the file MIRELUND_STUB_LOG names, for the tests.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Window.H>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#ifndef STUB_TITLE
#error "STUB_TITLE must name the setup this stub stands for"
#endif

namespace {

constexpr double kShownSeconds = 4.0;

std::string OwnPath() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

std::string CurrentFolder() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

// One write with O_APPEND, so lines of the two stubs cannot interleave.
void NoteStart() {
  const char* log = std::getenv("MIRELUND_STUB_LOG");
  if (log == nullptr || *log == '\0') return;
  const std::string line = std::string(STUB_TITLE) + "\t" + OwnPath() + "\t" + CurrentFolder() + "\n";
  const int fd = open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  (void)!write(fd, line.data(), line.size());
  close(fd);
}

class StubWindow : public Fl_Window {
 public:
  using Fl_Window::Fl_Window;
  int handle(int event) override {
    if (event == FL_PUSH) {
      hide();
      return 1;
    }
    return Fl_Window::handle(event);
  }
};

}  // namespace

int main(int argc, char** argv) {
  NoteStart();

  std::string call = "Aufruf:";
  for (int i = 0; i < argc; ++i) call += std::string(" \"") + argv[i] + "\"";

  int x = 0, y = 0, w = 800, h = 600;
  Fl::screen_work_area(x, y, w, h);
  StubWindow window(x, y, w, h, STUB_TITLE);
  window.color(fl_rgb_color(40, 72, 48));

  const std::string headline = std::string(STUB_TITLE) + " wurde gestartet";
  Fl_Box title(20, h / 3, w - 40, 60, headline.c_str());
  title.labelsize(28);
  title.labelfont(FL_HELVETICA_BOLD);
  title.labelcolor(FL_WHITE);

  Fl_Box args(20, h / 3 + 80, w - 40, 60, call.c_str());
  args.labelsize(14);
  args.labelcolor(FL_WHITE);
  args.align(FL_ALIGN_INSIDE | FL_ALIGN_WRAP);

  Fl_Box hint(20, h - 60, w - 40, 30,
              "Dieses Fenster schlie\xC3\x9F" "t sich nach wenigen Sekunden oder mit einem Klick.");
  hint.labelsize(12);
  hint.labelcolor(fl_rgb_color(200, 220, 200));
  window.end();

  window.show();
  Fl::add_timeout(kShownSeconds, [](void* data) { static_cast<Fl_Window*>(data)->hide(); }, &window);
  return Fl::run();
}
