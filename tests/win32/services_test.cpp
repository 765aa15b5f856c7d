// The Win32 backend's services: Windows-1252 text whatever the system's code
// page, GDI text metrics, the screen, the program folder, program starts
// (quoted, with the shell for elevation), the error message and the end.
#include <gtest/gtest.h>

#include "runtime/start_result.h"
#include "runtime/win32/encoding.h"
#include "runtime/win32/program_folder.h"
#include "runtime/win32/program_start.h"
#include "runtime/win32/safe_loading.h"
#include "runtime/win32/tick_count.h"
#include "tests/win32/support.h"

namespace {

using namespace win32_test;
using rt::win32::Narrow1252;
using rt::win32::Widen1252;

TEST(Encoding, Windows1252WhateverTheSystemsCodePage) {
  ::testing::Test::RecordProperty("ansi_code_page", static_cast<int>(GetACP()));
  EXPECT_EQ(Widen1252("M\xF6" "chten Sie, da\xDF \x80 \x84" "x\x93"), L"M\u00F6" L"chten Sie, da\u00DF \u20AC \u201Ex\u201C");
  EXPECT_EQ(Narrow1252(L"Gr\u00FC\u00DF" L"e \u20AC"), std::optional<std::string>("Gr\xFC\xDF" "e \x80"));
  EXPECT_EQ(Narrow1252(L"\u0416"), std::nullopt);
  EXPECT_EQ(Narrow1252(L"Stra\u00DF" L"e\u03A9"), std::nullopt);  // no best fit for Omega
  EXPECT_EQ(rt::win32::Narrow1252Lossy(L"a\u0416b"), "a?b");
  EXPECT_EQ(rt::win32::ToUtf8(L"\u00DF\u20AC"), "\xC3\x9F\xE2\x82\xAC");
  // Every byte with a meaning in 1252 survives the way there and back.
  for (int b = 1; b < 256; ++b) {
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
    const std::string s(1, static_cast<char>(b));
    EXPECT_EQ(Narrow1252(Widen1252(s)), std::optional<std::string>(s)) << b;
  }
}

TEST(Encoding, AnsiCodePageIsNotUsed) {
  // On a system whose code page is not 1252 the two differ; ours must not.
  const char text[] = "\xF6\xDF\xE4";
  wchar_t acp[8] = {};
  MultiByteToWideChar(CP_ACP, 0, text, 3, acp, 8);
  EXPECT_EQ(Widen1252(text), L"\u00F6\u00DF\u00E4");
  if (GetACP() != 1252) {
    EXPECT_NE(Widen1252(text), std::wstring(acp));
  }
}

using ServicesTest = BackendTest;

TEST_F(ServicesTest, TextIsMeasuredWithTheFontItIsDrawnWith) {
  rt::win32::GdiFonts& fonts = backend.Fonts();
  constexpr rt::FontRecord bold{.weight = 700, .size = 127500, .face = "Arial"};
  constexpr rt::FontRecord sans{.size = 97500, .face = "MS Sans Serif"};
  EXPECT_EQ(fonts.Font(bold), fonts.Font(bold));
  EXPECT_NE(fonts.Font(bold), fonts.Font(sans));
  for (const rt::FontRecord* f : {&bold, &sans}) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, fonts.Font(*f));
    SIZE size{};
    const std::wstring wide = L"M\u00F6" L"chten Sie";
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    LOGFONTW lf{};
    GetObjectW(fonts.Font(*f), sizeof lf, &lf);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(fonts.TextWidth(*f, "M\xF6" "chten Sie"), size.cx);
    EXPECT_EQ(fonts.LineHeight(*f), tm.tmHeight);
    EXPECT_EQ(lf.lfHeight, -fonts.EmPixels(*f));
    EXPECT_EQ(lf.lfWeight, f->weight);
  }
  EXPECT_EQ(fonts.TextWidth(sans, ""), 0);
  EXPECT_GT(fonts.TextWidth(bold, "Wi"), fonts.TextWidth(sans, "Wi"));
  // 9.75 and 12.75 points are 13 and 17 pixels at 96 DPI.
  if (fonts.DpiY() == 96) {
    EXPECT_EQ(fonts.EmPixels(sans), 13);
    EXPECT_EQ(fonts.EmPixels(bold), 17);
    EXPECT_EQ(fonts.EmPixels(rt::kStandardFont), 11);
  }
}

TEST_F(ServicesTest, ScreenInPixelsAndTwipsPerPixelFromTheDpi) {
  const rt::ScreenMetrics m = backend.Screen();
  EXPECT_EQ(m.width_px, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(m.height_px, GetSystemMetrics(SM_CYSCREEN));
  HDC dc = GetDC(nullptr);
  const int dpi_x = GetDeviceCaps(dc, LOGPIXELSX), dpi_y = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  EXPECT_FLOAT_EQ(m.twips_per_pixel_x, 1440.0f / static_cast<float>(dpi_x));
  EXPECT_FLOAT_EQ(m.twips_per_pixel_y, 1440.0f / static_cast<float>(dpi_y));
}

TEST_F(ServicesTest, ClockIsSteadyAndInMicroseconds) {
  const rt::Time a = backend.Now();
  Sleep(50);
  const rt::Time b = backend.Now();
  EXPECT_GE(b.micros - a.micros, 40'000);
  EXPECT_LT(b.micros - a.micros, 2'000'000);
}

std::wstring Lowered(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
  return text;
}

std::wstring ModuleFile(HMODULE module) {
  wchar_t path[MAX_PATH];
  const DWORD n = module ? GetModuleFileNameW(module, path, MAX_PATH) : 0;
  return Lowered(std::wstring(path, n));
}

// An activation context from a manifest written to FOLDER, active while it
// lives: as a program's own manifest, or one planted beside it, makes the
// process's.
class ManifestContext {
 public:
  ManifestContext(const std::wstring& folder, const std::string& body) {
    const std::wstring manifest = folder + L"test.manifest";
    const std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                             "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">" +
                             body + "</assembly>";
    HANDLE file = CreateFileW(manifest.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    ACTCTXW context{};
    context.cbSize = sizeof(context);
    context.lpSource = manifest.c_str();
    context_ = CreateActCtxW(&context);
    DeleteFileW(manifest.c_str());
    if (context_ != INVALID_HANDLE_VALUE && !ActivateActCtx(context_, &cookie_)) cookie_ = 0;
  }
  ~ManifestContext() {
    if (cookie_) DeactivateActCtx(0, cookie_);
    if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
  }
  bool active() const { return cookie_ != 0; }

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

std::wstring TempFolder() {
  wchar_t folder[MAX_PATH];
  const DWORD n = GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder, n);
}

std::wstring WindowsFolder() {
  wchar_t windows[MAX_PATH];
  const UINT n = GetSystemWindowsDirectoryW(windows, MAX_PATH);
  return Lowered(std::wstring(windows, n)) + L"\\";
}

// Version 6 comes only through a manifest's activation context, from the
// side-by-side store; anything else is the Windows folder's own copy, never
// one that the search, or a private assembly, would find elsewhere first.
// (Each test is a process of its own: a library once loaded would be found
// by its name.)
TEST(CommonControls, Version6ThroughTheManifest) {
  const ManifestContext v6(TempFolder(),
                           "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
                           "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"*\" "
                           "publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/></dependentAssembly></dependency>");
  ASSERT_TRUE(v6.active());
  const std::wstring loaded = ModuleFile(rt::win32::LoadCommonControlsLibrary());
  EXPECT_TRUE(loaded.starts_with(WindowsFolder() + L"winsxs\\")) << rt::win32::ToUtf8(loaded);
  EXPECT_TRUE(loaded.ends_with(L"\\comctl32.dll")) << rt::win32::ToUtf8(loaded);
}

TEST(CommonControls, WithoutAManifestTheWindowsFolders) {
  const std::wstring loaded = ModuleFile(rt::win32::LoadCommonControlsLibrary());
  EXPECT_TRUE(loaded.starts_with(WindowsFolder())) << rt::win32::ToUtf8(loaded);
  EXPECT_TRUE(loaded.ends_with(L"\\comctl32.dll")) << rt::win32::ToUtf8(loaded);
}

// A manifest that makes comctl32 a file of its own assembly, beside it (as
// one planted beside the program would): not taken, even with no such
// file there, where the load would fail.
TEST(CommonControls, APrivateAssemblysCopyIsNotTaken) {
  const std::wstring folder = TempFolder() + L"private-comctl32\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  const ManifestContext planted(folder,
                                "<assemblyIdentity type=\"win32\" name=\"Planted\" version=\"1.0.0.0\"/>"
                                "<file name=\"comctl32.dll\"><windowClass>Button</windowClass></file>");
  ASSERT_TRUE(planted.active());
  const std::wstring loaded = ModuleFile(rt::win32::LoadCommonControlsLibrary());
  RemoveDirectoryW(folder.c_str());
  wchar_t system[MAX_PATH];
  const UINT n = GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_EQ(loaded, Lowered(std::wstring(system, n)) + L"\\comctl32.dll");
}

TEST(ProgramFolder, FromTheModulesOwnPath) {
  const std::wstring self = rt::win32::ModulePath();
  EXPECT_TRUE(self.ends_with(L"win32_backend_tests.exe")) << rt::win32::ToUtf8(self);
  EXPECT_EQ(rt::win32::ProgramFolderOf(L"D:\\START.EXE"), "D:\\");
  EXPECT_EQ(rt::win32::ProgramFolderOf(L"\\\\server\\cd\\START.EXE"), "\\\\server\\cd\\");
  EXPECT_EQ(rt::win32::ProgramFolderOf(L"C:\\Spiele\\Gr\u00F6\u00DF" L"e\\START.EXE"),
            "C:\\Spiele\\Gr\xF6\xDF" "e");
  EXPECT_EQ(rt::win32::ProgramTitle(L"D:\\START.EXE"), L"START");
  EXPECT_EQ(rt::win32::ProgramTitle(L"START"), L"START");
}

// A folder the code page cannot spell: its short name where that can be
// spelled (and names the same folder); else '?' for what cannot be. Which
// of the two depends on the file system and the system's OEM code page.
TEST(ProgramFolder, OutsideWindows1252) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  wchar_t long_temp[MAX_PATH];
  GetLongPathNameW(temp, long_temp, MAX_PATH);
  const std::wstring folder = std::wstring(long_temp) + L"\u041C\u0438\u0440\u0435\u043B\u0443\u043D\u0434";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::string result = rt::win32::ProgramFolderOf(folder + L"\\START.EXE");
  wchar_t short_folder[MAX_PATH] = {};
  GetShortPathNameW(folder.c_str(), short_folder, MAX_PATH);
  if (short_folder[0] != 0 && Narrow1252(short_folder)) {
    EXPECT_EQ(result.find('?'), std::string::npos) << result;
    wchar_t back[MAX_PATH] = {};
    GetLongPathNameW(Widen1252(result).c_str(), back, MAX_PATH);
    EXPECT_EQ(std::wstring(back), folder);
  } else {
    EXPECT_EQ(result, rt::win32::Narrow1252Lossy(std::wstring(long_temp)) + "????????");
  }
  RemoveDirectoryW(folder.c_str());
  const std::string missing = rt::win32::ProgramFolderOf(L"C:\\Nirgends\\\u0416\u0416\\START.EXE");
  EXPECT_EQ(missing, "C:\\Nirgends\\??");
}

struct FakeLauncher final : rt::win32::ProcessLauncher {
  unsigned long create_result = 0, shell_result = 0;
  std::vector<std::wstring> created, opened;
  std::vector<int> shows;
  std::vector<void*> owners;
  unsigned long Create(std::wstring& command_line, int show_mode) override {
    created.push_back(command_line);
    shows.push_back(show_mode);
    return create_result;
  }
  unsigned long ShellOpen(const std::wstring& program, int show_mode, void* owner) override {
    opened.push_back(program);
    owners.push_back(owner);
    shows.push_back(show_mode);
    return shell_result;
  }
};

TEST(ProgramStart, QuotedWidenedAndWithTheShowMode) {
  FakeLauncher l;
  EXPECT_EQ(rt::win32::StartProgram("C:\\Program Files\\M\xFCnchen\\Acrobat\\Setup.exe", 3, l, nullptr), 33);
  ASSERT_EQ(l.created.size(), 1u);
  EXPECT_EQ(l.created[0], L"\"C:\\Program Files\\M\u00FCnchen\\Acrobat\\Setup.exe\"");
  EXPECT_EQ(l.shows, (std::vector<int>{3}));
  EXPECT_TRUE(l.opened.empty());
}

TEST(ProgramStart, ElevationGoesThroughTheShellWithThePlainPathAndAnOwner) {
  FakeLauncher l;
  l.create_result = 740;
  int window = 0;  // stands for the launcher's active window
  EXPECT_EQ(rt::win32::StartProgram("D:\\Acrobat\\Setup.exe", 3, l, &window), 33);
  ASSERT_EQ(l.opened.size(), 1u);
  EXPECT_EQ(l.opened[0], L"D:\\Acrobat\\Setup.exe");
  EXPECT_EQ(l.owners, (std::vector<void*>{&window}));
  EXPECT_EQ(l.shows, (std::vector<int>{3, 3}));
  // The user said no at the prompt: an answer, told apart from a failure.
  l.shell_result = 1223;
  EXPECT_EQ(rt::win32::StartProgram("D:\\Acrobat\\Setup.exe", 3, l, &window), rt::kStartCancelled);
  l.shell_result = ERROR_ACCESS_DENIED;
  EXPECT_EQ(rt::win32::StartProgram("D:\\Acrobat\\Setup.exe", 3, l, &window), rt::kStartAccessDenied);
}

TEST(ProgramStart, OtherFailuresAreReportedAsWinExecDoes) {
  FakeLauncher l;
  l.create_result = 3;
  EXPECT_EQ(rt::win32::StartProgram("D:\\Data\\Subset.exe", 3, l, nullptr), 3);
  EXPECT_TRUE(l.opened.empty());
  rt::win32::SystemLauncher system;
  std::wstring missing = L"\"C:\\Nirgends\\Setup.exe\"";
  const unsigned long error = system.Create(missing, SW_SHOWMAXIMIZED);
  EXPECT_TRUE(error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) << error;
  // The shell's start, with shell32 loaded for it, fails the same way.
  const unsigned long shell_error = system.ShellOpen(L"C:\\Nirgends\\Setup.exe", SW_SHOWMAXIMIZED, nullptr);
  EXPECT_TRUE(shell_error == ERROR_PATH_NOT_FOUND || shell_error == ERROR_FILE_NOT_FOUND) << shell_error;
}

// The slot the thread library's GetTickCount64 import is filled from.
#if defined(__i386__)
extern "C" ULONGLONG(WINAPI* const tick_count64_slot)() __asm__("__imp__GetTickCount64@0");
#else
extern "C" ULONGLONG(WINAPI* const tick_count64_slot)() __asm__("__imp_GetTickCount64");
#endif

TEST(TickCount64, TheSystemsWhereItHasOneElseKeptFromGetTickCount) {
  auto* system = reinterpret_cast<ULONGLONG(WINAPI*)()>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
  ASSERT_NE(system, nullptr);  // wine has it, whatever version it reports
  const ULONGLONG before = system();
  const ULONGLONG slot = tick_count64_slot();
  EXPECT_GE(slot, before);
  EXPECT_LE(slot, system());

  // The count kept where the system has none: the system's reading, with
  // the wraps carried above it (none yet in a test's lifetime).
  const std::uint64_t kept = rt::win32::TickCountFromGetTickCount();
  const DWORD behind = GetTickCount() - static_cast<DWORD>(kept);
  EXPECT_LT(behind, 100u);
  EXPECT_LT(kept >> 32, 1u);
  EXPECT_GE(rt::win32::TickCountFromGetTickCount(), kept);
}

struct BoxSeen {
  std::wstring text, title;
  bool program_window_enabled = true;
  HWND program_window = nullptr;
};

DWORD WINAPI AnswerTheBox(void* param) {
  auto* seen = static_cast<BoxSeen*>(param);
  for (int i = 0; i < 500; ++i) {
    HWND box = FindWindowW(L"#32770", nullptr);
    if (box) {
      Sleep(100);
      wchar_t buffer[256] = {};
      GetDlgItemTextW(box, 0xFFFF, buffer, 256);
      seen->text = buffer;
      GetWindowTextW(box, buffer, 256);
      seen->title = buffer;
      seen->program_window_enabled = IsWindowEnabled(seen->program_window) != FALSE;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return 0;
    }
    Sleep(20);
  }
  return 1;
}

const rt::WindowDef kPlain{.name = "frmPlain", .caption = "Plain", .client_left = 600, .client_top = 600,
                           .client_width = 3000, .client_height = 1500};
using Plain = TestForm<kPlain>;

TEST_F(ServicesTest, ErrorMessageShowsTheTextWhileTheProgramsWindowsAreDisabled) {
  Plain& p = Window<Plain>();
  p.Show();
  BoxSeen seen;
  seen.program_window = Hwnd(p);
  HANDLE thread = CreateThread(nullptr, 0, AnswerTheBox, &seen, 0, nullptr);
  backend.ShowErrorMessage("Laufzeitfehler '481':\r\n\r\nUng\xFCltiges Bild");
  WaitForSingleObject(thread, 15000);
  CloseHandle(thread);
  EXPECT_EQ(seen.text, L"Laufzeitfehler '481':\r\n\r\nUng\u00FCltiges Bild");
  EXPECT_EQ(seen.title, L"win32_backend_tests");
  EXPECT_FALSE(seen.program_window_enabled);
  EXPECT_TRUE(IsWindowEnabled(Hwnd(p)));
}

TEST(TerminateDeathTest, EndsTheProcessWithTheStatus) {
  EXPECT_EXIT(
      {
        rt::win32::Win32Backend backend(GetModuleHandleW(nullptr));
        backend.Terminate(7);
      },
      ::testing::ExitedWithCode(7), "");
}

}  // namespace
