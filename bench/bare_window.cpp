// The yardstick for the launcher's start: the least a program can do to show
// the welcome picture, a plain FLTK window at the screen's top left that
// decodes the same embedded JPEG straight to RGB with the fastest decoder on
// the machine (FLTK's JPEG reader on the system's libjpeg-turbo) and draws it.
#include "forms/pictures.h"

#include <FL/Fl.H>
#include <FL/Fl_JPEG_Image.H>
#include <FL/Fl_Window.H>

namespace {

class PictureWindow final : public Fl_Window {
 public:
  explicit PictureWindow(Fl_Image& picture)
      : Fl_Window(0, 0, picture.w(), picture.h(), "bare window"), picture_(picture) {}

 protected:
  void draw() override { picture_.draw(0, 0); }

 private:
  Fl_Image& picture_;
};

}  // namespace

int main() {
  Fl_JPEG_Image picture("welcome", forms::pictures::Welcome().data());
  if (picture.w() <= 0) return 1;
  PictureWindow window(picture);
  window.border(0);
  window.end();
  window.show();
  return Fl::run();
}
