// The message loop. Keys that work a dialog (Enter, Escape, Tab, Shift+Tab,
// Space, Alt+letter, plain letters) go to the core, which owns focus order,
// default and cancel buttons, access keys and modality; neither the system's
// dialog manager nor the buttons themselves see them. Everything else is
// translated and dispatched as usual, so Alt+F4 and Alt+Space still work.
#include "runtime/win32/backend.h"
#include "runtime/win32/encoding.h"

namespace rt::win32 {

namespace {

// Enough for what piles up between two polls of a busy loop, few enough that
// the loop gets to look at its clock again soon.
constexpr int kMaxMessagesPerPoll = 100;
// How long a poll with nothing queued sleeps: input ends it at once, and a
// busy loop sees its deadline at most this much late. Windows ends a wait on
// its next clock tick (15.6 ms apart unless some program asked for finer
// ones), so 30 ms is at most 46.9 ms.
constexpr DWORD kIdleWaitMs = 30;

bool IsRoutedKey(WPARAM vk) { return vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_TAB || vk == VK_SPACE; }

// A key held down repeats; only Tab's repeats mean something (the focus moves
// on). A held Enter must not answer one dialog after the other.
bool IsRepeat(const MSG& msg) { return (msg.lParam & (1L << 30)) != 0; }

}  // namespace

void Win32Backend::WaitEvents() {
  MSG msg;
  // Blocks until a message is posted; a WM_QUIT (nobody of ours posts one)
  // ends nothing: the core decides when the program ends.
  if (GetMessageW(&msg, nullptr, 0, 0) > 0) Handle(msg);
}

// The wait comes first: it returns at once when anything is queued, and an
// idle poll then asks the queue nothing more. Under wine each question is a
// round trip to its server, which wakes the program once more.
void Win32Backend::ProcessPendingEvents() {
  if (MsgWaitForMultipleObjectsEx(0, nullptr, kIdleWaitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_TIMEOUT) return;
  MSG msg;
  int handled = 0;
  while (handled < kMaxMessagesPerPoll && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message != WM_QUIT) Handle(msg);
    ++handled;
  }
}

void Win32Backend::Handle(const MSG& msg) {
  NotePress(msg);
  if (RouteKey(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

// The message's own time is when the button went down; it is taken back
// onto Now()'s clock by its age.
void Win32Backend::NotePress(const MSG& msg) {
  if (msg.message != WM_LBUTTONDOWN && msg.message != WM_LBUTTONDBLCLK) return;
  const DWORD age_ms = GetTickCount() - msg.time;
  pressed_window_ = msg.hwnd;
  pressed_at_ = {Now().micros - static_cast<std::int64_t>(age_ms) * 1000};
}

void Win32Backend::ShowKeyboardCues(HWND root, WORD flags) {
  SendMessageW(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, flags), 0);
}

// True when the key went to the core. The core may destroy the window it
// went to, so nothing of it is used after the call.
bool Win32Backend::RouteKey(const MSG& msg) {
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_SYSKEYDOWN:
      break;
    default:
      return false;
  }
  NativeWindow* w = WindowOf(msg.hwnd);
  if (!w || !sink_) return false;
  Form& form = w->form;
  switch (msg.message) {
    case WM_KEYDOWN: {
      if (!IsRoutedKey(msg.wParam)) return false;
      if (IsRepeat(msg) && msg.wParam != VK_TAB) return true;
      KeyInput key;
      if (msg.wParam == VK_RETURN) key.key = Key::kEnter;
      if (msg.wParam == VK_ESCAPE) key.key = Key::kEscape;
      if (msg.wParam == VK_SPACE) key.key = Key::kSpace;
      if (msg.wParam == VK_TAB) {
        key.key = GetKeyState(VK_SHIFT) < 0 ? Key::kBackTab : Key::kTab;
        ShowKeyboardCues(w->hwnd, UISF_HIDEFOCUS);
      }
      // Not translated: no WM_CHAR follows for these.
      sink_->OnKey(form, key);
      return true;
    }
    case WM_KEYUP:
      // Their key-downs went to the core; a button seeing only the key-up of
      // Space would not click, but keep it from seeing any of it.
      return IsRoutedKey(msg.wParam);
    case WM_SYSKEYDOWN:
      if (msg.wParam == VK_MENU) ShowKeyboardCues(w->hwnd, UISF_HIDEACCEL | UISF_HIDEFOCUS);
      return false;  // Alt+F4 and the other system keys stay the system's
    default:
      break;
  }
  // WM_CHAR and WM_SYSCHAR: a character typed, with Alt for the latter.
  const auto wide = static_cast<wchar_t>(msg.wParam);
  const bool alt = msg.message == WM_SYSCHAR;
  if (alt && wide == L' ') return false;  // Alt+Space: the system menu
  if (wide < 0x20 || IsRepeat(msg)) return true;  // control characters press nothing
  const std::optional<std::string> ch = Narrow1252(std::wstring_view(&wide, 1));
  if (!ch || ch->size() != 1) return true;
  sink_->OnKey(form, {Key::kChar, (*ch)[0], alt});
  return true;
}

}  // namespace rt::win32
