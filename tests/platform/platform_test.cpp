// The platform seams: real files in a temporary folder, and the system random numbers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "platform/instance_lock.h"
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

mode_t modeOf(const fs::path& p) { struct stat st {}; return ::stat(p.c_str(), &st) == 0 ? st.st_mode & 0777 : 0; }
long entriesIn(const fs::path& folder) { return std::distance(fs::directory_iterator(folder), {}); }

TEST(TextFile, ReadsEveryLineEndAndReplacesWhatCp932CannotHold) {
  TempFolder dir;
  const struct { const char* name; std::string bytes; Lines lines; } cases[] = {
      {"CR LF", "a\r\nb\r\n", {"a", "b"}}, {"LF, last line open", "a\nb", {"a", "b"}},
      {"mixed, lone CRs", "a\n\r\nb\r\r", {"a", "", "b", ""}}, {"empty", "", {}}, {"one empty line", "\r\n", {""}}};
  for (const auto& c : cases) {
    writeBytes(dir / "f.dat", c.bytes);
    EXPECT_EQ(readTextLines(dir / "f.dat"), c.lines) << c.name;
  }
  // What one side cannot hold becomes "?" or U+FFFD, and the text around it survives.
  EXPECT_EQ(toCp932("a😀b한c" "\xE3\x81" "d"), "a?b?c?d");
  EXPECT_EQ(fromCp932("A\xFF" "B\x88"), "A\uFFFDB\uFFFD");
}

// A link to itself is told at the window that reads the settings.
TEST(TextFile, OnlyAFileThatIsNotThereIsMissingAnyOtherFailureSaysWhy) {
  TempFolder dir;
  fs::create_directory(dir / "folder.dat");
  ASSERT_EQ(::mkfifo((dir / "fifo.dat").c_str(), 0600), 0);  // nobody writes: a read would wait forever
  writeBytes(dir / "huge.dat", "");
  fs::resize_file(dir / "huge.dat", kMaxDataFileBytes + 1);
  const struct { const char* name; bool missing; const char* reason; } cases[] = {
      {"missing.dat", true, ""},
      {"folder.dat", false, "同じ名前のフォルダーがあります"},
      {"fifo.dat", false, "通常のファイルではありません"}, {"huge.dat", false, "ファイルが大きすぎます"}};
  for (const auto& c : cases) {
    const TextFileRead read = readTextFile(dir / c.name);
    EXPECT_EQ(read.missing(), c.missing) << c.name;
    EXPECT_FALSE(read.lines) << c.name;
    const std::string problem = c.missing ? "" : "ファイル " + (dir / c.name).string() + " を読み込めませんでした（" + c.reason + "）";
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
  const Lines kept = {"PP1.dat", ".PP1.dat.tmp", ".PP1.dat.0123456789ab.TMP", "PP1.dat.0123456789ab.tmp", ".PP1.dat.0123456789xy.tmp"};
  for (const auto& name : kept) writeBytes(folder / name, "x");
  writeBytes(folder / ".PP1.dat.0123456789ab.tmp", "half");
  fs::create_directory(folder / ".log.0123456789ab.tmp");
  removeLeftoverTemporaries(folder.path());
  for (const auto& name : kept) EXPECT_TRUE(fs::exists(folder / name)) << name;
  EXPECT_FALSE(fs::exists(folder / ".PP1.dat.0123456789ab.tmp"));
  EXPECT_TRUE(fs::exists(folder / ".log.0123456789ab.tmp"));
}

TEST(UserDataFolder, IsTheAbsoluteXdgDataHomeOrTheHomesDefaultMadeOwnerOnly) {
  TempFolder home;
  const std::string xdg = (home / "x/data").string(), fallback = (home / ".local/share/parupo").string();
  const struct { const char* row; const char* xdgDataHome; std::string folder; } cases[] = {
      {"XDG_DATA_HOME set", xdg.c_str(), xdg + "/parupo"}, {"unset", nullptr, fallback},
      {"empty", "", fallback}, {"relative", "x/data", fallback}};
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
  for (int i = 0; i < 2000; ++i) { seen.insert(r.uniformInt(-2, 3)); ASSERT_LT(r.unit(), 1.0); }
  EXPECT_EQ(seen, (std::set<int>{-2, -1, 0, 1, 2, 3}));
}

// A second start in the same folder, and a start after a crash, are proven end to end.
TEST(InstanceLock, EachFolderHasItsOwnLock) {
  TempFolder dir, other;
  auto mine = InstanceLock::acquire(dir.path());
  ASSERT_NE(mine, nullptr);
  EXPECT_NE(InstanceLock::acquire(other.path()), nullptr);  // a lock of the same file would refuse even in this process
}

TEST(ScreenPlace, BesideTheMainWindowThenLeftOfItThenMovedJustOntoTheScreen) {
  const ScreenRect screen{0, 0, 1280, 1000};
  const struct { const char* name; ScreenRect main; int width, height; ScreenRect expected; } rows[] = {
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
