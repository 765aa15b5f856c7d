// GetTickCount64 for Windows XP. The C++ runtime's thread library (Debian's
// MinGW-w64 10 winpthreads, built for Vista and later) imports it for its
// timed waits, and XP, whose KERNEL32 lacks it, refuses to load a program
// with that import. This object fills the import's slot itself, so the
// linker takes nothing from KERNEL32 for it: the system's own function
// where there is one, found at run time, else a count kept from
// GetTickCount. It must be linked as an object, not from an archive, to be
// there before the thread library asks for the slot.
#include <atomic>

#include "runtime/win32/tick_count.h"
#include "runtime/win32/win32_api.h"

namespace rt::win32 {

std::uint64_t TickCountFromGetTickCount() {
  static std::atomic<std::uint64_t> count{kNoTickCount};
  std::uint64_t last = count.load(std::memory_order_relaxed);
  for (;;) {
    const std::uint64_t next = NextTickCount(last, GetTickCount());
    if (next == last || count.compare_exchange_weak(last, next, std::memory_order_relaxed)) return next;
  }
}

namespace {

using TickCount64Function = ULONGLONG(WINAPI*)();

ULONGLONG WINAPI KeptTickCount64() { return TickCountFromGetTickCount(); }

TickCount64Function FindTickCount64() {
  if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll"))
    if (FARPROC f = GetProcAddress(kernel, "GetTickCount64"))
      return reinterpret_cast<TickCount64Function>(reinterpret_cast<void (*)()>(f));
  return &KeptTickCount64;
}

ULONGLONG WINAPI TickCount64() {
  // Threads that race here find the same function.
  static std::atomic<TickCount64Function> found{nullptr};
  TickCount64Function f = found.load(std::memory_order_relaxed);
  if (!f) {
    f = FindTickCount64();
    found.store(f, std::memory_order_relaxed);
  }
  return f();
}

}  // namespace
}  // namespace rt::win32

// The import slot under the name the compiler gives a dllimport of
// GetTickCount64 (stdcall on i686).
#if defined(__i386__)
#define START_TICK_COUNT64_SLOT "__imp__GetTickCount64@0"
#else
#define START_TICK_COUNT64_SLOT "__imp_GetTickCount64"
#endif
extern "C" {
extern ULONGLONG(WINAPI* const start_tick_count64_slot)() __asm__(START_TICK_COUNT64_SLOT);
ULONGLONG(WINAPI* const start_tick_count64_slot)() __asm__(START_TICK_COUNT64_SLOT) = &rt::win32::TickCount64;
}
