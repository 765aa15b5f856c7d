// The FLTK backend on a real X server (run under Xvfb, no window manager):
// placement, frame, icons, owners, what a window manager sees when a dialog
// is mapped, the keyboard handed from a blocked window, moves by the user,
// deferred deletion from inside a click, pictures sent to the server once and
// let go, text metrics, the idle wait and the desktop's DPI setting.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <unistd.h>

#include "runtime/fltk/backend.h"
#include "runtime/fltk/controls.h"
#include "runtime/fltk/encoding.h"
#include "runtime/fltk/windows.h"
#include "runtime/form.h"
#include "runtime/runtime.h"

// FLTK and X11 last: Xlib defines True and False as macros.
#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>
// Xlib's macros would hide the runtime's Booleans; X calls below pass 0.
#undef True
#undef False

namespace {

using rt::ControlKind;

// A 24-bit bottom-up BMP of one colour.
std::vector<std::uint8_t> Bmp(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  const int row = (w * 3 + 3) / 4 * 4;
  const std::uint32_t size = 54 + static_cast<std::uint32_t>(row * h);
  std::vector<std::uint8_t> f(size, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  f[0] = 'B', f[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(w));
  put32(22, static_cast<std::uint32_t>(h));
  f[26] = 1, f[28] = 24;
  put32(34, static_cast<std::uint32_t>(row * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::size_t at = 54 + static_cast<std::size_t>(y * row + x * 3);
      f[at] = b, f[at + 1] = g, f[at + 2] = r;
    }
  return f;
}

const std::vector<std::uint8_t>& Red4() {
  static const auto bytes = Bmp(4, 4, 255, 0, 0);
  return bytes;
}
const std::vector<std::uint8_t>& Icon2() {
  static const auto bytes = Bmp(2, 2, 0, 255, 0);
  return bytes;
}

const rt::ControlDef kControls[] = {
    {.id = 1, .name = "Yes", .kind = ControlKind::kButton, .left = 150, .top = 900, .width = 900, .height = 375,
     .caption = "&Yes", .tab_index = 0},
    {.id = 2, .name = "Hidden", .kind = ControlKind::kButton, .left = 1200, .top = 900, .width = 900,
     .height = 375, .caption = "&Hidden", .tab_index = 1, .visible = rt::False},
    {.id = 3, .name = "Text", .kind = ControlKind::kLabel, .left = 150, .top = 150, .width = 1500, .height = 600,
     .caption = "Viel Spa\xDF"},
    {.id = 4, .name = "Picture", .kind = ControlKind::kImage, .left = 1800, .top = 150, .width = 600,
     .height = 600, .picture = Red4(), .stretch = rt::True},
};

rt::WindowDef Def(const char* name, int state, rt::IconSetting icon) {
  return rt::WindowDef{.name = name, .caption = "Pr\xFC" "fung", .window_state = state, .icon = icon,
                       .client_left = 1500, .client_top = 750, .client_width = 3000, .client_height = 1500,
                       .controls = kControls};
}

const rt::WindowDef& PlainDef() {
  static const auto d = Def("Plain", rt::kWindowStateNormal, {});
  return d;
}
const rt::WindowDef& NoIconDef() {
  static const auto d = Def("NoIcon", rt::kWindowStateNormal, {rt::IconKind::kNone, {}});
  return d;
}
const rt::WindowDef& PictureIconDef() {
  static const auto d = Def("PictureIcon", rt::kWindowStateNormal, {rt::IconKind::kPicture, Icon2()});
  return d;
}
// With the green picture as its background, drawn at the top left.
const rt::WindowDef& BackedDef() {
  static const auto d = [] {
    rt::WindowDef w = Def("Backed", rt::kWindowStateNormal, {});
    w.picture = Icon2();
    return w;
  }();
  return d;
}
const rt::WindowDef& MaximizedDef() {
  static const auto d = Def("Big", rt::kWindowStateMaximized, {});
  return d;
}

// A window whose "Yes" button unloads it, from inside the click.
template <const rt::WindowDef& (*D)()>
class TestForm : public rt::Form {
 public:
  explicit TestForm(rt::Runtime& r) : rt::Form(r, D()) {}
  int clicks = 0;

 protected:
  void Click(std::uint8_t id) override {
    ++clicks;
    if (id == 1) Unload();
  }
};
using Plain = TestForm<PlainDef>;
using NoIcon = TestForm<NoIconDef>;
using PictureIcon = TestForm<PictureIconDef>;
using Big = TestForm<MaximizedDef>;
using Backed = TestForm<BackedDef>;

class OnDisplay : public ::testing::Test {
 protected:
  rt::fltk::FltkBackend backend;
  rt::Runtime runtime{backend};

  static void Pump(int rounds = 20) {
    for (int i = 0; i < rounds; ++i) {
      XSync(fl_display, 0);
      Fl::wait(0.01);
    }
  }
  static rt::fltk::FormWindow& Native(rt::Form& f) { return *static_cast<rt::fltk::FormWindow*>(f.native); }
  // 0xRRGGBB of a pixel of the window's client area, as on the screen.
  static unsigned long PixelOf(rt::Form& f, int x, int y) {
    XImage* img = XGetImage(fl_display, fl_xid(&Native(f)), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img) return ~0ul;
    const unsigned long p = XGetPixel(img, 0, 0) & 0xFFFFFF;
    XDestroyImage(img);
    return p;
  }
  // The client area's top-left on the screen, as the X server has it.
  static std::pair<int, int> ScreenPosition(rt::Form& f) {
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(fl_display, fl_xid(&Native(f)), RootWindow(fl_display, fl_screen), 0, 0, &x, &y, &child);
    return {x, y};
  }
  static std::vector<long> Icon(rt::Form& f) {
    const Atom a = XInternAtom(fl_display, "_NET_WM_ICON", 0);
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> out;
    if (XGetWindowProperty(fl_display, fl_xid(&Native(f)), a, 0, 1 << 16, 0, XA_CARDINAL, &type, &format, &n,
                           &after, &data) == Success &&
        data) {
      const auto* v = reinterpret_cast<const long*>(data);
      out.assign(v, v + n);
    }
    if (data) XFree(data);
    return out;
  }
};

TEST_F(OnDisplay, ScreenAndFrameOfABareServer) {
  const rt::ScreenMetrics m = backend.Screen();
  EXPECT_EQ(m.width_px, 800);
  EXPECT_EQ(m.height_px, 600);
  EXPECT_FLOAT_EQ(m.twips_per_pixel_x, 15);
  EXPECT_FLOAT_EQ(m.twips_per_pixel_y, 15);
  Plain& f = runtime.Instance<Plain>();
  f.Load();
  const rt::FrameInsets frame = backend.Frame(f);
  EXPECT_EQ(frame.left + frame.top + frame.right + frame.bottom, 0);
  EXPECT_FLOAT_EQ(f.Width(), 3000);  // nothing added by a frame
}

TEST_F(OnDisplay, ClientAreaWhereTheLogicPutsIt) {
  Plain& f = runtime.Instance<Plain>();
  f.Show();
  Pump();
  EXPECT_EQ(ScreenPosition(f), std::make_pair(100, 50));
  EXPECT_EQ(Native(f).w(), 200);
  EXPECT_EQ(Native(f).h(), 100);
  f.SetLeft(0);  // at the screen's edge FLTK would shift a framed window
  f.SetTop(0);
  Pump();
  EXPECT_EQ(ScreenPosition(f), std::make_pair(0, 0));
  EXPECT_EQ(std::string(Native(f).label()), rt::fltk::Windows1252ToUtf8("Pr\xFC" "fung"));
}

TEST_F(OnDisplay, MaximizedCoversTheScreen) {
  Big& f = runtime.Instance<Big>();
  f.Show();
  Pump();
  EXPECT_EQ(ScreenPosition(f), std::make_pair(0, 0));
  EXPECT_EQ(Native(f).w(), 800);
  EXPECT_EQ(Native(f).h(), 600);
  EXPECT_FALSE(Native(f).border());
}

TEST_F(OnDisplay, ControlsStackedAndHiddenButtonsHidden) {
  Plain& f = runtime.Instance<Plain>();
  f.Show();
  rt::fltk::FormWindow& w = Native(f);
  ASSERT_EQ(w.children(), 4);
  // Back to front: picture, label, hidden button, "Yes".
  EXPECT_EQ(w.child(0), &static_cast<rt::fltk::ControlView*>(f.Ctl(4).native)->Widget());
  EXPECT_EQ(w.child(1), &static_cast<rt::fltk::ControlView*>(f.Ctl(3).native)->Widget());
  EXPECT_EQ(w.child(3), &static_cast<rt::fltk::ControlView*>(f.Ctl(1).native)->Widget());
  EXPECT_FALSE(w.child(2)->visible());
  f.Ctl(2).SetVisible(rt::True);
  EXPECT_TRUE(w.child(2)->visible());
  EXPECT_EQ(w.child(3)->x(), 10);
  EXPECT_EQ(w.child(3)->w(), 60);
}

TEST_F(OnDisplay, FocusShownOnTheCoresButton) {
  Plain& f = runtime.Instance<Plain>();
  f.Show();
  auto* yes = dynamic_cast<rt::fltk::ButtonWidget*>(static_cast<rt::fltk::ControlView*>(f.Ctl(1).native));
  auto* other = dynamic_cast<rt::fltk::ButtonWidget*>(static_cast<rt::fltk::ControlView*>(f.Ctl(2).native));
  ASSERT_TRUE(yes && other);
  EXPECT_TRUE(yes->Focused());
  EXPECT_FALSE(other->Focused());
  f.Ctl(2).SetVisible(rt::True);
  backend.SetFocus(f, &f.Ctl(2));
  EXPECT_FALSE(yes->Focused());
  EXPECT_TRUE(other->Focused());
}

TEST_F(OnDisplay, IconsOfTheThreeKinds) {
  Plain& standard = runtime.Instance<Plain>();
  NoIcon& none = runtime.Instance<NoIcon>();
  PictureIcon& picture = runtime.Instance<PictureIcon>();
  standard.Show();
  none.Show();
  picture.Show();
  Pump();
  const auto s = Icon(standard);
  ASSERT_GE(s.size(), 2u);
  EXPECT_EQ(s[0], 32);
  EXPECT_EQ(s[1], 32);
  EXPECT_TRUE(Icon(none).empty());
  const auto p = Icon(picture);
  ASSERT_EQ(p.size(), 2u + 4u);
  EXPECT_EQ(p[0], 2);
  EXPECT_EQ(p[2] & 0xFFFFFF, 0x00FF00);  // ARGB of the green icon
}

TEST_F(OnDisplay, ModalWindowStaysAboveItsOwner) {
  Plain& owner = runtime.Instance<Plain>();
  NoIcon& dialog = runtime.Instance<NoIcon>();
  owner.Show();
  dialog.Load();
  backend.ShowWindow(dialog, &owner, true);
  Pump();
  Window above = 0;
  ASSERT_TRUE(XGetTransientForHint(fl_display, fl_xid(&Native(dialog)), &above));
  EXPECT_EQ(above, fl_xid(&Native(owner)));
  backend.EnableWindow(owner, false);
  EXPECT_FALSE(Native(owner).Enabled());
}

// Atoms of a window property, read over the connection `d`.
std::vector<Atom> Atoms(Display* d, Window w, const char* property) {
  Atom type = None;
  int format = 0;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<Atom> out;
  if (XGetWindowProperty(d, w, XInternAtom(d, property, 0), 0, 64, 0, AnyPropertyType, &type, &format, &n, &after,
                         &data) == Success &&
      data && format == 32) {
    const auto* v = reinterpret_cast<const unsigned long*>(data);
    out.assign(v, v + n);
  }
  if (data) XFree(data);
  return out;
}

TEST_F(OnDisplay, DialogMappedAlreadyCarryingItsRole) {
  Plain& owner = runtime.Instance<Plain>();
  NoIcon& dialog = runtime.Instance<NoIcon>();
  owner.Show();
  Pump();
  dialog.SetLeft(1500);
  dialog.SetTop(750);
  // A window manager of our own from here on: it sees the map request and
  // reads the window as any manager would, before the window is on screen.
  Display* wm = XOpenDisplay(nullptr);
  ASSERT_NE(wm, nullptr);
  const Window root = DefaultRootWindow(wm);
  XSelectInput(wm, root, SubstructureRedirectMask);
  XSync(wm, 0);
  backend.ShowWindow(dialog, &owner, true);
  XSync(fl_display, 0);
  Window requested = 0;
  for (int i = 0; i < 200 && !requested; ++i) {
    while (XPending(wm)) {
      XEvent e;
      XNextEvent(wm, &e);
      if (e.type == MapRequest) requested = e.xmaprequest.window;
    }
    if (!requested) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(requested, fl_xid(&Native(dialog)));

  EXPECT_EQ(Atoms(wm, requested, "_NET_WM_WINDOW_TYPE"),
            std::vector<Atom>{XInternAtom(wm, "_NET_WM_WINDOW_TYPE_DIALOG", 0)});
  // Out of the taskbar, and not marked modal: mutter would attach it to its
  // owner's centre.
  EXPECT_EQ(Atoms(wm, requested, "_NET_WM_STATE"),
            (std::vector<Atom>{XInternAtom(wm, "_NET_WM_STATE_SKIP_TASKBAR", 0),
                               XInternAtom(wm, "_NET_WM_STATE_SKIP_PAGER", 0)}));
  Window above = 0;
  EXPECT_TRUE(XGetTransientForHint(wm, requested, &above));
  EXPECT_EQ(above, fl_xid(&Native(owner)));
  XClassHint cls{};
  ASSERT_TRUE(XGetClassHint(wm, requested, &cls));
  EXPECT_STREQ(cls.res_name, "fltk_display_tests");
  EXPECT_STREQ(cls.res_class, "Mirelund");
  XFree(cls.res_name);
  XFree(cls.res_class);
  const auto pid = Atoms(wm, requested, "_NET_WM_PID");
  ASSERT_EQ(pid.size(), 1u);
  EXPECT_EQ(pid[0], static_cast<unsigned long>(getpid()));
  // The frame's corner at Left and Top, whatever the frame.
  XSizeHints size{};
  long supplied = 0;
  ASSERT_TRUE(XGetWMNormalHints(wm, requested, &size, &supplied));
  EXPECT_TRUE(size.flags & USPosition);
  EXPECT_TRUE(size.flags & PWinGravity);
  EXPECT_EQ(size.win_gravity, NorthWestGravity);
  EXPECT_EQ(size.x, 100);
  EXPECT_EQ(size.y, 50);
  const auto motif = Atoms(wm, requested, "_MOTIF_WM_HINTS");
  ASSERT_GE(motif.size(), 2u);
  EXPECT_TRUE(motif[0] & 1);              // functions given
  EXPECT_EQ(motif[1] & (1 | 8 | 16), 0u);  // not "all but", no minimize, no maximize
  EXPECT_TRUE(motif[1] & 32);             // but a close control

  XMapWindow(wm, requested);
  XCloseDisplay(wm);  // the redirection ends with the connection
  Pump();
  // The owner, shown at once, is a normal window.
  EXPECT_EQ(Atoms(fl_display, fl_xid(&Native(owner)), "_NET_WM_WINDOW_TYPE"),
            std::vector<Atom>{XInternAtom(fl_display, "_NET_WM_WINDOW_TYPE_NORMAL", 0)});
}

TEST_F(OnDisplay, FullScreenWindowIsInTheTaskbar) {
  Big& f = runtime.Instance<Big>();
  f.Show();
  Pump();
  EXPECT_EQ(Atoms(fl_display, fl_xid(&Native(f)), "_NET_WM_STATE"),
            std::vector<Atom>{XInternAtom(fl_display, "_NET_WM_STATE_FULLSCREEN", 0)});
}

TEST_F(OnDisplay, BlockedWindowHandsOnTheKeyboardAndItsKeys) {
  Plain& owner = runtime.Instance<Plain>();
  NoIcon& dialog = runtime.Instance<NoIcon>();
  owner.Show();
  Pump();
  struct Seen {
    Plain* owner;
    NoIcon* dialog;
    Window dialog_xid = 0, focus = 0;
  } seen{&owner, &dialog};
  // From inside the modal showing: the focus put on the blocked owner, as a
  // window manager may on a click; then Enter typed there.
  Fl::add_timeout(0.3, [](void* data) {
    auto* s = static_cast<Seen*>(data);
    s->dialog_xid = fl_xid(&Native(*s->dialog));
    XSetInputFocus(fl_display, fl_xid(&Native(*s->owner)), RevertToParent, CurrentTime);
    Fl::add_timeout(0.3, [](void* data) {
      auto* s = static_cast<Seen*>(data);
      Window focus = 0;
      int revert = 0;
      XGetInputFocus(fl_display, &focus, &revert);
      s->focus = focus;
      XEvent e{};
      e.xkey.type = KeyPress;
      e.xkey.window = fl_xid(&Native(*s->owner));
      e.xkey.root = RootWindow(fl_display, fl_screen);
      e.xkey.keycode = XKeysymToKeycode(fl_display, XK_Return);
      e.xkey.same_screen = 1;
      XSendEvent(fl_display, e.xkey.window, 1, KeyPressMask, &e);
      e.xkey.type = KeyRelease;
      XSendEvent(fl_display, e.xkey.window, 1, KeyReleaseMask, &e);
      XFlush(fl_display);
    }, data);
  }, &seen);
  // Should the key go astray, the showing still ends.
  const Fl_Timeout_Handler give_up = [](void* data) { static_cast<NoIcon*>(data)->Unload(); };
  Fl::add_timeout(3, give_up, &dialog);
  dialog.Show(1, &owner);  // ends when Enter clicks "Yes", which unloads it
  Fl::remove_timeout(give_up, &dialog);
  EXPECT_EQ(seen.focus, seen.dialog_xid);
  EXPECT_EQ(dialog.clicks, 1);
  EXPECT_EQ(owner.clicks, 0);
}

TEST_F(OnDisplay, UserMoveReachesTheCore) {
  Plain& f = runtime.Instance<Plain>();
  f.Show();
  Pump();
  XMoveWindow(fl_display, fl_xid(&Native(f)), 300, 200);
  Pump();
  EXPECT_EQ(f.LeftPx(), 300);
  EXPECT_EQ(f.TopPx(), 200);
  EXPECT_FLOAT_EQ(f.Left(), 4500);
  EXPECT_FLOAT_EQ(f.Top(), 3000);
}

TEST_F(OnDisplay, ProgramMoveIsNotReportedBack) {
  Plain& f = runtime.Instance<Plain>();
  f.Show();
  Pump();
  f.SetLeft(1507.5f);  // not a whole pixel: a report back would round it
  Pump();
  EXPECT_FLOAT_EQ(f.Left(), 1507.5f);
}

TEST_F(OnDisplay, APressSoonAfterTheShowClicksNothing) {
  Plain& f = runtime.Instance<Plain>();
  f.Show();
  Pump();
  auto& yes = static_cast<rt::fltk::ControlView*>(f.Ctl(1).native)->Widget();
  yes.do_callback();
  EXPECT_EQ(f.clicks, 0);
  EXPECT_TRUE(f.IsLoaded());
  std::this_thread::sleep_for(std::chrono::microseconds(backend.DoubleClickMicros()));
  yes.do_callback();
  EXPECT_EQ(f.clicks, 1);
}

TEST_F(OnDisplay, UnloadFromInsideItsOwnClick) {
  Plain& f = runtime.Instance<Plain>();
  f.Show();
  Pump();
  // No click counts sooner than the double-click time after the window showed.
  std::this_thread::sleep_for(std::chrono::microseconds(backend.DoubleClickMicros()));
  auto& yes = static_cast<rt::fltk::ControlView*>(f.Ctl(1).native)->Widget();
  yes.do_callback();  // as a mouse click would; the handler unloads the window
  EXPECT_EQ(f.clicks, 1);
  EXPECT_FALSE(f.IsLoaded());
  EXPECT_TRUE(backend.Windows().empty());
  Pump();  // FLTK deletes the window now; nothing may touch the old Form
  f.Show();
  Pump();
  EXPECT_EQ(backend.Windows().size(), 1u);
}

TEST_F(OnDisplay, PictureSentToTheServerOnce) {
  Plain& f = runtime.Instance<Plain>();
  f.Show();
  Pump();
  auto* image = dynamic_cast<rt::fltk::ImageWidget*>(static_cast<rt::fltk::ControlView*>(f.Ctl(4).native));
  ASSERT_TRUE(image && image->Picture());
  for (int i = 0; i < 3; ++i) {
    Native(f).redraw();
    Pump(2);
  }
  EXPECT_EQ(image->Picture()->Uploads(), 1);
  // A new size is the server's to scale to: nothing is sent again.
  f.Ctl(4).SetWidth(900);
  Pump(2);
  Native(f).redraw();
  Pump(2);
  EXPECT_EQ(image->Picture()->Uploads(), 1);
}

TEST_F(OnDisplay, APictureOverTheWholeWindowHidesItsBackground) {
  Plain& f = runtime.Instance<Plain>();
  f.Show();
  Pump();
  rt::fltk::FormWindow& w = Native(f);
  EXPECT_FALSE(rt::fltk::PictureCoversWindow(w.Views(), w.w(), w.h()));
  rt::Control& picture = f.Ctl(4);
  picture.SetLeft(0);
  picture.SetTop(0);
  picture.SetWidth(3000);
  picture.SetHeight(1485);  // a pixel row short
  EXPECT_FALSE(rt::fltk::PictureCoversWindow(w.Views(), w.w(), w.h()));
  picture.SetHeight(1500);
  EXPECT_TRUE(rt::fltk::PictureCoversWindow(w.Views(), w.w(), w.h()));
  Pump(2);
  // Drawn over the whole window, the red picture is all there is to see.
  const auto* image = dynamic_cast<rt::fltk::ImageWidget*>(static_cast<rt::fltk::ControlView*>(picture.native));
  ASSERT_TRUE(image && image->Picture());
  EXPECT_EQ(image->Picture()->Uploads(), 1);
}

TEST_F(OnDisplay, PicturesLetGoOnceDrawnYetShownAgainWhenUncovered) {
  Backed& f = runtime.Instance<Backed>();
  f.Load();
  // The core let go of its pixels once the window was built.
  EXPECT_EQ(f.BackgroundPicture(), nullptr);
  EXPECT_EQ(f.Ctl(4).Picture(), nullptr);
  rt::Control& picture = f.Ctl(4);
  picture.SetLeft(0);
  picture.SetTop(0);
  picture.SetWidth(3000);
  picture.SetHeight(1500);
  f.Show();
  Pump();
  EXPECT_EQ(PixelOf(f, 1, 1), 0xFF0000ul);  // the red picture over all; the background let go unseen
  picture.SetLeft(1500);
  Pump();
  EXPECT_EQ(PixelOf(f, 1, 1), 0x00FF00ul);  // decoded again
  EXPECT_EQ(PixelOf(f, 150, 50), 0xFF0000ul);
}

// Drawn without waiting for the Expose, and the Expose of the map then
// dropped: whatever covers the window later must still be painted over.
TEST_F(OnDisplay, OnTheScreenAtOnceAndRepaintedWhenUncovered) {
  Backed& covered = runtime.Instance<Backed>();
  covered.Load();
  rt::Control& picture = covered.Ctl(4);
  picture.SetLeft(0);
  picture.SetTop(0);
  picture.SetWidth(3000);
  picture.SetHeight(1500);
  covered.Show();
  EXPECT_EQ(PixelOf(covered, 1, 1), 0xFF0000ul);  // no event read yet
  Plain& plain = runtime.Instance<Plain>();
  plain.Load();
  plain.SetLeft(7500);  // beside it
  plain.Show();
  const unsigned long back = PixelOf(plain, 2, 2);
  Pump();

  const auto [x, y] = ScreenPosition(covered);
  XSetWindowAttributes a{};
  a.override_redirect = 1;
  a.background_pixel = BlackPixel(fl_display, fl_screen);
  const Window lid = XCreateWindow(fl_display, RootWindow(fl_display, fl_screen), x, y, 700, 300, 0, CopyFromParent,
                                   InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
  XMapRaised(fl_display, lid);
  XSync(fl_display, 0);
  EXPECT_EQ(PixelOf(covered, 1, 1), 0ul);
  EXPECT_EQ(PixelOf(plain, 2, 2), 0ul);
  XDestroyWindow(fl_display, lid);
  Pump();
  EXPECT_EQ(PixelOf(covered, 1, 1), 0xFF0000ul);
  EXPECT_EQ(PixelOf(covered, 150, 50), 0xFF0000ul);
  EXPECT_EQ(PixelOf(plain, 2, 2), back);
}

TEST_F(OnDisplay, TextMeasuredAsDrawn) {
  rt::TextMeasurer& text = backend.Text();
  const rt::FontRecord regular{.size = 97500, .face = "MS Sans Serif"};
  const rt::FontRecord bold{.weight = 700, .size = 97500, .face = "Arial"};
  EXPECT_GT(text.TextWidth(bold, "Installation"), text.TextWidth(regular, "Installation"));
  EXPECT_GT(text.TextWidth(regular, "M\xF6"), text.TextWidth(regular, "M"));
  EXPECT_EQ(text.TextWidth(regular, ""), 0);
  // The byte 0xDF is measured as the letter it stands for.
  fl_font(static_cast<rt::fltk::Fonts&>(text).Face(regular), 13);
  EXPECT_EQ(text.TextWidth(regular, "\xDF"), static_cast<int>(fl_width("\xC3\x9F") + 0.5));
  const int line = text.LineHeight(regular);
  EXPECT_GE(line, 13);
  EXPECT_LE(line, 18);
  EXPECT_GT(text.LineHeight(rt::FontRecord{.size = 127500, .face = "Arial"}), line);
}

TEST_F(OnDisplay, ErrorMessageIsOneModalBox) {
  Plain& f = runtime.Instance<Plain>();
  f.Show();
  Pump();
  struct Seen {
    std::string title, text;
    bool modal = false;
  } seen;
  // Looks at the box once it is up, then presses its OK button.
  Fl::add_timeout(0.3, [](void* data) {
    auto* s = static_cast<Seen*>(data);
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) {
      if (!w->label() || std::string(w->label()) != "Mirelund") continue;
      s->title = w->label();
      s->modal = w->modal();
      Fl_Widget* ok = nullptr;
      for (int i = 0; i < w->children(); ++i) {
        const char* l = w->child(i)->label();
        if (l && std::string(l) != "OK") s->text = l;
        if (l && std::string(l) == "OK") ok = w->child(i);
      }
      if (ok) ok->do_callback();  // hides the box: the window list changes
      return;
    }
  }, &seen);
  backend.ShowErrorMessage("Laufzeitfehler '481':\r\nUng\xFCltiges Bild");
  EXPECT_EQ(seen.title, "Mirelund");
  EXPECT_TRUE(seen.modal);
  EXPECT_EQ(seen.text, "Laufzeitfehler '481':\nUng\xC3\xBCltiges Bild");
  EXPECT_FALSE(Native(f).Enabled());  // nothing else takes input any more
}

// The pixels of the cursor the pointer shows now.
std::vector<unsigned long> CursorPixels() {
  std::vector<unsigned long> px;
  XSync(fl_display, 0);
  if (XFixesCursorImage* c = XFixesGetCursorImage(fl_display)) {
    px.assign(c->pixels, c->pixels + static_cast<std::size_t>(c->width) * c->height);
    XFree(c);
  }
  return px;
}

TEST_F(OnDisplay, HourglassOverTheProgramsWindows) {
  int event = 0, error = 0;
  if (!XFixesQueryExtension(fl_display, &event, &error)) GTEST_SKIP() << "no XFixes on this server";
  Plain& f = runtime.Instance<Plain>();
  f.Show();
  Pump();
  XWarpPointer(fl_display, 0, fl_xid(&Native(f)), 0, 0, 0, 0, 150, 80);  // on the window, off its controls
  Pump();
  const auto normal = CursorPixels();
  ASSERT_FALSE(normal.empty());
  backend.SetPointer(rt::kPointerHourglass);
  Pump();
  EXPECT_NE(CursorPixels(), normal);
  backend.SetPointer(rt::kPointerDefault);
  Pump();
  EXPECT_EQ(CursorPixels(), normal);
}

TEST_F(OnDisplay, IdleWaitNeitherSpinsNorSleepsLong) {
  Plain& f = runtime.Instance<Plain>();
  f.Show();
  Pump();
  const auto start = std::chrono::steady_clock::now();
  const std::clock_t cpu = std::clock();
  for (int i = 0; i < 25; ++i) backend.ProcessPendingEvents();
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double used = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
  EXPECT_GE(wall, 0.5);  // about 35 ms a call
  EXPECT_LE(wall, 2.0);
  EXPECT_LT(used, wall / 2);
}

// The desktop's DPI setting counts over the X screen's 96 dpi: the Xft.dpi
// resource, and over it an XSETTINGS manager's Xft/DPI, in 1024ths of a dot.
// The screen's size stays the monitor's.
TEST(DesktopDpi, TheDesktopsSettingOverTheScreensFigures) {
  fl_open_display();
  Display* d = fl_display;
  const Window root = RootWindow(d, 0);
  const Window owner = XCreateSimpleWindow(d, root, 0, 0, 1, 1, 0, 0, 0);
  const Atom selection = XInternAtom(d, "_XSETTINGS_S0", 0), settings = XInternAtom(d, "_XSETTINGS_SETTINGS", 0);
  struct Restore {
    Display* d;
    Window root, owner;
    ~Restore() {
      XDeleteProperty(d, root, XA_RESOURCE_MANAGER);
      XDestroyWindow(d, owner);
      XSync(d, 0);
    }
  } restore{d, root, owner};
  const auto twips = [] {
    rt::fltk::FltkBackend backend;
    const rt::ScreenMetrics m = backend.Screen();
    EXPECT_EQ(m.width_px, 800);
    return std::pair{m.twips_per_pixel_x, m.twips_per_pixel_y};
  };

  const std::string resources = "Xft.antialias:\t1\nXft.dpi:\t120\n";
  XChangeProperty(d, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(resources.data()), static_cast<int>(resources.size()));
  XSync(d, 0);
  EXPECT_EQ(twips(), std::pair(12.0f, 12.0f));

  // LSB first, serial, one setting: integer "Xft/DPI" = 144 * 1024.
  std::vector<unsigned char> bytes{0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 7, 0};
  for (char c : std::string("Xft/DPI")) bytes.push_back(static_cast<unsigned char>(c));
  bytes.push_back(0);  // padding to four
  for (unsigned char b : {0, 0, 0, 0, 0, 0x40, 2, 0}) bytes.push_back(b);  // last change, value
  XChangeProperty(d, owner, settings, settings, 8, PropModeReplace, bytes.data(), static_cast<int>(bytes.size()));
  XSetSelectionOwner(d, selection, owner, CurrentTime);
  XSync(d, 0);
  EXPECT_EQ(twips(), std::pair(10.0f, 10.0f));

  XSetSelectionOwner(d, selection, None, CurrentTime);
  XDeleteProperty(d, root, XA_RESOURCE_MANAGER);
  XSync(d, 0);
  EXPECT_EQ(twips(), std::pair(15.0f, 15.0f));
}

}  // namespace
