// The yardstick for the CPU and the wake-ups of the setup's wait under wine:
// the same waiting passes in a plain Win32 program. A small window, then for
// SECONDS: read the clock; wait up to 30 ms for input
// (MsgWaitForMultipleObjectsEx, no timeBeginPeriod); dispatch what came.
//
//   bare_wait [SECONDS, by default the setup's]
#include <windows.h>

#include <chrono>
#include <cstdlib>

namespace {

constexpr DWORD kIdleWaitMs = 30;  // as the Win32 backend's idle poll

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : SEQUENCE_WAIT_SECONDS;
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = L"BareWait";
  if (!RegisterClassW(&wc)) return 1;
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"bare wait", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                              nullptr, wc.hInstance, nullptr);
  if (!hwnd) return 1;
  UpdateWindow(hwnd);
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (MsgWaitForMultipleObjectsEx(0, nullptr, kIdleWaitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_TIMEOUT)
      continue;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  DestroyWindow(hwnd);
  return 0;
}
