#include "platform/text_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "support/temp_folder.h"

namespace parupo {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;
namespace fs = std::filesystem;

mode_t modeOf(const fs::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

int entriesIn(const fs::path& folder) {
  return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(TextFile, ReadsEveryLineEnd) {
  TempFolder dir;
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"a\r\nb\r\n", {"a", "b"}}, {"a\nb", {"a", "b"}}, {"a\n\r\nb\r\r", {"a", "", "b", ""}},
      {"", {}}, {"\r\n", {""}}};
  for (const auto& [bytes, lines] : cases) {
    writeBytes(dir / "f.dat", bytes);
    EXPECT_EQ(readTextLines(dir / "f.dat"), lines) << bytes;
  }
  EXPECT_FALSE(readTextLines(dir / "missing.dat"));
  EXPECT_FALSE(readTextLines(dir.path()));
}

TEST(TextFile, OldFileSurvivesReadAndWriteByteForByte) {
  TempFolder dir;
  const std::string original =
      "smtp.example.jp\r\n\x88\xB6\x90\xE6\x81\x60\x87\x40\r\nG1\\\xB1~\r\n 5220 \r\n\r\nTrue\r\n";
  writeBytes(dir / "PP1.dat", original);
  const auto lines = readTextLines(dir / "PP1.dat");
  ASSERT_TRUE(lines);
  EXPECT_EQ((*lines)[1], "宛先～①");
  EXPECT_EQ((*lines)[2], "G1\\ｱ~");
  EXPECT_EQ(writeTextLines(dir / "PP1.dat", *lines), "");
  EXPECT_EQ(readBytes(dir / "PP1.dat"), original);
  // What one side cannot hold becomes "?" or U+FFFD, and the text around it survives.
  EXPECT_EQ(toCp932("a😀b한c" "\xE3\x81" "d"), "a?b?c?d");
  EXPECT_EQ(fromCp932("A\xFF" "B\x88"), "A\uFFFDB\uFFFD");
}

TEST(TextFile, ReplacesWholeFilesWithTheirModesAndLeavesNoTemporaryFile) {
  TempFolder dir;
  writeBytes(dir / "PP2.dat", "old content that is longer than the new one\r\n");
  ::chmod((dir / "PP2.dat").c_str(), 0640);
  EXPECT_EQ(writeTextLines(dir / "PP2.dat", {"宛先", "", "x😀"}), "");
  EXPECT_EQ(readBytes(dir / "PP2.dat"), "\x88\xB6\x90\xE6\r\n\r\nx?\r\n");
  EXPECT_EQ(modeOf(dir / "PP2.dat"), 0640u);
  EXPECT_EQ(writeTextLines(dir / "PP1.dat", {"secret"}, FileAccess::Private), "");
  EXPECT_EQ(modeOf(dir / "PP1.dat"), 0600u);
  // A file reached through a symbolic link is replaced where it lives.
  fs::create_symlink(dir / "PP1.dat", dir / "link.dat");
  EXPECT_EQ(writeTextLines(dir / "link.dat", {}), "");
  EXPECT_TRUE(fs::is_symlink(dir / "link.dat"));
  EXPECT_EQ(readBytes(dir / "PP1.dat"), "");
  EXPECT_EQ(entriesIn(dir.path()), 3);
}

TEST(TextFile, AFailedWriteSaysSoAndKeepsTheOldFile) {
  TempFolder dir;
  const std::string missing = writeTextLines(dir / "nofolder" / "PP1.dat", {"x"});
  EXPECT_NE(missing.find("PP1.dat"), std::string::npos);
  fs::create_directory(dir / "log");
  EXPECT_NE(writeTextLines(dir / "log", {"x"}), "");
  EXPECT_TRUE(fs::is_directory(dir / "log"));

  // A disk that fills up halfway through (a file size limit works for root too).
  writeBytes(dir / "PP1.dat", "keep\r\n");
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 8;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &small);
  const std::string full = writeTextLines(dir / "PP1.dat", {std::string(100, 'n')});
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_NE(full.find("PP1.dat"), std::string::npos);
  EXPECT_EQ(readBytes(dir / "PP1.dat"), "keep\r\n");
  EXPECT_EQ(entriesIn(dir.path()), 2);
}

TEST(SplitLines, EveryLineBreakCounts) {
  EXPECT_EQ(splitLines("a\r\nb\nc\rd\n\r"), (std::vector<std::string>{"a", "b", "c", "d", "", ""}));
  EXPECT_EQ(splitLines(""), std::vector<std::string>{""});
}

}  // namespace
}  // namespace parupo
