// Starting programs from Windows-style command lines: the case-insensitive
// path, blanks, the kinds of file, wine, and that nothing is waited for and
// no zombie is left behind.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "gtest/gtest.h"
#include "runtime/fltk/program_folder.h"
#include "runtime/fltk/program_start.h"

namespace d = rt::fltk::detail;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const fs::path& path, const std::string& text, fs::perms perms) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
  fs::permissions(path, perms);
}

constexpr fs::perms kExecutable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec;
constexpr fs::perms kReadOnly = fs::perms::owner_read | fs::perms::owner_write;

// A PE file's smallest recognisable form: "MZ", e_lfanew at 0x3C, "PE\0\0".
std::string PeImage(std::uint32_t pe_offset, bool with_signature) {
  std::string image(0x80, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  for (int i = 0; i < 4; ++i) image[0x3C + i] = static_cast<char>((pe_offset >> (8 * i)) & 0xFF);
  if (with_signature) image.replace(pe_offset, 4, std::string("PE\0\0", 4));
  return image;
}

// Processes whose parent is this one and that are zombies.
int ZombieChildren() {
  int count = 0;
  for (const fs::directory_entry& e : fs::directory_iterator("/proc")) {
    const std::string stat = ReadFile(e.path() / "stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    int ppid = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == getpid() && state == 'Z')
      ++count;
  }
  return count;
}

class StartProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/program_start_XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    root_ = templ;
    log_ = root_ / "log";
    const char* path = std::getenv("PATH");
    saved_path_ = path ? path : "";
  }
  void TearDown() override {
    setenv("PATH", saved_path_.c_str(), 1);
    fs::remove_all(root_);
  }

  // A script that logs its tag, its own path and its arguments as one line.
  void Script(const fs::path& path, const std::string& tag, fs::perms perms = kExecutable) {
    WriteFile(path, "#!/bin/sh\necho \"" + tag + "|$0|$#|$*\" >> '" + log_.string() + "'\n", perms);
  }

  // The log once it has `lines` lines, or what it has after two seconds.
  std::string Log(int lines = 1) {
    for (int i = 0; i < 200; ++i) {
      const std::string text = ReadFile(log_);
      if (std::count(text.begin(), text.end(), '\n') >= lines) return text;
      std::this_thread::sleep_for(10ms);
    }
    return ReadFile(log_);
  }

  fs::path root_, log_;
  std::string saved_path_;
};

TEST_F(StartProgramTest, FindsNamesWhateverTheirCase) {
  Script(root_ / "Acrobat" / "Setup.exe", "acrobat");
  const std::string line = root_.string() + "/ACROBAT\\SETUP.EXE";
  rt::Long error = 0;
  EXPECT_EQ(d::ResolveWindowsPath(line, error), (root_ / "Acrobat" / "Setup.exe").string());
  EXPECT_GT(rt::fltk::StartProgram(line, rt::kShowMaximized), 31);
  EXPECT_EQ(Log(), "acrobat|" + (root_ / "Acrobat" / "Setup.exe").string() + "|0|\n");
}

TEST_F(StartProgramTest, PrefersTheExactNameAndOtherwiseTheSmallest) {
  Script(root_ / "Data" / "Subset.exe", "mixed");
  Script(root_ / "Data" / "SUBSET.EXE", "upper");
  Script(root_ / "Data" / "subset.exe", "lower");
  rt::Long error = 0;
  EXPECT_EQ(d::ResolveWindowsPath(root_.string() + "\\Data\\Subset.exe", error), (root_ / "Data/Subset.exe").string());
  EXPECT_EQ(d::ResolveWindowsPath(root_.string() + "\\data\\subset.exe", error), (root_ / "Data/subset.exe").string());
  EXPECT_EQ(d::ResolveWindowsPath(root_.string() + "\\DATA\\SubSet.Exe", error), (root_ / "Data/SUBSET.EXE").string());
}

TEST_F(StartProgramTest, APathWithBlanksIsOneFileNotAProgramWithArguments) {
  Script(root_ / "My CD" / "Acrobat" / "Setup.exe", "real");
  Script(root_ / "My", "decoy");
  EXPECT_GT(rt::fltk::StartProgram(root_.string() + "/My CD\\Acrobat\\Setup.exe", 3), 31);
  EXPECT_GT(rt::fltk::StartProgram("\"" + root_.string() + "/My CD\\acrobat\\setup.exe\"", 3), 31);
  const std::string expected = "real|" + (root_ / "My CD/Acrobat/Setup.exe").string() + "|0|\n";
  EXPECT_EQ(Log(2), expected + expected);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(ReadFile(log_).find("decoy"), std::string::npos);
}

// The program folder is a Linux path: its own backslashes are characters of
// its names, and only the setup's Windows-style part has separators to turn.
TEST_F(StartProgramTest, TheProgramFoldersOwnBackslashesStayAsTheyAre) {
  const fs::path cd = root_ / "back\\slash";
  Script(cd / "Acrobat" / "Setup.exe", "acrobat");
  Script(cd / "Data" / "Subset.exe", "game");
  Script(root_ / "back" / "slash" / "Acrobat" / "Setup.exe", "decoy");
  const std::string folder = cd.string();
  // A copied CD: the folder, a separator, the setup.
  EXPECT_GT(rt::fltk::StartProgram(folder + "/Acrobat\\Setup.exe", 3, folder), 31);
  // A mounted CD: the folder ends in its separator.
  EXPECT_GT(rt::fltk::StartProgram(folder + "/Data\\Subset.exe", 3, folder + "/"), 31);
  EXPECT_EQ(Log(2), "acrobat|" + (cd / "Acrobat/Setup.exe").string() + "|0|\n" + "game|" +
                        (cd / "Data/Subset.exe").string() + "|0|\n");
  // A line that does not begin with the folder is Windows-style throughout.
  rt::Long error = 0;
  EXPECT_EQ(d::ResolveWindowsPath(folder + "/Acrobat\\Setup.exe", error),
            (root_ / "back" / "slash" / "Acrobat" / "Setup.exe").string());
  // A folder is a whole name: ".../back" is not the folder of ".../backup\\...".
  Script(root_ / "backup" / "Setup.exe", "backup");
  EXPECT_EQ(d::ResolveWindowsPath((root_ / "backup").string() + "\\Setup.exe", error, (root_ / "back").string()),
            (root_ / "backup" / "Setup.exe").string());
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(ReadFile(log_).find("decoy"), std::string::npos);
}

TEST_F(StartProgramTest, MissingFilesAndFoldersAreReportedAndNothingStarts) {
  Script(root_ / "Acrobat" / "Setup.exe", "acrobat");
  const std::string r = root_.string();
  EXPECT_EQ(rt::fltk::StartProgram(r + "\\Acrobat\\Missing.exe", 3), d::kFileNotFound);
  EXPECT_EQ(rt::fltk::StartProgram(r + "\\Nowhere\\Setup.exe", 3), d::kPathNotFound);
  EXPECT_EQ(rt::fltk::StartProgram(r + "\\Acrobat\\Setup.exe\\Setup.exe", 3), d::kPathNotFound);
  EXPECT_EQ(rt::fltk::StartProgram("", 3), d::kFileNotFound);
  EXPECT_EQ(rt::fltk::StartProgram(r + "\\Acrobat", 3), d::kAccessDenied);
  std::this_thread::sleep_for(100ms);
  EXPECT_FALSE(fs::exists(log_));
}

TEST_F(StartProgramTest, FilesThatAreNoProgramsAreNotStarted) {
  Script(root_ / "noexec.sh", "noexec", kReadOnly);
  WriteFile(root_ / "text.exe", "echo not a script\n", kExecutable);
  WriteFile(root_ / "broken.sh", "#!/nonexistent/interpreter\n", kExecutable);
  EXPECT_EQ(rt::fltk::StartProgram(root_.string() + "/noexec.sh", 3), d::kAccessDenied);
  EXPECT_EQ(rt::fltk::StartProgram(root_.string() + "/text.exe", 3), d::kBadFormat);
  // The exec failure of the started program itself comes back.
  EXPECT_EQ(rt::fltk::StartProgram(root_.string() + "/broken.sh", 3), d::kFileNotFound);
  EXPECT_FALSE(fs::exists(log_));
}

TEST_F(StartProgramTest, TellsTheKindsOfFileApart) {
  WriteFile(root_ / "pe.exe", PeImage(0x40, true), kReadOnly);
  WriteFile(root_ / "dos.exe", PeImage(0x40, false), kReadOnly);
  WriteFile(root_ / "far.exe", PeImage(0x10000, false), kReadOnly);
  WriteFile(root_ / "short", "MZ", kReadOnly);
  fs::copy_file("/bin/true", root_ / "elf");
  EXPECT_EQ(d::KindOfFile((root_ / "pe.exe").string()), d::ProgramKind::kWindows);
  EXPECT_EQ(d::KindOfFile((root_ / "dos.exe").string()), d::ProgramKind::kOther);
  EXPECT_EQ(d::KindOfFile((root_ / "far.exe").string()), d::ProgramKind::kOther);
  EXPECT_EQ(d::KindOfFile((root_ / "short").string()), d::ProgramKind::kOther);
  EXPECT_EQ(d::KindOfFile((root_ / "elf").string()), d::ProgramKind::kNative);
  EXPECT_EQ(d::KindOfFile((root_ / "none").string()), d::ProgramKind::kUnreadable);
}

TEST_F(StartProgramTest, AWindowsProgramNeedsWine) {
  WriteFile(root_ / "cd" / "Setup.exe", PeImage(0x40, true), kReadOnly);
  WriteFile(root_ / "cd" / "Dos.exe", PeImage(0x40, false), kReadOnly);
  fs::create_directories(root_ / "nowine");
  setenv("PATH", (root_ / "nowine").c_str(), 1);
  EXPECT_EQ(rt::fltk::StartProgram(root_.string() + "/CD/SETUP.EXE", 3), d::kBadFormat);

  Script(root_ / "bin" / "wine", "wine");
  setenv("PATH", ("::" + (root_ / "nowine").string() + ":" + (root_ / "bin").string()).c_str(), 1);
  EXPECT_EQ(d::FindInPath("wine", std::getenv("PATH")), (root_ / "bin" / "wine").string());
  EXPECT_EQ(rt::fltk::StartProgram(root_.string() + "/CD/Dos.exe", 3), d::kBadFormat);
  EXPECT_GT(rt::fltk::StartProgram(root_.string() + "/CD/SETUP.EXE", 3), 31);
  EXPECT_EQ(Log(), "wine|" + (root_ / "bin/wine").string() + "|1|" + (root_ / "cd/Setup.exe").string() + "\n");
}

TEST_F(StartProgramTest, WineIsOnlyTakenWhenItIsAnExecutableFile) {
  WriteFile(root_ / "a" / "wine", "#!/bin/sh\n", kReadOnly);
  fs::create_directories(root_ / "b" / "wine");
  Script(root_ / "c" / "wine", "wine");
  const std::string a = (root_ / "a").string(), b = (root_ / "b").string(), c = (root_ / "c").string();
  EXPECT_EQ(d::FindInPath("wine", a + ":" + b), "");
  EXPECT_EQ(d::FindInPath("wine", a + ":" + b + ":" + c), c + "/wine");
  EXPECT_EQ(d::FindInPath("wine", ""), "");
}

TEST_F(StartProgramTest, ReturnsAtOnceAndLeavesNoZombieNorTakesOtherChildren) {
  // A child of the test's own, finished before the start: it must still be
  // there to be reaped afterwards.
  const pid_t own = fork();
  if (own == 0) _exit(7);

  WriteFile(root_ / "long.sh", "#!/bin/sh\necho $$ >> '" + log_.string() + "'\nexec /bin/sleep 30\n", kExecutable);
  const auto before = std::chrono::steady_clock::now();
  EXPECT_GT(rt::fltk::StartProgram((root_ / "long.sh").string(), 3), 31);
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
  const pid_t program = std::atoi(Log().c_str());
  ASSERT_GT(program, 0);

  // The program is no child of the launcher, so nothing has to reap it.
  const std::string stat = ReadFile("/proc/" + std::to_string(program) + "/stat");
  int ppid = 0;
  ASSERT_EQ(std::sscanf(stat.c_str() + stat.rfind(')') + 1, " %*c %d", &ppid), 1);
  EXPECT_NE(ppid, getpid());
  kill(program, SIGKILL);

  Script(root_ / "quick.sh", "quick");
  EXPECT_GT(rt::fltk::StartProgram((root_ / "quick.sh").string(), 3), 31);
  EXPECT_NE(Log(2).find("quick|"), std::string::npos);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(ZombieChildren(), 1);  // only the test's own child

  int status = 0;
  ASSERT_EQ(waitpid(own, &status, 0), own);
  EXPECT_EQ(WEXITSTATUS(status), 7);
  EXPECT_EQ(ZombieChildren(), 0);
}

}  // namespace
