// The yardstick for the launcher's start: the least a program can do to show
// the welcome picture, a plain FLTK window at the screen's top left that
// decodes the same embedded JPEG with the runtime's decoder and draws it.
#include <cstddef>
#include <vector>

#include "forms/pictures.h"
#include "runtime/picture.h"

#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>

namespace {

class PictureWindow final : public Fl_Window {
 public:
  explicit PictureWindow(Fl_RGB_Image& picture)
      : Fl_Window(0, 0, picture.w(), picture.h(), "bare window"), picture_(picture) {}

 protected:
  void draw() override { picture_.draw(0, 0); }

 private:
  Fl_RGB_Image& picture_;
};

}  // namespace

int main() {
  const rt::Image image = rt::DecodePicture(forms::pictures::WelcomeScreen());
  const std::size_t count = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
  // FLTK takes RGB rows; the decoder gives RGBA.
  std::vector<unsigned char> rgb(count * 3);
  for (std::size_t i = 0; i < count; ++i)
    for (std::size_t k = 0; k < 3; ++k) rgb[i * 3 + k] = image.rgba[i * 4 + k];
  Fl_RGB_Image picture(rgb.data(), image.width, image.height, 3);
  PictureWindow window(picture);
  window.border(0);
  window.end();
  window.show();
  return Fl::run();
}
