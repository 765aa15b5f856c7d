// The one way the backend includes the Windows API and the common controls:
// lean, without min/max macros, and without the CreateWindow macro that would
// rename the backend's own CreateWindow override.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#ifdef CreateWindow
#undef CreateWindow
#endif
