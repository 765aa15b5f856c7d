// The yardstick for START.EXE's start under wine: the least a Win32 program
// can do to show the welcome picture full screen. It decodes the same
// embedded JPEG the way the Windows build does (stb_image to RGBA, built the
// same way), puts the pixels into GDI's order where they lie, and stretches
// them straight from there over a borderless window that covers the screen
// (at 800x600, the picture's own size, a plain copy).
#include <windows.h>

#include <cstddef>
#include <utility>

#include "forms/pictures.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#include <stb_image.h>

namespace {

stbi_uc* picture = nullptr;  // B, G, R, x once loaded
int picture_width = 0, picture_height = 0;

bool LoadPicture() {
  const auto bytes = forms::pictures::Welcome();
  int n = 0;
  picture = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &picture_width, &picture_height, &n, 4);
  if (!picture) return false;
  for (std::size_t i = 0, size = static_cast<std::size_t>(picture_width) * picture_height * 4; i < size; i += 4)
    std::swap(picture[i], picture[i + 2]);
  return true;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT client;
      GetClientRect(hwnd, &client);
      BITMAPINFO bmi{};
      bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
      bmi.bmiHeader.biWidth = picture_width;
      bmi.bmiHeader.biHeight = -picture_height;
      bmi.bmiHeader.biPlanes = 1;
      bmi.bmiHeader.biBitCount = 32;
      bmi.bmiHeader.biCompression = BI_RGB;
      const bool scaled = client.right != picture_width || client.bottom != picture_height;
      SetStretchBltMode(dc, scaled ? HALFTONE : COLORONCOLOR);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, picture_width, picture_height, picture, &bmi,
                    DIB_RGB_COLORS, SRCCOPY);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (!LoadPicture()) return 1;
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = L"BareWindow";
  if (!RegisterClassW(&wc)) return 1;
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"bare window", WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                              GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
