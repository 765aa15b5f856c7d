// Translation of FLTK key events.
#include "runtime/fltk/keys.h"

#include "runtime/fltk/encoding.h"

#include <FL/Enumerations.H>

namespace rt::fltk {

namespace {
TranslatedKey Key(rt::Key k, bool alt = false) { return {KeyAction::kKey, KeyInput{k, 0, alt}}; }
}  // namespace

TranslatedKey TranslateKey(const RawKey& raw) {
  const bool alt = (raw.state & FL_ALT) != 0;
  const bool shift = (raw.state & FL_SHIFT) != 0;
  if (raw.state & (FL_CTRL | FL_META)) return {};
  switch (raw.key) {
    case FL_Enter:
    case FL_KP_Enter:
      return Key(rt::Key::kEnter, alt);
    case FL_Escape:
      return Key(rt::Key::kEscape, alt);
    case FL_Tab:
      return Key(shift ? rt::Key::kBackTab : rt::Key::kTab, alt);
    case ' ':
      return Key(rt::Key::kSpace, alt);
    case FL_F + 4:
      return alt ? TranslatedKey{KeyAction::kClose, {}} : TranslatedKey{};
    default:
      break;
  }
  // With Alt the text may be empty or composed; the key symbol of a Latin-1
  // key is its character (lower case, which the core does not mind).
  unsigned char ch = 0;
  if (alt) {
    if (raw.key > ' ' && raw.key <= 0xFF && raw.key != 0x7F) ch = static_cast<unsigned char>(raw.key);
  } else {
    ch = FirstCharAsWindows1252(raw.text);
    if (ch < 0x20 || ch == 0x7F) ch = 0;
  }
  if (ch == 0) return {};
  TranslatedKey t = Key(rt::Key::kChar, alt);
  t.input.ch = static_cast<char>(ch);
  return t;
}

}  // namespace rt::fltk
