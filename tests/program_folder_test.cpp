// The program folder: mountinfo decoding, the volume root mark, and the real
// ProgramFolder() of a program run from a bind mount in a private namespace.
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "runtime/fltk/program_folder.h"

namespace d = rt::fltk::detail;
namespace fs = std::filesystem;

namespace {

TEST(Mountinfo, DecodesTheKernelsOctalEscapes) {
  EXPECT_EQ(d::DecodeMountinfoField("/media/My\\040CD"), "/media/My CD");
  EXPECT_EQ(d::DecodeMountinfoField("a\\011b\\012c\\134d"), "a\tb\nc\\d");
  EXPECT_EQ(d::DecodeMountinfoField("/x\\040\\040y"), "/x  y");
}

TEST(Mountinfo, LeavesWhatIsNoEscapeAlone) {
  EXPECT_EQ(d::DecodeMountinfoField("/a\\04"), "/a\\04");
  EXPECT_EQ(d::DecodeMountinfoField("/a\\089b"), "/a\\089b");
  EXPECT_EQ(d::DecodeMountinfoField("/Spi\xC3\xA9le"), "/Spi\xC3\xA9le");
  EXPECT_EQ(d::DecodeMountinfoField("\\"), "\\");
}

constexpr std::string_view kMountinfo =
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "35 22 0:30 / /proc rw,nosuid shared:12 - proc proc rw\n"
    "61 22 11:0 / /media/My\\040CD\\040\xC3\x84 ro,relatime shared:30 - iso9660 /dev/sr0 ro\n"
    "62 22 8:1 /home/a /mnt/bind\\134x rw shared:1 - ext4 /dev/sda1 rw";  // no final newline

TEST(Mountinfo, ListsTheDecodedMountPointOfEveryLine) {
  const std::vector<std::string> expected{"/", "/proc", "/media/My CD \xC3\x84", "/mnt/bind\\x"};
  EXPECT_EQ(d::MountPoints(kMountinfo), expected);
  EXPECT_TRUE(d::MountPoints("").empty());
}

TEST(ProgramFolderText, ParentFolderKeepsBlanksAndDropsTheName) {
  EXPECT_EQ(d::ParentFolder("/a/b/start"), "/a/b");
  EXPECT_EQ(d::ParentFolder("/media/My CD/start"), "/media/My CD");
  EXPECT_EQ(d::ParentFolder("/start"), "/");
}

TEST(ProgramFolderText, OnlyAMountPointGetsTheTrailingSlash) {
  EXPECT_EQ(d::MarkMountRoot("/media/My CD \xC3\x84", kMountinfo), "/media/My CD \xC3\x84/");
  EXPECT_EQ(d::MarkMountRoot("/media/My CD \xC3\x84/Data", kMountinfo), "/media/My CD \xC3\x84/Data");
  EXPECT_EQ(d::MarkMountRoot("/media/My", kMountinfo), "/media/My");
  EXPECT_EQ(d::MarkMountRoot("/mnt/bind\\x", kMountinfo), "/mnt/bind\\x/");
  EXPECT_EQ(d::MarkMountRoot("/", kMountinfo), "/");
  EXPECT_EQ(d::MarkMountRoot("/", ""), "/");
}

// Runs argv without a shell and returns what it printed; exit status in *rc.
std::string RunCapture(const std::vector<std::string>& args, int* rc) {
  int out[2];
  if (pipe(out) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  std::string text;
  char buffer[512];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  *rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return text;
}

class MountedFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/program_folder_XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    base_ = templ;
    cd_ = base_ / "Mein CD \xC3\x84";
    other_ = base_ / "Nicht gemountet";
    fs::create_directories(cd_ / "Unter Ordner");
    fs::create_directories(other_);
    for (const fs::path& dir : {cd_, cd_ / "Unter Ordner", other_})
      fs::copy_file(PROGRAM_FOLDER_PRINTER, dir / "printer");
    fs::create_symlink(other_ / "printer", cd_ / "link");
  }
  void TearDown() override { fs::remove_all(base_); }

  // Each program's two answers, in a namespace where cd_ is bound onto itself.
  std::string RunInNamespace(int* rc) {
    const std::string script =
        "mount --bind \"$1\" \"$1\" && \"$1/printer\" && \"$1/Unter Ordner/printer\" && \"$1/link\" && "
        "\"$2/printer\"";
    return RunCapture({"unshare", "-m", "--propagation", "private", "sh", "-c", script, "sh", cd_, other_}, rc);
  }

  fs::path base_, cd_, other_;
};

TEST_F(MountedFolder, RootOfABindMountEndsInSlashAndNothingElseDoes) {
  int rc = 0;
  if (RunCapture({"unshare", "-m", "true"}, &rc).empty() && rc != 0) GTEST_SKIP() << "no mount namespaces here";
  const std::string out = RunInNamespace(&rc);
  ASSERT_EQ(rc, 0) << out;
  const std::string root = cd_.string() + "/";
  const std::string sub = (cd_ / "Unter Ordner").string();
  const std::string other = other_.string();
  // Through the symbolic link the folder is the one of the file it names.
  EXPECT_EQ(out, root + "\n" + root + "\n" + sub + "\n" + sub + "\n" + other + "\n" + other + "\n" + other + "\n" +
                     other + "\n");
}

TEST_F(MountedFolder, OutsideTheNamespaceTheFolderIsNoVolumeRoot) {
  int rc = 0;
  const std::string out = RunCapture({cd_ / "printer"}, &rc);
  ASSERT_EQ(rc, 0);
  EXPECT_EQ(out, cd_.string() + "\n" + cd_.string() + "\n");
}

}  // namespace
