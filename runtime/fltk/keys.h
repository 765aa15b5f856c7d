// Keyboard input as FLTK reports it, turned into the core's typed keys. The
// core does all keyboard logic; this only names what was pressed.
#pragma once

#include <string_view>

#include "runtime/backend.h"

namespace rt::fltk {

// What Fl::event_key(), Fl::event_state() and Fl::event_text() said.
struct RawKey {
  int key = 0;
  int state = 0;
  std::string_view text{};  // UTF-8
};

enum class KeyAction { kIgnore, kKey, kClose };

struct TranslatedKey {
  KeyAction action = KeyAction::kIgnore;
  KeyInput input{};
};

// Alt+F4 asks to close, as the system menu does on Windows. Keys with Ctrl or
// Meta, function and navigation keys, and lone modifiers are ignored.
TranslatedKey TranslateKey(const RawKey& raw);

}  // namespace rt::fltk
