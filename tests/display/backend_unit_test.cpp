// The FLTK backend's parts that need no display: text conversion, key
// translation, stacking order, colours, font mapping, picture packing, the
// standard icon, the program's DPI and its monitor.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/fltk/backend.h"
#include "runtime/fltk/colours.h"
#include "runtime/fltk/display.h"
#include "runtime/fltk/encoding.h"
#include "runtime/fltk/fonts.h"
#include "runtime/fltk/keys.h"
#include "runtime/fltk/pictures.h"
#include "runtime/fltk/stacking.h"

// FLTK last: its headers may bring Xlib's True and False macros.
#include <FL/Enumerations.H>
#include <X11/X.h>
#include <X11/Xatom.h>

namespace {

using rt::fltk::KeyAction;
using rt::fltk::RawKey;
using rt::fltk::TranslateKey;

TEST(Charset, EveryByteSurvivesTheRoundTrip) {
  for (int b = 1; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(rt::fltk::Utf8ToWindows1252(rt::fltk::Windows1252ToUtf8(one)), one) << "byte " << b;
  }
}

TEST(Charset, GermanLettersAndTheHighBlock) {
  EXPECT_EQ(rt::fltk::Windows1252ToUtf8("Spa\xDF"), "Spa\xC3\x9F");
  EXPECT_EQ(rt::fltk::Windows1252ToUtf8("M\xF6" "chten"), "M\xC3\xB6" "chten");
  EXPECT_EQ(rt::fltk::Windows1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
  EXPECT_EQ(rt::fltk::Windows1252ToUtf8("\x84"), "\xE2\x80\x9E");  // low double quote
  EXPECT_EQ(rt::fltk::Windows1252ToUtf8("\x81"), "\xC2\x81");      // undefined: the C1 control
  EXPECT_EQ(rt::fltk::Windows1252ToCodePoint(0x9F), U'\u0178');
}

TEST(Charset, Utf8WithoutAWindows1252CharacterBecomesQuestionMarks) {
  EXPECT_EQ(rt::fltk::Utf8ToWindows1252("Spa\xC3\x9F \xE2\x82\xAC"), "Spa\xDF \x80");
  EXPECT_EQ(rt::fltk::Utf8ToWindows1252("a\xE4\xB8\xAD" "b"), "a?b");  // a CJK character
  EXPECT_EQ(rt::fltk::Utf8ToWindows1252("a\xC3"), "a?");             // cut short
  EXPECT_EQ(rt::fltk::Utf8ToWindows1252("\xC0\xAF"), "??");          // overlong
  EXPECT_EQ(rt::fltk::Utf8ToWindows1252("\xED\xA0\x80"), "???");     // a surrogate
}

TEST(Charset, FirstCharacter) {
  EXPECT_EQ(rt::fltk::FirstCharAsWindows1252("\xC3\xB6x"), 0xF6);
  EXPECT_EQ(rt::fltk::FirstCharAsWindows1252("J"), 'J');
  EXPECT_EQ(rt::fltk::FirstCharAsWindows1252(""), 0);
  EXPECT_EQ(rt::fltk::FirstCharAsWindows1252("\xE4\xB8\xAD"), 0);
}

TEST(Keys, EnterEscapeTabSpace) {
  EXPECT_EQ(TranslateKey({FL_Enter, 0, "\r"}).input.key, rt::Key::kEnter);
  EXPECT_EQ(TranslateKey({FL_KP_Enter, 0, "\r"}).input.key, rt::Key::kEnter);
  EXPECT_EQ(TranslateKey({FL_Escape, 0, "\x1b"}).input.key, rt::Key::kEscape);
  EXPECT_EQ(TranslateKey({FL_Tab, 0, "\t"}).input.key, rt::Key::kTab);
  EXPECT_EQ(TranslateKey({FL_Tab, FL_SHIFT, "\t"}).input.key, rt::Key::kBackTab);
  EXPECT_EQ(TranslateKey({' ', 0, " "}).input.key, rt::Key::kSpace);
  EXPECT_EQ(TranslateKey({FL_Enter, 0, "\r"}).action, KeyAction::kKey);
}

TEST(Keys, LettersPlainAndWithAlt) {
  const auto plain = TranslateKey({'j', FL_SHIFT, "J"});
  EXPECT_EQ(plain.action, KeyAction::kKey);
  EXPECT_EQ(plain.input.key, rt::Key::kChar);
  EXPECT_EQ(plain.input.ch, 'J');
  EXPECT_FALSE(plain.input.alt);

  const auto alt = TranslateKey({'j', FL_ALT, ""});
  EXPECT_EQ(alt.input.key, rt::Key::kChar);
  EXPECT_EQ(alt.input.ch, 'j');
  EXPECT_TRUE(alt.input.alt);

  const auto umlaut = TranslateKey({0xF6, 0, "\xC3\xB6"});
  EXPECT_EQ(static_cast<unsigned char>(umlaut.input.ch), 0xF6);
}

TEST(Keys, AltF4ClosesAndOtherKeysAreIgnored) {
  EXPECT_EQ(TranslateKey({FL_F + 4, FL_ALT, ""}).action, KeyAction::kClose);
  EXPECT_EQ(TranslateKey({FL_F + 4, 0, ""}).action, KeyAction::kIgnore);
  EXPECT_EQ(TranslateKey({'j', FL_CTRL, "\x0a"}).action, KeyAction::kIgnore);
  EXPECT_EQ(TranslateKey({FL_Enter, FL_CTRL, "\r"}).action, KeyAction::kIgnore);
  EXPECT_EQ(TranslateKey({FL_Shift_L, FL_SHIFT, ""}).action, KeyAction::kIgnore);
  EXPECT_EQ(TranslateKey({FL_Left, 0, ""}).action, KeyAction::kIgnore);
  EXPECT_EQ(TranslateKey({FL_BackSpace, 0, "\b"}).action, KeyAction::kIgnore);
}

TEST(Stacking, EarlierInFrontAndButtonsInFrontOfEverything) {
  using K = rt::ControlKind;
  const K offer[] = {K::kButton, K::kButton, K::kImage, K::kLabel, K::kLabel};
  EXPECT_EQ(rt::fltk::BackToFront(offer), (std::vector<std::size_t>{4, 3, 2, 1, 0}));
  const K mixed[] = {K::kLabel, K::kButton, K::kImage, K::kButton};
  EXPECT_EQ(rt::fltk::BackToFront(mixed), (std::vector<std::size_t>{2, 0, 3, 1}));
  EXPECT_TRUE(rt::fltk::BackToFront({}).empty());
}

TEST(Colours, ExplicitAndSystem) {
  EXPECT_EQ(rt::fltk::ToRgb(rt::Colour{0x00400000u}), (rt::fltk::Rgb{0, 0, 64}));
  EXPECT_EQ(rt::fltk::ToRgb(rt::Colour{0x000080FFu}), (rt::fltk::Rgb{255, 128, 0}));
  EXPECT_EQ(rt::fltk::ToRgb(rt::kSystemWindowColour), (rt::fltk::Rgb{255, 255, 255}));
  EXPECT_EQ(rt::fltk::ToRgb(rt::kSystemWindowTextColour), (rt::fltk::Rgb{0, 0, 0}));
  EXPECT_EQ(rt::fltk::ToRgb(rt::Colour{0x8000000Fu}), (rt::fltk::Rgb{212, 208, 200}));
  EXPECT_EQ(rt::fltk::ToRgb(rt::Colour{0x800000FFu}), (rt::fltk::Rgb{0, 0, 0}));
}

TEST(Fonts, FacesMapToTheirFamilies) {
  using rt::fltk::Family;
  EXPECT_EQ(rt::fltk::FamilyOf("MS Sans Serif"), Family::kSans);
  EXPECT_EQ(rt::fltk::FamilyOf("Arial"), Family::kSans);
  EXPECT_EQ(rt::fltk::FamilyOf("Times New Roman"), Family::kSerif);
  EXPECT_EQ(rt::fltk::FamilyOf("MS Serif"), Family::kSerif);
  EXPECT_EQ(rt::fltk::FamilyOf("courier new"), Family::kMono);
  EXPECT_EQ(rt::fltk::FamilyOf(""), Family::kSans);
}

TEST(Fonts, PixelSizeIsPointsTimesDpiOver72) {
  EXPECT_EQ(rt::fltk::PixelSize(rt::FontRecord{.size = 82500}, 96), 11);
  EXPECT_EQ(rt::fltk::PixelSize(rt::FontRecord{.size = 97500}, 96), 13);
  EXPECT_EQ(rt::fltk::PixelSize(rt::FontRecord{.size = 127500}, 96), 17);
  EXPECT_EQ(rt::fltk::PixelSize(rt::FontRecord{.size = 82500}, 120), 14);
  EXPECT_EQ(rt::fltk::PixelSize(rt::FontRecord{.size = 0}, 96), 1);
  EXPECT_EQ(rt::fltk::PixelSize(rt::FontRecord{.size = 4000000000u}, 96), 1000);
}

// One DPI for the whole program: the desktop's setting first, then the
// whole X screen's figures. Two monitors of 1024 and 800 pixels side by side
// on a 96-dpi screen are 1824 px over 483 mm; one monitor's pixels over
// those millimetres would be 54 dpi.
TEST(Dpi, TheDesktopsSettingElseTheWholeScreen) {
  using Setting = std::optional<std::int32_t>;
  using Resource = std::optional<double>;
  const auto dpi = [](Setting xsettings, Resource resource, int wpx, int wmm, int hpx, int hmm) {
    rt::fltk::detail::DpiSources s;
    s.xsettings = xsettings;
    s.resource = resource;
    s.width_px = wpx, s.width_mm = wmm, s.height_px = hpx, s.height_mm = hmm;
    const rt::fltk::Dpi d = rt::fltk::detail::ChooseDpi(s);
    return std::pair{d.x, d.y};
  };
  const Setting none;
  EXPECT_EQ(dpi(none, {}, 1824, 483, 768, 203), std::pair(96.0, 96.0));
  EXPECT_EQ(dpi(none, {}, 800, 212, 600, 159), std::pair(96.0, 96.0));
  // Xvfb -dpi 72 and 192, and a screen whose pixels are not square.
  EXPECT_EQ(dpi(none, {}, 800, 282, 600, 212), std::pair(72.0, 72.0));
  EXPECT_EQ(dpi(none, {}, 800, 106, 600, 79), std::pair(192.0, 193.0));
  EXPECT_EQ(dpi(none, {}, 1024, 271, 768, 102), std::pair(96.0, 191.0));
  // XSETTINGS counts in 1024ths of a dot, before the resource and the screen.
  EXPECT_EQ(dpi(120 * 1024, 144.0, 800, 212, 600, 159), std::pair(120.0, 120.0));
  EXPECT_EQ(dpi(none, 143.8, 800, 212, 600, 159), std::pair(144.0, 144.0));
  // GNOME's -1 is no setting, nor is a size the server does not know.
  EXPECT_EQ(dpi(-1, 120.0, 800, 212, 600, 159), std::pair(120.0, 120.0));
  EXPECT_EQ(dpi(-1, 0.0, 1824, 483, 768, 203), std::pair(96.0, 96.0));
  EXPECT_EQ(dpi(none, std::nan(""), 800, 282, 600, 212), std::pair(72.0, 72.0));
  EXPECT_EQ(dpi(none, {}, 800, 0, 600, 0), std::pair(96.0, 96.0));
  EXPECT_EQ(dpi(none, {}, 0, 212, 600, 159), std::pair(96.0, 96.0));
  EXPECT_EQ(dpi(none, {}, 1, 1, 40, 1), std::pair(25.0, 1016.0));  // one pixel, one millimetre count
  // Limits of a DPI a desktop could mean: 24 to 1200 dots, whole.
  EXPECT_EQ(dpi(24 * 1024, {}, 800, 212, 600, 159), std::pair(24.0, 24.0));
  EXPECT_EQ(dpi(1200 * 1024, {}, 800, 212, 600, 159), std::pair(1200.0, 1200.0));
  EXPECT_EQ(dpi(23 * 1024, 1201.0, 800, 212, 600, 159), std::pair(96.0, 96.0));
  EXPECT_EQ(dpi(none, 95.4, 800, 212, 600, 159), std::pair(95.0, 95.0));
  // A desktop's fractional text scale: dots in 1024ths exactly, to the nearest.
  EXPECT_EQ(dpi(102861, {}, 800, 212, 600, 159), std::pair(100.0, 100.0));
  EXPECT_EQ(dpi(102963, {}, 800, 212, 600, 159), std::pair(101.0, 101.0));
  EXPECT_FLOAT_EQ(rt::fltk::TwipsPerPixel(96), 15.0f);
  EXPECT_FLOAT_EQ(rt::fltk::TwipsPerPixel(120), 12.0f);
}

// The Xft.dpi resource as the resource manager's text holds it, among others.
TEST(Dpi, TheXftDpiResource) {
  using rt::fltk::detail::XftDpiOfResources;
  EXPECT_EQ(XftDpiOfResources("Xft.antialias:\t1\nXft.dpi:\t120\n*background:\tgrey\n"), 120.0);
  EXPECT_EQ(XftDpiOfResources("Xft.dpi: 143.8"), 143.8);
  EXPECT_EQ(XftDpiOfResources("Xft.dpi: abc\n"), std::nullopt);
  EXPECT_EQ(XftDpiOfResources("Xft.hinting: 1\n"), std::nullopt);
  EXPECT_EQ(XftDpiOfResources(""), std::nullopt);
}

// RandR's primary wherever it lies; without one the monitor at 0,0.
TEST(Monitors, ThePrimaryElseTheOneAtTheOriginElseTheFirst) {
  using rt::fltk::Monitor;
  using rt::fltk::detail::ChooseMonitor;
  const auto rect = [](const std::vector<Monitor>& all) {
    const std::optional<Monitor> m = ChooseMonitor(all);
    return m ? std::vector{m->x, m->y, m->width, m->height} : std::vector<int>{};
  };
  EXPECT_EQ(rect({{0, 0, 800, 600, false}, {800, 0, 1024, 768, true}}), (std::vector{800, 0, 1024, 768}));
  EXPECT_EQ(rect({{1024, 0, 800, 600, false}, {0, 0, 1024, 768, false}}), (std::vector{0, 0, 1024, 768}));
  EXPECT_EQ(rect({{0, 768, 800, 600, false}, {-1024, 0, 1024, 768, false}}), (std::vector{0, 768, 800, 600}));
  EXPECT_EQ(rect({}), std::vector<int>{});
  // A monitor of no size (a disabled output, a head Xinerama lists empty) is none.
  EXPECT_EQ(rect({{0, 0, 0, 768, true}, {0, 0, 1024, 0, false}, {800, 0, 640, 480, false}}),
            (std::vector{800, 0, 640, 480}));
  EXPECT_EQ(rect({{0, 0, 1024, 0, true}}), std::vector<int>{});
  EXPECT_EQ(rect({{5, 0, 1, 1, true}}), (std::vector{5, 0, 1, 1}));
}

// A made-up display: RandR of some version, Xinerama's heads, the figures of
// screen 1 (the resource manager lives on screen 0's root alone), and
// properties kept by window and name, handed out at most `longs` units long
// as the server does.
class MadeUpDisplay final : public rt::fltk::detail::XServer {
 public:
  struct Stored {
    unsigned long type = 0;
    int format = 8;
    std::string bytes;
    bool read = true, data = true;
  };
  static constexpr unsigned long kManager = 70, kSettings = 71, kOwner = 72;

  bool randr = true, version_known = true;
  int major = 1, minor = 5;
  std::vector<rt::fltk::Monitor> randr_monitors, xinerama;
  int width_px = 1024, width_mm = 271, height_px = 768, height_mm = 102;
  std::map<std::string, unsigned long> atoms{{"_XSETTINGS_S1", kManager}, {"_XSETTINGS_SETTINGS", kSettings}};
  bool owned = true;  // by a manager that answers for any selection, even none
  std::map<std::pair<unsigned long, unsigned long>, Stored> properties;

  bool HasRandr() override { return randr; }
  std::optional<Version> RandrVersion() override {
    if (!version_known) return std::nullopt;
    return Version{major, minor};
  }
  std::vector<rt::fltk::Monitor> RandrMonitors(int) override { return randr_monitors; }
  std::vector<rt::fltk::Monitor> XineramaMonitors() override { return xinerama; }
  int ScreenNumber() override { return 1; }
  int WidthPx(int screen) override { return screen == 1 ? width_px : 0; }
  int WidthMm(int screen) override { return screen == 1 ? width_mm : 0; }
  int HeightPx(int screen) override { return screen == 1 ? height_px : 0; }
  int HeightMm(int screen) override { return screen == 1 ? height_mm : 0; }
  unsigned long RootOf(int screen) override { return 1000 + static_cast<unsigned long>(screen); }
  unsigned long AtomIfExists(const std::string& name) override {
    const auto it = atoms.find(name);
    return it == atoms.end() ? 0 : it->second;
  }
  unsigned long SelectionOwner(unsigned long) override { return owned ? kOwner : 0; }
  rt::fltk::detail::Property ReadProperty(unsigned long window, unsigned long property, long longs,
                                          unsigned long) override {
    rt::fltk::detail::Property p;
    p.read = true;
    const auto it = properties.find({window, property});
    if (it == properties.end()) return p;
    p.read = it->second.read;
    p.type = it->second.type;
    p.format = it->second.format;
    if (it->second.data) p.bytes = it->second.bytes.substr(0, 4 * static_cast<std::size_t>(longs));
    return p;
  }
};

// RandR's monitors from version 1.5 on, where it lists any; else Xinerama's
// heads; else the whole screen.
TEST(Monitors, RandrFromOnePointFiveElseXineramaElseTheScreen) {
  const struct {
    bool randr, version_known;
    int major, minor;
    bool listed;
    int x;  // 800: RandR's, 0: Xinerama's
  } cases[] = {{true, true, 1, 5, true, 800},  {true, true, 1, 6, true, 800},  {true, true, 2, 0, true, 800},
               {true, true, 2, 4, true, 800},  {true, true, 1, 4, true, 0},    {true, true, 0, 9, true, 0},
               {false, true, 1, 5, true, 0},   {true, false, 1, 5, true, 0},   {true, true, 1, 5, false, 0}};
  for (const auto& c : cases) {
    MadeUpDisplay x;
    x.randr = c.randr, x.version_known = c.version_known, x.major = c.major, x.minor = c.minor;
    if (c.listed) x.randr_monitors = {{800, 0, 1024, 768, true}};
    x.xinerama = {{0, 0, 640, 480, false}};
    EXPECT_EQ(rt::fltk::detail::ProgramMonitor(x).x, c.x) << c.randr << c.version_known << " " << c.major << "."
                                                         << c.minor << " " << c.listed;
  }
  // RandR listing only monitors of no size has listed none.
  MadeUpDisplay sizeless;
  sizeless.randr_monitors = {{800, 0, 0, 768, true}};
  sizeless.xinerama = {{0, 0, 640, 480, false}};
  EXPECT_EQ(rt::fltk::detail::ProgramMonitor(sizeless).width, 640);
  MadeUpDisplay none;
  none.randr = false;
  none.xinerama = {{0, 0, 0, 0, false}};
  const rt::fltk::Monitor m = rt::fltk::detail::ProgramMonitor(none);
  EXPECT_EQ((std::vector{m.x, m.y, m.width, m.height, int{m.primary}}), (std::vector{0, 0, 1024, 768, 1}));
}

// An XSETTINGS property of the one integer Xft/DPI, least significant byte first.
std::string XftDpiSetting(std::int32_t value) {
  std::string b = {0, 0, 0, 0, 7, 0, 0, 0, 1, 0, 0, 0};
  b += std::string{0, 0, 7, 0} + "Xft/DPI" + std::string(1, 0) + std::string{1, 0, 0, 0};
  for (int i = 0; i < 4; ++i) b += static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
  return b;
}

// The DPI as the display's properties give it: the settings manager's, the
// resource manager's on screen 0's root, each only where it is whole bytes of
// its own type; else the screen's figures.
TEST(Dpi, ReadFromTheDisplay) {
  using Stored = MadeUpDisplay::Stored;
  const Stored settings{MadeUpDisplay::kSettings, 8, XftDpiSetting(120 * 1024)};
  const Stored resources{XA_STRING, 8, "Xft.dpi:\t144\n"};
  const std::pair<unsigned long, unsigned long> on_owner{MadeUpDisplay::kOwner, MadeUpDisplay::kSettings},
      on_root0{1000, XA_RESOURCE_MANAGER}, on_root1{1001, XA_RESOURCE_MANAGER};
  const auto with = [](Stored s, auto change) {
    change(s);
    return s;
  };
  const struct {
    std::optional<Stored> settings, resources;
    std::pair<unsigned long, unsigned long> resources_on;
    double x, y;
  } cases[] = {
      {settings, resources, on_root0, 120, 120},
      {with(settings, [](Stored& s) { s.type = XA_STRING; }), resources, on_root0, 144, 144},
      {with(settings, [](Stored& s) { s.format = 32; }), resources, on_root0, 144, 144},
      {with(settings, [](Stored& s) { s.read = false; }), resources, on_root0, 144, 144},
      {with(settings, [](Stored& s) { s.data = false; }), resources, on_root0, 144, 144},
      {std::nullopt, resources, on_root0, 144, 144},
      {std::nullopt, with(resources, [](Stored& s) { s.type = XA_ATOM; }), on_root0, 96, 191},
      {std::nullopt, with(resources, [](Stored& s) { s.format = 16; }), on_root0, 96, 191},
      {std::nullopt, with(resources, [](Stored& s) { s.read = false; }), on_root0, 96, 191},
      {std::nullopt, with(resources, [](Stored& s) { s.data = false; }), on_root0, 96, 191},
      {std::nullopt, resources, on_root1, 96, 191},
      // Read to 64 KiB: a line that ends there counts, one cut by it does not.
      {std::nullopt, with(resources, [](Stored& s) { s.bytes.insert(0, 65536 - s.bytes.size(), '\n'); }),
       on_root0, 144, 144},
      {std::nullopt, with(resources, [](Stored& s) { s.bytes.insert(0, 65540 - s.bytes.size(), '\n'); }),
       on_root0, 96, 191},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    MadeUpDisplay x;
    if (c.settings) x.properties[on_owner] = *c.settings;
    if (c.resources) x.properties[c.resources_on] = *c.resources;
    const rt::fltk::Dpi d = rt::fltk::detail::ProgramDpi(x);
    EXPECT_EQ(std::pair(d.x, d.y), std::pair(c.x, c.y)) << "case " << i;
  }
}

// The settings manager is found by its selection on the program's screen.
TEST(Dpi, TheSettingsManagerOfTheProgramsScreen) {
  const auto setting = [](auto change) {
    MadeUpDisplay x;
    x.properties[{MadeUpDisplay::kOwner, MadeUpDisplay::kSettings}] = {MadeUpDisplay::kSettings, 8,
                                                                       XftDpiSetting(99)};
    change(x);
    return rt::fltk::detail::DesktopSettingInteger(x, "Xft/DPI");
  };
  EXPECT_EQ(setting([](MadeUpDisplay&) {}), 99);
  EXPECT_EQ(setting([](MadeUpDisplay& x) { x.atoms.erase("_XSETTINGS_S1"); }), std::nullopt);
  EXPECT_EQ(setting([](MadeUpDisplay& x) { x.atoms.erase("_XSETTINGS_SETTINGS"); }), std::nullopt);
  EXPECT_EQ(setting([](MadeUpDisplay& x) { x.owned = false; }), std::nullopt);
  EXPECT_EQ(setting([](MadeUpDisplay& x) {
              x.atoms = {{"_XSETTINGS_S0", MadeUpDisplay::kManager}, {"_XSETTINGS_SETTINGS", MadeUpDisplay::kSettings}};
            }),
            std::nullopt);
}

rt::Image Pixels(int w, int h, std::uint8_t alpha_of_last) {
  rt::Image img{.width = w, .height = h, .pixels = {}};
  img.pixels.resize(static_cast<std::size_t>(w) * h * 4);
  for (std::size_t i = 0; i < img.pixels.size(); i += 4) {
    img.pixels[i] = static_cast<std::uint8_t>(i / 4);
    img.pixels[i + 1] = 20;
    img.pixels[i + 2] = 30;
    img.pixels[i + 3] = 255;
  }
  img.pixels[img.pixels.size() - 1] = alpha_of_last;
  return img;
}

TEST(Pictures, OpaquePicturesLoseTheirAlpha) {
  const rt::fltk::PackedPixels p = rt::fltk::Pack(Pixels(2, 2, 255));
  EXPECT_EQ(p.depth, 3);
  EXPECT_EQ(p.bytes, (std::vector<unsigned char>{0, 20, 30, 1, 20, 30, 2, 20, 30, 3, 20, 30}));
}

TEST(Pictures, TransparencyKeepsRgba) {
  const rt::fltk::PackedPixels p = rt::fltk::Pack(Pixels(2, 1, 0));
  EXPECT_EQ(p.depth, 4);
  EXPECT_EQ(p.bytes, (std::vector<unsigned char>{0, 20, 30, 255, 1, 20, 30, 0}));
}

TEST(Pictures, ShortPixelDataGivesNoPicture) {
  rt::Image img = Pixels(2, 2, 255);
  img.pixels.resize(12);
  EXPECT_TRUE(rt::fltk::Pack(img).bytes.empty());
  EXPECT_TRUE(rt::fltk::Pack(rt::Image{.width = -1, .height = 5, .pixels = {}}).bytes.empty());
}

TEST(StandardIcon, ALittleWindowWithABlueTitleBar) {
  const int n = 32;
  const auto px = rt::fltk::StandardIconRgba(n);
  ASSERT_EQ(px.size(), static_cast<std::size_t>(n * n * 4));
  auto at = [&](int x, int y) { return &px[(static_cast<std::size_t>(y) * n + x) * 4]; };
  EXPECT_EQ(at(0, 0)[3], 0);                                  // transparent margin
  EXPECT_EQ(at(2, 2)[3], 255);                                // the frame
  EXPECT_EQ(std::vector<int>(at(8, 4), at(8, 4) + 3), (std::vector<int>{10, 36, 106}));    // title bar
  EXPECT_EQ(std::vector<int>(at(16, 20), at(16, 20) + 3), (std::vector<int>{255, 255, 255}));  // client area
  EXPECT_EQ(rt::fltk::StandardIconRgba(4), std::vector<std::uint8_t>(4 * 4 * 4, 0));
}

}  // namespace
