// Draws MANUAL.PDF, the game's electronic manual on the CD: a cover, the
// installation, the sound set-up with CONFIG.EXE and the range of products,
// in the launcher's colours and with its artwork.
//   manualgen PICTURES_DIR OUT.pdf
// Its creation date is SOURCE_DATE_EPOCH's where that is set, so that the
// same sources give the same file; otherwise cairo writes the time of the run.
#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#include <stb_image.h>

namespace {

// A4 in points.
constexpr double kPageW = 595.0;
constexpr double kPageH = 842.0;
constexpr double kMargin = 56.0;
constexpr const char* kFont = "Liberation Sans";

struct Rgb {
  double r, g, b;
};
// The dialogs' dark blue and orange, and a light text colour beside them.
constexpr Rgb kDarkBlue{0.0, 0.0, 64.0 / 255.0};
constexpr Rgb kOrange{1.0, 128.0 / 255.0, 0.0};
constexpr Rgb kLight{0.93, 0.93, 0.88};
constexpr Rgb kPanel{0.0, 0.0, 100.0 / 255.0};

// SOURCE_DATE_EPOCH as the ISO 8601 UTC date cairo takes, or "" where it is
// unset or not a plain number of seconds.
std::string SourceDate() {
  const char* value = std::getenv("SOURCE_DATE_EPOCH");
  if (value == nullptr || *value == '\0') return "";
  char* end = nullptr;
  const long long seconds = std::strtoll(value, &end, 10);
  if (*end != '\0' || seconds < 0) throw std::runtime_error("SOURCE_DATE_EPOCH is not a number of seconds");
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm utc{};
  char text[32];
  if (gmtime_r(&t, &utc) == nullptr || std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc) == 0) {
    throw std::runtime_error("SOURCE_DATE_EPOCH is out of range");
  }
  return text;
}

void SetColour(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

std::vector<unsigned char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

// A picture file as a cairo surface. A JPEG keeps its own bytes beside the
// pixels, so the PDF carries the original rather than a re-encoding.
Surface LoadPicture(const std::string& path) {
  std::vector<unsigned char> bytes = ReadFile(path);
  int w = 0, h = 0, channels = 0;
  unsigned char* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels, 3);
  if (pixels == nullptr) throw std::runtime_error("cannot decode " + path);
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h), cairo_surface_destroy);
  cairo_surface_flush(surface.get());
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = pixels + (static_cast<std::ptrdiff_t>(y) * w + x) * 3;
      row[x] = (static_cast<std::uint32_t>(p[0]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[2];
    }
  }
  stbi_image_free(pixels);
  cairo_surface_mark_dirty(surface.get());

  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) {
    auto* kept = new std::vector<unsigned char>(std::move(bytes));
    cairo_surface_set_mime_data(surface.get(), CAIRO_MIME_TYPE_JPEG, kept->data(), kept->size(),
                                [](void* p) { delete static_cast<std::vector<unsigned char>*>(p); }, kept);
  }
  return surface;
}

// The picture scaled into the box, keeping its proportions, centred; with a
// thin orange frame as the launcher frames its inset.
void DrawPicture(cairo_t* cr, cairo_surface_t* picture, double x, double y, double w, double h, bool frame) {
  const double pw = cairo_image_surface_get_width(picture);
  const double ph = cairo_image_surface_get_height(picture);
  const double scale = std::min(w / pw, h / ph);
  const double dx = x + (w - pw * scale) / 2;
  const double dy = y + (h - ph * scale) / 2;
  cairo_save(cr);
  cairo_translate(cr, dx, dy);
  cairo_scale(cr, scale, scale);
  cairo_set_source_surface(cr, picture, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  cairo_restore(cr);
  if (frame) {
    SetColour(cr, kOrange);
    cairo_set_line_width(cr, 1.5);
    cairo_rectangle(cr, dx - 0.75, dy - 0.75, pw * scale + 1.5, ph * scale + 1.5);
    cairo_stroke(cr);
  }
}

void Font(cairo_t* cr, double size, bool bold) {
  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

double TextWidth(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e.x_advance;
}

void Text(cairo_t* cr, double x, double y, const std::string& text) {
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text.c_str());
}

void Centred(cairo_t* cr, double y, const std::string& text) { Text(cr, (kPageW - TextWidth(cr, text)) / 2, y, text); }

// Breaks a UTF-8 paragraph at blanks to the width; returns the y below it.
double Paragraph(cairo_t* cr, double x, double y, double width, const std::string& text, double leading) {
  std::string line;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    const std::size_t end = std::min(text.find(' ', pos), text.size());
    const std::string word = text.substr(pos, end - pos);
    const std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && TextWidth(cr, candidate) > width) {
      Text(cr, x, y, line);
      y += leading;
      line = word;
    } else {
      line = candidate;
    }
    pos = end + 1;
  }
  if (!line.empty()) {
    Text(cr, x, y, line);
    y += leading;
  }
  return y;
}

void Background(cairo_t* cr) {
  SetColour(cr, kDarkBlue);
  cairo_paint(cr);
}

// Heading, rule and page number of an inner page; returns where text begins.
double InnerPage(cairo_t* cr, int number, const std::string& heading) {
  Background(cr);
  SetColour(cr, kOrange);
  Font(cr, 26, true);
  Text(cr, kMargin, 96, heading);
  cairo_set_line_width(cr, 2);
  cairo_move_to(cr, kMargin, 110);
  cairo_line_to(cr, kPageW - kMargin, 110);
  cairo_stroke(cr);
  Font(cr, 9, false);
  SetColour(cr, kLight);
  Text(cr, kMargin, kPageH - 36, "Mirelund \xE2\x80\x93 Handbuch");
  const std::string n = std::to_string(number);
  Text(cr, kPageW - kMargin - TextWidth(cr, n), kPageH - 36, n);
  return 150;
}

// A numbered step: the number in orange, the text beside it.
double Step(cairo_t* cr, double y, int number, const std::string& title, const std::string& body) {
  SetColour(cr, kOrange);
  Font(cr, 20, true);
  Text(cr, kMargin, y + 4, std::to_string(number));
  Font(cr, 13, true);
  Text(cr, kMargin + 28, y, title);
  SetColour(cr, kLight);
  Font(cr, 11, false);
  return Paragraph(cr, kMargin + 28, y + 18, kPageW - 2 * kMargin - 28, body, 15) + 14;
}

void Cover(cairo_t* cr, cairo_surface_t* welcome) {
  Background(cr);
  DrawPicture(cr, welcome, kMargin, 150, kPageW - 2 * kMargin, 420, true);
  SetColour(cr, kOrange);
  Font(cr, 54, true);
  Centred(cr, 118, "MIRELUND");
  Font(cr, 24, false);
  SetColour(cr, kLight);
  Centred(cr, 640, "Handbuch");
  Font(cr, 12, false);
  Centred(cr, 672, "Installation \xC2\xB7 Sound \xC2\xB7 Unsere Produkte");
  SetColour(cr, kOrange);
  Font(cr, 11, false);
  Centred(cr, kPageH - 60, "CD-ROM f\xC3\xBCr Windows 95, 98, NT \xC2\xB7 l\xC3\xA4uft auch unter Linux");
}

void Installation(cairo_t* cr, cairo_surface_t* inset, cairo_surface_t* reader) {
  double y = InnerPage(cr, 2, "Installation");
  y = Step(cr, y, 1, "CD einlegen",
           "Legen Sie die Mirelund-CD in Ihr CD-ROM-Laufwerk. Das Startprogramm START.EXE erscheint von "
           "selbst und begr\xC3\xBC\xC3\x9Ft Sie mit dem Bild unten. Ist die automatische Wiedergabe "
           "abgeschaltet, doppelklicken Sie START.EXE im Hauptordner der CD.");
  y = Step(cr, y, 2, "Acrobat Reader",
           "Das Startprogramm empfiehlt, den Acrobat Reader zu installieren; mit ihm lesen Sie dieses "
           "Handbuch. Mit \xE2\x80\x9EJa\xE2\x80\x9C startet das Setup Acrobat\\Setup.exe von der CD. "
           "Ist der Acrobat Reader schon installiert, w\xC3\xA4hlen Sie \xE2\x80\x9ENein\xE2\x80\x9C.");
  y = Step(cr, y, 3, "Das Spiel",
           "Auf die Frage \xE2\x80\x9EM\xC3\xB6\x63hten Sie das Spiel installieren?\xE2\x80\x9C antworten "
           "Sie mit \xE2\x80\x9EJa\xE2\x80\x9C. Das Setup Data\\Subset.exe richtet Mirelund in einem "
           "Ordner Ihrer Festplatte ein; folgen Sie seinen Anweisungen.");
  y = Step(cr, y, 4, "Unter Linux",
           "Ihr Desktop bietet beim Einlegen an, das Programm \xE2\x80\x9E\x61utorun\xE2\x80\x9C der CD "
           "auszuf\xC3\xBChren. Es startet dasselbe Startprogramm (start im Hauptordner der CD); die Setups "
           "laufen dort mit Wine.");
  const double top = y + 6;
  const double h = kPageH - 80 - top;
  DrawPicture(cr, inset, kMargin, top, (kPageW - 2 * kMargin) * 0.62, h, true);
  DrawPicture(cr, reader, kMargin + (kPageW - 2 * kMargin) * 0.68, top, (kPageW - 2 * kMargin) * 0.32, h, false);
}

void Sound(cairo_t* cr) {
  double y = InnerPage(cr, 3, "Sound einrichten");
  SetColour(cr, kLight);
  Font(cr, 11, false);
  y = Paragraph(cr, kMargin, y,  kPageW - 2 * kMargin,
                "Bevor Sie zum ersten Mal spielen, stellen Sie Musik und Ger\xC3\xA4usche mit CONFIG.EXE ein. "
                "Sie finden das Programm im Spiele-Ordner Ihrer Festplatte, zum Beispiel "
                "C:\\MIRELUND\\CONFIG.EXE.",
                15) + 16;

  // The settings as CONFIG.EXE shows them, on a panel in the launcher's look.
  const double px = kMargin, pw = kPageW - 2 * kMargin, ph = 190;
  SetColour(cr, kPanel);
  cairo_rectangle(cr, px, y, pw, ph);
  cairo_fill(cr);
  SetColour(cr, kOrange);
  cairo_set_line_width(cr, 1.5);
  cairo_rectangle(cr, px, y, pw, ph);
  cairo_stroke(cr);
  Font(cr, 13, true);
  Text(cr, px + 16, y + 26, "CONFIG.EXE \xE2\x80\x93 Soundkarte");
  const char* rows[][2] = {
      {"Soundkarte", "Sound Blaster 16 oder kompatibel"},
      {"Adresse (Port)", "220"},
      {"Interrupt (IRQ)", "5"},
      {"DMA-Kanal", "1 (16 Bit: 5)"},
      {"Musik", "General MIDI"},
      {"Lautst\xC3\xA4rke", "Musik 80 %, Ger\xC3\xA4usche 100 %"},
  };
  double ry = y + 56;
  for (const auto& row : rows) {
    Font(cr, 11, true);
    SetColour(cr, kOrange);
    Text(cr, px + 16, ry, row[0]);
    Font(cr, 11, false);
    SetColour(cr, kLight);
    Text(cr, px + 170, ry, row[1]);
    ry += 21;
  }
  y += ph + 30;

  y = Step(cr, y, 1, "Soundkarte w\xC3\xA4hlen",
           "W\xC3\xA4hlen Sie Ihre Karte aus der Liste. Kennen Sie Port, IRQ und DMA nicht, lassen Sie "
           "CONFIG.EXE mit \xE2\x80\x9E\x53uchen\xE2\x80\x9C nachsehen; die Werte oben sind die "
           "\xC3\xBC\x62lichen.");
  y = Step(cr, y, 2, "Probe h\xC3\xB6ren",
           "Mit \xE2\x80\x9ETest\xE2\x80\x9C spielt CONFIG.EXE eine kurze Melodie und ein Ger\xC3\xA4usch. "
           "H\xC3\xB6ren Sie nichts, pr\xC3\xBC\x66\x65n Sie die Lautsprecher und die Werte.");
  Step(cr, y, 3, "Speichern",
       "\xE2\x80\x9ESpeichern\xE2\x80\x9C schreibt die Einstellungen in den Spiele-Ordner. Danach starten "
       "Sie Mirelund \xC3\xBC\x62\x65r das Startmen\xC3\xBC. Sie k\xC3\xB6nnen CONFIG.EXE jederzeit "
       "wieder aufrufen.");
}

void Products(cairo_t* cr, cairo_surface_t* range) {
  double y = InnerPage(cr, 4, "Unsere Produkte");
  SetColour(cr, kLight);
  Font(cr, 11, false);
  y = Paragraph(cr, kMargin, y, kPageW - 2 * kMargin,
                "Mirelund ist Teil einer Reihe. Am Ende der Installation zeigt das Startprogramm unsere "
                "anderen Titel; Sie finden sie auch bei Ihrem H\xC3\xA4ndler.",
                15) + 12;
  const double w = kPageW - 2 * kMargin;
  DrawPicture(cr, range, kMargin, y, w, w * cairo_image_surface_get_height(range) / cairo_image_surface_get_width(range),
              true);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s PICTURES_DIR OUT.pdf\n", argv[0]);
    return 2;
  }
  try {
    const std::string dir = argv[1];
    const Surface welcome = LoadPicture(dir + "/welcome.jpg");
    const Surface inset = LoadPicture(dir + "/welcome_inset.jpg");
    const Surface reader = LoadPicture(dir + "/reader_product.bmp");
    const Surface range = LoadPicture(dir + "/product_range.jpg");
    const std::string created = SourceDate();

    cairo_surface_t* pdf = cairo_pdf_surface_create(argv[2], kPageW, kPageH);
    cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_TITLE, "Mirelund \xE2\x80\x93 Handbuch");
    cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_SUBJECT, "Installation und Sound");
    if (!created.empty()) cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_CREATE_DATE, created.c_str());
    cairo_t* cr = cairo_create(pdf);
    Cover(cr, welcome.get());
    cairo_show_page(cr);
    Installation(cr, inset.get(), reader.get());
    cairo_show_page(cr);
    Sound(cr);
    cairo_show_page(cr);
    Products(cr, range.get());
    cairo_show_page(cr);
    const cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_finish(pdf);
    const cairo_status_t finished = cairo_surface_status(pdf);
    cairo_surface_destroy(pdf);
    if (status != CAIRO_STATUS_SUCCESS || finished != CAIRO_STATUS_SUCCESS) {
      std::fprintf(stderr, "manualgen: %s\n",
                   cairo_status_to_string(status != CAIRO_STATUS_SUCCESS ? status : finished));
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "manualgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
