// The yardstick for a dialog's Load to on the screen under wine: the least a
// Win32 program does to show the manual notice as frmYesNo shows it. A window
// of the same frame and size at the same place, dark blue, with the same
// controls made the plain way: the text in a STATIC (its colours from
// WM_CTLCOLORSTATIC, its font made once, as the launcher makes its fonts
// once), three buttons of which two stay hidden; shown and drawn at once.
// It speaks dialog_cycle's lines, for dialog_watch:
//
//   bare_dialog ITERATIONS
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "forms/texts.h"

namespace {

constexpr int kLeft = 100, kTop = 100;  // the window, frame and all: where dialog_watch looks
constexpr int kClientWidth = 275, kClientHeight = 140;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr COLORREF kDarkBlue = RGB(0, 0, 64), kOrange = RGB(255, 128, 0);
constexpr auto kShown = std::chrono::milliseconds(250);
constexpr auto kGone = std::chrono::milliseconds(250);

HFONT font = nullptr;
HBRUSH dark_blue = nullptr;

void Say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

std::wstring Widen(const std::string& text) {
  std::wstring out(text.size(), L'\0');
  const int n = MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                    static_cast<int>(out.size()));
  out.resize(static_cast<std::size_t>(std::max(n, 0)));
  return out;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CTLCOLORSTATIC) {
    HDC dc = reinterpret_cast<HDC>(wparam);
    SetTextColor(dc, kOrange);
    SetBkColor(dc, kDarkBlue);
    return reinterpret_cast<LRESULT>(dark_blue);
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

HWND Child(HWND parent, const wchar_t* kind, const std::wstring& text, DWORD style, int x, int y, int w, int h,
           int id) {
  HWND child = CreateWindowExW(0, kind, text.c_str(), WS_CHILD | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

HWND Present(const std::wstring& text) {
  RECT r{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
  HWND hwnd = CreateWindowExW(kExStyle, L"BareDialog", L"Acrobat Reader Installation (empfohlen)", kStyle, kLeft,
                              kTop, r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
  Child(hwnd, L"STATIC", text, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 16, 8, 249, 81, 4);
  Child(hwnd, L"BUTTON", L"&Nine", WS_TABSTOP | BS_PUSHBUTTON, 56, 104, 65, 25, 2);
  Child(hwnd, L"BUTTON", L"&Ja", WS_TABSTOP | BS_DEFPUSHBUTTON, 160, 104, 65, 25, 1);
  HWND ok = Child(hwnd, L"BUTTON", L"&OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 104, 104, 65, 25, 3);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  UpdateWindow(hwnd);
  SetFocus(ok);
  return hwnd;
}

void Pump(std::chrono::steady_clock::duration d) {
  const auto until = std::chrono::steady_clock::now() + d;
  for (auto now = std::chrono::steady_clock::now(); now < until; now = std::chrono::steady_clock::now()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count();
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  dark_blue = CreateSolidBrush(kDarkBlue);
  HDC screen = GetDC(nullptr);
  const int em = MulDiv(975, GetDeviceCaps(screen, LOGPIXELSY), 7200);  // 9.75 points
  ReleaseDC(nullptr, screen);
  font = CreateFontW(-em, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Sans Serif");
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = dark_blue;
  wc.lpszClassName = L"BareDialog";
  if (!RegisterClassW(&wc)) return 1;
  const std::wstring text = Widen(forms::texts::ManualNotice());

  Say("bare");
  Pump(kGone);
  HWND hwnd = Present(text);
  Pump(std::chrono::seconds(1));
  Say("settled");
  Pump(kShown);
  DestroyWindow(hwnd);
  Pump(kGone);
  for (int i = 0; i < iterations; ++i) {
    Say("load");
    const auto t0 = std::chrono::steady_clock::now();
    hwnd = Present(text);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - t0;
    std::printf("shown %.3f\n", took.count());
    std::fflush(stdout);
    Pump(kShown);
    DestroyWindow(hwnd);
    Pump(kGone);
  }
  Say("end");
  return 0;
}
