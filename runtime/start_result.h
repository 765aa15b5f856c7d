// What a program start answers: WinExec's results, shared by the backends
// that start programs and the logic that tells the user when one failed.
#pragma once

#include "runtime/types.h"

namespace rt {

// Above 31 the program was started; below, the reason it was not.
inline constexpr Long kStartOutOfResources = 0;
inline constexpr Long kStartFileNotFound = 2;
inline constexpr Long kStartPathNotFound = 3;
inline constexpr Long kStartAccessDenied = 5;
inline constexpr Long kStartBadFormat = 11;
// Not one of WinExec's own: the user declined the elevation prompt, so the
// start was answered, not failed. Below 32 like every refusal; no system
// error of a start maps to it.
inline constexpr Long kStartCancelled = 1;
inline constexpr Long kStarted = 33;

constexpr bool StartSucceeded(Long result) { return result > 31; }
constexpr bool StartFoundNothing(Long result) {
  return result == kStartFileNotFound || result == kStartPathNotFound;
}

}  // namespace rt
