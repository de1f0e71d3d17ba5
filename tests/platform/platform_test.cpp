// The platform seams: real files in a temporary folder, and the system random numbers.
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <set>

#include "platform/instance_lock.h"
#include "platform/process_guard.h"
#include "platform/program_folder.h"
#include "platform/random.h"
#include "platform/text_file.h"
#include "platform/twips.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

using namespace test;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

mode_t modeOf(const fs::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}
long entriesIn(const fs::path& folder) { return std::distance(fs::directory_iterator(folder), {}); }

TEST(TextFile, ReadsEveryLineEndAndReplacesWhatCp932CannotHold) {
  TempFolder dir;
  const struct {
    const char* name;
    std::string bytes;
    Lines lines;
  } cases[] = {{"CR LF", "a\r\nb\r\n", {"a", "b"}},
               {"LF, last line open", "a\nb", {"a", "b"}},
               {"mixed, lone CRs", "a\n\r\nb\r\r", {"a", "", "b", ""}},
               {"empty", "", {}},
               {"one empty line", "\r\n", {""}}};
  for (const auto& c : cases) {
    writeBytes(dir / "f.dat", c.bytes);
    EXPECT_EQ(readTextLines(dir / "f.dat"), c.lines) << c.name;
  }
  // What one side cannot hold becomes "?" or U+FFFD, and the text around it survives.
  EXPECT_EQ(toCp932("a😀b한c"
                    "\xE3\x81"
                    "d"),
            "a?b?c?d");
  EXPECT_EQ(fromCp932("A\xFF"
                      "B\x88"),
            "A\uFFFDB\uFFFD");
}

// A link to itself is told at the window that reads the settings.
TEST(TextFile, OnlyAFileThatIsNotThereIsMissingAnyOtherFailureSaysWhy) {
  TempFolder dir;
  fs::create_directory(dir / "folder.dat");
  ASSERT_EQ(::mkfifo((dir / "fifo.dat").c_str(), 0600), 0);  // nobody writes: a read would wait forever
  writeBytes(dir / "huge.dat", "");
  fs::resize_file(dir / "huge.dat", kMaxDataFileBytes + 1);
  const struct {
    const char* name;
    bool missing;
    const char* reason;
  } cases[] = {{"missing.dat", true, ""},
               {"folder.dat", false, "同じ名前のフォルダーがあります"},
               {"fifo.dat", false, "通常のファイルではありません"},
               {"huge.dat", false, "ファイルが大きすぎます"}};
  for (const auto& c : cases) {
    const TextFileRead read = readTextFile(dir / c.name);
    EXPECT_EQ(read.missing(), c.missing) << c.name;
    EXPECT_FALSE(read.lines) << c.name;
    const std::string problem = c.missing ? ""
                                          : "ファイル " + (dir / c.name).string() + " を読み込めませんでした（" +
                                                c.reason + "）";
    EXPECT_EQ(read.problem, problem) << c.name;
  }
}

TEST(TextFile, ReplacesWholeFilesOwnerOnlyAndLeavesNoTemporaryFile) {
  TempFolder dir;
  writeBytes(dir / "PP2.dat", "old content that is longer than the new one\r\n");
  const mode_t umask = ::umask(0);  // a lax umask does not open a new file; an existing one: the end-to-end trust test
  EXPECT_EQ(writeTextLines(dir / "PP2.dat", {"宛先", "", "x😀"}), "");
  EXPECT_EQ(writeTextLines(dir / "PP1.dat", {"secret"}), "");
  ::umask(umask);
  EXPECT_EQ(readBytes(dir / "PP2.dat"), cp932("宛先\r\n\r\nx?\r\n"));
  EXPECT_EQ(modeOf(dir / "PP1.dat"), 0600u);
  fs::create_symlink(dir / "PP1.dat", dir / "link.dat");  // replaced where it lives
  EXPECT_EQ(writeTextLines(dir / "link.dat", {}), "");
  EXPECT_TRUE(fs::is_symlink(dir / "link.dat"));
  EXPECT_EQ(readBytes(dir / "PP1.dat"), "");
  EXPECT_EQ(entriesIn(dir.path()), 3);
}

TEST(TextFile, OnlyTheWritesOwnLeftoverTemporariesAreRemoved) {
  TempFolder folder;
  const Lines kept = {"PP1.dat", ".PP1.dat.tmp", ".PP1.dat.0123456789ab.TMP", "PP1.dat.0123456789ab.tmp",
                      ".PP1.dat.0123456789xy.tmp"};
  for (const auto& name : kept) writeBytes(folder / name, "x");
  writeBytes(folder / ".PP1.dat.0123456789ab.tmp", "half");
  fs::create_directory(folder / ".log.0123456789ab.tmp");
  removeLeftoverTemporaries(folder.path());
  for (const auto& name : kept) EXPECT_TRUE(fs::exists(folder / name)) << name;
  EXPECT_FALSE(fs::exists(folder / ".PP1.dat.0123456789ab.tmp"));
  EXPECT_TRUE(fs::exists(folder / ".log.0123456789ab.tmp"));
}

// Only what stands at the name itself is narrowed: a link, and whatever it points to, keep their permissions.
TEST(TextFile, OwnerOnlyNeverThroughALink) {
  TempFolder dir, shared;
  writeBytes(shared / "theirs.txt", "");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);  // nobody writes: an open that waited would hang here
  writeBytes(dir / "copied.dat", "");
  fs::create_directory(dir / "folder");
  fs::create_symlink(shared.path(), dir / "log");
  fs::create_symlink(shared / "theirs.txt", dir / "PP1.da$");
  for (const char* name : {"copied.dat", "folder", "fifo"}) ::chmod((dir / name).c_str(), 0755);
  for (const fs::path& target : {shared.path(), shared / "theirs.txt"}) ::chmod(target.c_str(), 0777);
  const struct {
    const char* name;
    mode_t mode;
  } rows[] = {{"copied.dat", 0700}, {"folder", 0700}, {"fifo", 0755}, {"log", 0777}, {"PP1.da$", 0777}, {"missing", 0}};
  for (const auto& row : rows) {
    makeOwnerOnly(dir / row.name);
    EXPECT_EQ(modeOf(dir / row.name), row.mode) << row.name;
  }
  std::error_code error;
  EXPECT_TRUE(makePrivateFolder(dir / "log", error));  // there already: the linked folder as it is
  EXPECT_EQ(modeOf(shared.path()), 0777u);
  const mode_t umask = ::umask(0);
  EXPECT_TRUE(makePrivateFolder(dir / "new", error));
  ::umask(umask);
  EXPECT_EQ(modeOf(dir / "new"), 0700u);
  EXPECT_FALSE(makePrivateFolder(dir / "copied.dat", error));
  EXPECT_EQ(error, std::errc::not_a_directory);
}

// SIGPIPE ignored, no core file, memory closed to other processes, unless a test run keeps it readable; checked in a
// child process, as the program sets them for its whole life. The real program's: the end-to-end trust test.
TEST(ProcessGuard, IgnoresSigpipeTurnsCoreDumpsOffAndIsNotDumpableOutsideTests) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto check = [](const char* testDumpable, int dumpable) {
    if (!guardProcess(testDumpable).empty()) std::_Exit(2);
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line) && !line.starts_with("SigIgn:")) {
    }
    const unsigned long ignored = std::stoul(line.substr(7), nullptr, 16);
    rlimit core{};
    ::getrlimit(RLIMIT_CORE, &core);
    const bool ok = (ignored >> (SIGPIPE - 1) & 1) == 1 && core.rlim_cur == 0 && core.rlim_max == 0 &&
                    ::prctl(PR_GET_DUMPABLE) == dumpable;
    std::_Exit(ok ? 0 : 1);
  };
  EXPECT_EXIT(check(nullptr, 0), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(check("0", 0), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(check("1", 1), ::testing::ExitedWithCode(0), "");
}

TEST(UserDataFolder, IsTheAbsoluteXdgDataHomeOrTheHomesDefaultMadeOwnerOnly) {
  TempFolder home;
  const std::string xdg = (home / "x/data").string(), fallback = (home / ".local/share/parupo").string();
  const struct {
    const char* row;
    const char* xdgDataHome;
    std::string folder;
  } cases[] = {{"XDG_DATA_HOME set", xdg.c_str(), xdg + "/parupo"},
               {"unset", nullptr, fallback},
               {"empty", "", fallback},
               {"relative", "x/data", fallback}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    EXPECT_EQ(userDataFolder(c.xdgDataHome, home.path().c_str()), fs::path(c.folder));
    EXPECT_EQ(modeOf(c.folder), 0700u);
  }
  for (const char* made : {"x", "x/data", ".local", ".local/share"}) EXPECT_EQ(modeOf(home / made), 0700u) << made;
  ::chmod(fallback.c_str(), 0750);  // the owner's own choice stays
  EXPECT_EQ(userDataFolder(nullptr, home.path().c_str()), fs::path(fallback));
  EXPECT_EQ(modeOf(fallback), 0750u);
}

TEST(Random, StaysInItsRangeAndReachesEveryValue) {
  SystemRandom r;
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) {
    seen.insert(r.uniformInt(-2, 3));
    ASSERT_LT(r.unit(), 1.0);
  }
  EXPECT_EQ(seen, (std::set<int>{-2, -1, 0, 1, 2, 3}));
}

// A second start in the same folder, and a start after a crash, are proven end to end.
TEST(InstanceLock, EachFolderHasItsOwnLock) {
  TempFolder dir, other;
  auto mine = InstanceLock::acquire(dir.path());
  ASSERT_NE(mine, nullptr);
  EXPECT_NE(InstanceLock::acquire(other.path()), nullptr);  // a lock of the same file would refuse even in this process
}

TEST(InstanceLock, ALinkInTheLocksPlaceIsNeverFollowed) {
  TempFolder dir, elsewhere;
  fs::create_symlink(elsewhere / "made.txt", dir / ".parupo.lock");
  EXPECT_NE(InstanceLock::acquire(dir.path()), nullptr);  // runs without a lock, as in a folder where none can be made
  EXPECT_FALSE(fs::exists(elsewhere / "made.txt"));
  EXPECT_TRUE(fs::is_symlink(dir / ".parupo.lock"));
}

TEST(ScreenPlace, BesideTheMainWindowThenLeftOfItThenMovedJustOntoTheScreen) {
  const ScreenRect screen{0, 0, 1280, 1000};
  const struct {
    const char* name;
    ScreenRect main;
    int width, height;
    ScreenRect expected;
  } rows[] = {
      {"fits on the right", {100, 50, 300, 400}, 300, 400, {400, 50, 300, 400}},
      {"fits only on the left", {900, 50, 300, 400}, 300, 400, {600, 50, 300, 400}},
      {"fits on neither side", {500, 50, 600, 400}, 600, 400, {680, 50, 600, 400}},
      {"main window partly off the top", {900, -30, 300, 400}, 300, 400, {600, 0, 300, 400}},
      {"taller than the screen", {100, 50, 300, 1200}, 300, 1200, {400, 0, 300, 1000}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(placeBeside(row.main, row.width, row.height, screen), row.expected);
  }
}

}  // namespace
}  // namespace parupo
