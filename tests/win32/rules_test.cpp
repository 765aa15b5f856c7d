// The Win32 backend's pure rules, on every platform: the program folder from
// the module's path, command line quoting, WinExec's results, and the
// 64-bit tick count kept for systems without GetTickCount64.
#include <gtest/gtest.h>

#include "runtime/win32/command_rules.h"
#include "runtime/win32/folder_rules.h"
#include "runtime/win32/tick_count.h"

namespace {

using rt::win32::FolderOfModule;
using rt::win32::IsRootFolder;

TEST(FolderOfModule, DriveRootKeepsItsBackslash) {
  EXPECT_EQ(FolderOfModule(L"D:\\START.EXE"), L"D:\\");
  EXPECT_EQ(FolderOfModule(L"d:\\start.exe"), L"d:\\");
  EXPECT_EQ(FolderOfModule(L"D:\\\\START.EXE"), L"D:\\");
}

TEST(FolderOfModule, OtherFoldersHaveNone) {
  EXPECT_EQ(FolderOfModule(L"C:\\Spiele\\Mirelund\\START.EXE"), L"C:\\Spiele\\Mirelund");
  EXPECT_EQ(FolderOfModule(L"C:\\Program Files\\Mirelund CD\\START.EXE"), L"C:\\Program Files\\Mirelund CD");
  EXPECT_EQ(FolderOfModule(L"C:\\a\\\\START.EXE"), L"C:\\a");
  EXPECT_EQ(FolderOfModule(L"C:\\Gr\u00F6\u00DF" L"e\\x.exe"), L"C:\\Gr\u00F6\u00DF" L"e");
}

TEST(FolderOfModule, ShareRootKeepsItsBackslash) {
  EXPECT_EQ(FolderOfModule(L"\\\\server\\cd\\START.EXE"), L"\\\\server\\cd\\");
  EXPECT_EQ(FolderOfModule(L"\\\\server\\cd\\Mirelund\\START.EXE"), L"\\\\server\\cd\\Mirelund");
  EXPECT_EQ(FolderOfModule(L"\\\\server\\cd\\\\START.EXE"), L"\\\\server\\cd\\");
}

TEST(FolderOfModule, LongPathPrefixIsDropped) {
  EXPECT_EQ(FolderOfModule(L"\\\\?\\D:\\START.EXE"), L"D:\\");
  EXPECT_EQ(FolderOfModule(L"\\\\?\\C:\\lang\\START.EXE"), L"C:\\lang");
  EXPECT_EQ(FolderOfModule(L"\\\\?\\z:\\START.EXE"), L"z:\\");
  EXPECT_EQ(FolderOfModule(L"\\\\?\\Z:\\START.EXE"), L"Z:\\");
  EXPECT_EQ(FolderOfModule(L"\\\\?\\a:\\START.EXE"), L"a:\\");
  EXPECT_EQ(FolderOfModule(L"\\\\?\\UNC\\server\\cd\\START.EXE"), L"\\\\server\\cd\\");
  EXPECT_EQ(FolderOfModule(L"\\\\?\\unc\\server\\cd\\x\\START.EXE"), L"\\\\server\\cd\\x");
  // Only a whole prefix counts, and a drive after it only with its colon.
  EXPECT_EQ(FolderOfModule(L"\\\\?\\C:"), L"");
  EXPECT_EQ(FolderOfModule(L"\\\\?\\UNC\\"), L"");
  EXPECT_EQ(FolderOfModule(L"x\\?\\UNC\\s\\h\\START.EXE"), L"x\\?\\UNC\\s\\h");
  // A volume without a drive letter keeps its prefix and is a root.
  EXPECT_EQ(FolderOfModule(L"\\\\?\\Volume{1234}\\START.EXE"), L"\\\\?\\Volume{1234}\\");
}

TEST(FolderOfModule, PathWithoutFolderGivesNone) {
  EXPECT_EQ(FolderOfModule(L"START.EXE"), L"");
  EXPECT_EQ(FolderOfModule(L""), L"");
}

TEST(IsRootFolder, DrivesAndSharesOnly) {
  EXPECT_TRUE(IsRootFolder(L"C:"));
  EXPECT_TRUE(IsRootFolder(L"\\\\s\\h"));
  EXPECT_FALSE(IsRootFolder(L"C:\\x"));
  EXPECT_FALSE(IsRootFolder(L"C"));
  EXPECT_FALSE(IsRootFolder(L"1:"));
  for (const wchar_t* drive : {L"A:", L"a:", L"Z:", L"z:"}) EXPECT_TRUE(IsRootFolder(drive)) << drive;
  for (const wchar_t* other : {L"@:", L"[:", L"`:", L"{:"}) EXPECT_FALSE(IsRootFolder(other)) << other;
  EXPECT_FALSE(IsRootFolder(L"\\\\s"));
  EXPECT_FALSE(IsRootFolder(L"\\\\s\\"));
  EXPECT_FALSE(IsRootFolder(L"\\\\\\h"));
  EXPECT_FALSE(IsRootFolder(L"\\\\s\\h\\x"));
  EXPECT_TRUE(IsRootFolder(L"\\\\?\\Volume{1234}"));
  EXPECT_FALSE(IsRootFolder(L"\\\\s\\\\h"));
  EXPECT_FALSE(IsRootFolder(L"\\\\?\\"));
  EXPECT_FALSE(IsRootFolder(L"\\\\?\\Volume{1234}\\x"));
}

TEST(QuoteCommandLine, TheWholePathInQuotes) {
  EXPECT_EQ(rt::win32::QuoteCommandLine("D:\\Acrobat\\Setup.exe"), "\"D:\\Acrobat\\Setup.exe\"");
  EXPECT_EQ(rt::win32::QuoteCommandLine("C:\\Program Files\\CD\\Data\\Subset.exe"),
            "\"C:\\Program Files\\CD\\Data\\Subset.exe\"");
  EXPECT_EQ(rt::win32::QuoteCommandLine("\"D:\\x.exe\""), "\"D:\\x.exe\"");
  EXPECT_EQ(rt::win32::QuoteCommandLine(""), "\"\"");
}

TEST(ProgramPathOf, WithoutTheQuotes) {
  EXPECT_EQ(rt::win32::ProgramPathOf("\"C:\\Program Files\\x.exe\""), "C:\\Program Files\\x.exe");
  EXPECT_EQ(rt::win32::ProgramPathOf("C:\\Program Files\\x.exe"), "C:\\Program Files\\x.exe");
  EXPECT_EQ(rt::win32::ProgramPathOf("\"D:\\x.exe"), "D:\\x.exe");
}

TEST(WinExecResult, AsWinExecAnswers) {
  EXPECT_GT(rt::win32::WinExecResult(0), 31);
  EXPECT_EQ(rt::win32::WinExecResult(2), 2);
  EXPECT_EQ(rt::win32::WinExecResult(3), 3);
  EXPECT_EQ(rt::win32::WinExecResult(5), 5);
  // 31 is the last error WinExec can answer itself; 32 on would read as a start.
  EXPECT_EQ(rt::win32::WinExecResult(31), 31);
  EXPECT_EQ(rt::win32::WinExecResult(32), 11);
  EXPECT_EQ(rt::win32::WinExecResult(33), 11);
  EXPECT_EQ(rt::win32::WinExecResult(193), 11);
  EXPECT_EQ(rt::win32::WinExecResult(1223), rt::kStartCancelled);
  // No system error may pass for a declined prompt.
  EXPECT_EQ(rt::win32::WinExecResult(static_cast<unsigned long>(rt::kStartCancelled)), 11);
}

TEST(NextTickCount, CarriesTheWrapAndNeverGoesBack) {
  using rt::win32::NextTickCount;
  // The first reading starts the count, however long the system has run.
  EXPECT_EQ(NextTickCount(rt::win32::kNoTickCount, 0xF0000000u), 0xF0000000u);
  EXPECT_EQ(NextTickCount(1000, 1016), 1016u);
  // Across the wrap of the 32-bit reading, and again a wrap later.
  EXPECT_EQ(NextTickCount(0xFFFFFFF0u, 0x10), 0x100000010u);
  EXPECT_EQ(NextTickCount(0x1FFFFFFFFu, 5), 0x200000005u);
  // A reading taken before another thread stored a later count.
  EXPECT_EQ(NextTickCount(0x100000010u, 0x0F), 0x100000010u);
  EXPECT_EQ(NextTickCount(0x100000010u, 0xFFFFFFF0u), 0x100000010u);
  // Up to 2^31 - 1 ms ahead is ahead; exactly 2^31 is taken as behind.
  EXPECT_EQ(NextTickCount(0, 0x7FFFFFFFu), 0x7FFFFFFFu);
  EXPECT_EQ(NextTickCount(1, 0x80000001u), 1u);
}

}  // namespace
