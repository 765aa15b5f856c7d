// A stand-in for a setup program on the Windows demo CD. STUB_TITLE names
// the setup it stands for. It notes its start as one line
// "<title>\t<its command line as UTF-8>\n", appended to the file that the
// environment variable MIRELUND_STUB_LOG names (nothing is noted without
// it: a CD cannot be written to), then shows a window in the show mode it
// was started with (maximized when none is given) saying which setup was
// started, which closes after 4 seconds or on a click. Started by a test's
// START.EXE that says what Windows hands on to a program it starts
// (MIRELUND_INHERITED_DLL_DIRECTORY, MIRELUND_STARTERS_FOLDER), the line
// goes on with "\t<its current folder>\t<its starter's>\t<that DLL directory>".
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <string>

#ifndef STUB_TITLE
#error "STUB_TITLE must name the setup this stub stands for"
#endif

namespace {

constexpr UINT kShownMs = 4000;
constexpr UINT_PTR kCloseTimer = 1;

std::wstring Widen(const char* text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n - 1 : 0), L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), n);
  return out;
}

std::string Utf8(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// One write in append mode, so the lines of two stubs cannot interleave.
void NoteStart() {
  wchar_t log[32768];
  const DWORD n = GetEnvironmentVariableW(L"MIRELUND_STUB_LOG", log, 32768);
  if (n == 0 || n >= 32768) return;
  HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  std::string line = std::string(STUB_TITLE) + "\t" + Utf8(GetCommandLineW());
  wchar_t inherited[MAX_PATH], starters[MAX_PATH], folder[MAX_PATH];
  const DWORD i = GetEnvironmentVariableW(L"MIRELUND_INHERITED_DLL_DIRECTORY", inherited, MAX_PATH);
  if (i > 0 && i < MAX_PATH) {
    const DWORD s = GetEnvironmentVariableW(L"MIRELUND_STARTERS_FOLDER", starters, MAX_PATH);
    const DWORD f = GetCurrentDirectoryW(MAX_PATH, folder);
    line += "\t" + Utf8(f > 0 && f < MAX_PATH ? folder : L"?") + "\t" + Utf8(s > 0 && s < MAX_PATH ? starters : L"?") +
            "\t" + Utf8(inherited);
  }
  line += "\n";
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

struct Texts {
  std::wstring headline, call, hint;
};

void Paint(HWND hwnd, const Texts& t) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT r;
  GetClientRect(hwnd, &r);
  HBRUSH back = CreateSolidBrush(RGB(40, 72, 48));
  FillRect(dc, &r, back);
  DeleteObject(back);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  HFONT big = CreateFontW(-36, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
  HFONT small_font = CreateFontW(-18, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
  HGDIOBJ old = SelectObject(dc, big);
  RECT line{20, r.bottom / 3, r.right - 20, r.bottom / 3 + 60};
  DrawTextW(dc, t.headline.c_str(), -1, &line, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, small_font);
  line = {20, r.bottom / 3 + 80, r.right - 20, r.bottom / 3 + 160};
  DrawTextW(dc, t.call.c_str(), -1, &line, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  line = {20, r.bottom - 60, r.right - 20, r.bottom - 20};
  DrawTextW(dc, t.hint.c_str(), -1, &line, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(big);
  DeleteObject(small_font);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK StubProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
  const auto* texts = reinterpret_cast<const Texts*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT:
      if (texts) {
        Paint(hwnd, *texts);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_TIMER:
    case WM_LBUTTONDOWN:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  NoteStart();
  Texts texts;
  texts.headline = Widen(STUB_TITLE) + L" wurde gestartet";
  texts.call = L"Aufruf: " + std::wstring(GetCommandLineW());
  texts.hint = L"Dieses Fenster schlie\u00DFt sich nach 4 Sekunden oder bei einem Klick.";

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = StubProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.lpszClassName = L"MirelundStubSetup";
  RegisterClassExW(&wc);
  const std::wstring title = Widen(STUB_TITLE);
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              800, 600, nullptr, nullptr, instance, &texts);
  if (!hwnd) return 1;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  GetStartupInfoW(&si);
  ::ShowWindow(hwnd, (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWMAXIMIZED);
  UpdateWindow(hwnd);
  SetTimer(hwnd, kCloseTimer, kShownMs, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
