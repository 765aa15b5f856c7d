// What the Win32 backend's tests share: picture files built in memory, a
// window whose handlers the test supplies, an input sink that records, the
// client area captured through WM_PRINTCLIENT, and a fixture with a real
// backend and runtime. Runs under wine or Windows, on a real display.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/form.h"
#include "runtime/runtime.h"
#include "runtime/win32/backend.h"

namespace win32_test {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}

inline void Put16(std::vector<std::uint8_t>& b, unsigned v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
inline void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// A 24-bit bottom-up BMP file whose pixel (x, y) is pixel(x, y).
inline std::vector<std::uint8_t> MakeBmp(int w, int h, const std::function<Rgb(int, int)>& pixel) {
  const int stride = (w * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> b;
  b.push_back('B');
  b.push_back('M');
  Put32(b, static_cast<std::uint32_t>(54 + stride * h));
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, static_cast<std::uint32_t>(w));
  Put32(b, static_cast<std::uint32_t>(h));
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, 0);
  Put32(b, static_cast<std::uint32_t>(stride * h));
  Put32(b, 2835);
  Put32(b, 2835);
  Put32(b, 0);
  Put32(b, 0);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const Rgb c = pixel(x, y);
      b.push_back(c.b);
      b.push_back(c.g);
      b.push_back(c.r);
    }
    for (int p = w * 3; p < stride; ++p) b.push_back(0);
  }
  return b;
}

inline std::vector<std::uint8_t> SolidBmp(int w, int h, Rgb c) {
  return MakeBmp(w, h, [c](int, int) { return c; });
}

// An icon file with one 32-bit image (with an AND mask) of one colour for
// each (side, colour).
inline std::vector<std::uint8_t> MakeIco(const std::vector<std::pair<int, Rgb>>& images) {
  std::vector<std::uint8_t> b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, static_cast<unsigned>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (const auto& [side, c] : images) {
    const std::uint32_t size = 40 + side * side * 4 + side * 4;
    b.push_back(static_cast<std::uint8_t>(side));
    b.push_back(static_cast<std::uint8_t>(side));
    b.push_back(0);
    b.push_back(0);
    Put16(b, 1);
    Put16(b, 32);
    Put32(b, size);
    Put32(b, offset);
    offset += size;
  }
  for (const auto& [side, c] : images) {
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(side));
    Put32(b, static_cast<std::uint32_t>(side * 2));
    Put16(b, 1);
    Put16(b, 32);
    for (int i = 0; i < 6; ++i) Put32(b, 0);
    for (int i = 0; i < side * side; ++i) {
      b.push_back(c.b);
      b.push_back(c.g);
      b.push_back(c.r);
      b.push_back(255);
    }
    b.insert(b.end(), static_cast<std::size_t>(side * 4), 0);
  }
  return b;
}

inline std::vector<std::uint8_t> SolidIco(Rgb c) { return MakeIco({{32, c}}); }

// The colour at the centre of an icon's image, and the image's side.
inline std::pair<Rgb, int> IconCentre(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {{}, 0};
  BITMAP bm{};
  GetObjectW(info.hbmColor, sizeof bm, &bm);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, info.hbmColor);
  const COLORREF c = GetPixel(dc, bm.bmWidth / 2, bm.bmHeight / 2);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return {{GetRValue(c), GetGValue(c), GetBValue(c)}, bm.bmWidth};
}

// A window whose handlers the test supplies.
template <const rt::WindowDef& Def>
class TestForm : public rt::Form {
 public:
  explicit TestForm(rt::Runtime& r) : rt::Form(r, Def) {}
  std::function<void(std::uint8_t)> on_click;
  std::vector<std::uint8_t> clicks;

 protected:
  void Click(std::uint8_t id) override {
    clicks.push_back(id);
    if (on_click) on_click(id);
  }
};

// Records raw input instead of handing it to the core.
struct RecordingSink final : rt::InputSink {
  struct Event {
    std::string what;
    rt::Form* window = nullptr;
    rt::Control* control = nullptr;
    rt::KeyInput key{};
    int x = 0, y = 0;
    rt::Time pressed{};
  };
  std::vector<Event> events;
  void OnClick(rt::Control& button, rt::Time pressed) override {
    events.push_back({"click", &button.Parent(), &button, {}, 0, 0, pressed});
  }
  void OnKey(rt::Form& window, rt::KeyInput key) override { events.push_back({"key", &window, nullptr, key}); }
  void OnCloseRequest(rt::Form& window) override { events.push_back({"close", &window}); }
  void OnMoved(rt::Form& window, int x, int y) override {
    events.push_back({"move", &window, nullptr, {}, x, y});
  }
};

// The client area as the window paints it (labels, pictures, background;
// not the button child windows).
class Capture {
 public:
  explicit Capture(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    width_ = r.right;
    height_ = r.bottom;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width_;
    bmi.bmiHeader.biHeight = -height_;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const auto* p = static_cast<const std::uint8_t*>(bits);
    pixels_.assign(p, p + static_cast<std::size_t>(width_) * height_ * 4);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  int Width() const { return width_; }
  int Height() const { return height_; }
  Rgb At(int x, int y) const {
    const std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
    return {p[2], p[1], p[0]};
  }
  // Pixels of colour c inside [x0, x1) × [y0, y1).
  int Count(Rgb c, int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (At(x, y) == c) ++n;
    return n;
  }
  int Count(Rgb c) const { return Count(c, 0, 0, width_, height_); }

 private:
  int width_ = 0, height_ = 0;
  std::vector<std::uint8_t> pixels_;
};

inline constexpr Rgb kDarkBlue{0, 0, 64};
inline constexpr Rgb kOrange{255, 128, 0};

// A real backend and runtime; windows are destroyed with them.
struct BackendTest : ::testing::Test {
  rt::win32::Win32Backend backend{GetModuleHandleW(nullptr)};
  rt::Runtime runtime{backend};

  template <class F>
  F& Window() {
    return runtime.Instance<F>();
  }
  static HWND Hwnd(const rt::Form& f) { return rt::win32::Win32Backend::Handle(f); }
  static HWND Button(rt::Form& f, std::uint8_t id) { return rt::win32::Win32Backend::ButtonHandle(f.Ctl(id)); }
  // Handles what is queued (paints, posted messages) without blocking.
  void Pump() {
    for (int i = 0; i < 5; ++i) backend.ProcessPendingEvents();
  }
};

}  // namespace win32_test
