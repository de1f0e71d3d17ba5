#include "platform/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
  ::stat(p.c_str(), &st);
  return st.st_mode & 0777;
}

int entriesIn(const fs::path& folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++n;
  return n;
}

TEST(Cp932, ConvertsTheCharactersDataFilesHold) {
  EXPECT_EQ(toCp932("宛先"), "\x88\xB6\x90\xE6");
  EXPECT_EQ(toCp932("ＭＳ ゴシック"), "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E");
  EXPECT_EQ(toCp932("①"), "\x87\x40");
  EXPECT_EQ(toCp932("～"), "\x81\x60");     // U+FF5E, as Windows writes it
  EXPECT_EQ(toCp932("a\\b~"), "a\\b~");     // 0x5C stays a backslash (address-book keys)
  EXPECT_EQ(toCp932("ｱ"), "\xB1");          // half-width kana: one byte

  EXPECT_EQ(fromCp932("\x88\xB6\x90\xE6"), "宛先");
  EXPECT_EQ(fromCp932("\x81\x60"), "～");
  EXPECT_EQ(fromCp932("\x87\x40\x5C\xB1"), "①\\ｱ");
}

TEST(Cp932, LossyWhereTheCodePageHasNoCharacter) {
  // Emoji, a Korean syllable and a character outside CP932 become "?", each once,
  // and the text around them survives.
  EXPECT_EQ(toCp932("a😀b한c𠮷"), "a?b?c?");
  // Broken UTF-8 does not stop the conversion.
  EXPECT_EQ(toCp932(std::string("x\xE3\x81y")), "x?y");
  // A byte that cannot start a CP932 character, and a lead byte cut off at the end.
  EXPECT_EQ(fromCp932("A\xFF" "B\x88"), "A\uFFFDB\uFFFD");
}

TEST(TextFile, ReadsEveryLineEnd) {
  TempFolder dir;
  const struct {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},   // an empty line in the middle, no end on the last
      {"a\n\r\nb\r\r", {"a", "", "b", ""}},
      {"", {}},
      {"\r\n", {""}},
  };
  for (const auto& c : cases) {
    writeBytes(dir / "f.dat", c.bytes);
    auto lines = readTextLines(dir / "f.dat");
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, c.lines) << "bytes: " << c.bytes;
  }
  EXPECT_FALSE(readTextLines(dir / "missing.dat").has_value());
  EXPECT_FALSE(readTextLines(dir.path()).has_value());
}

TEST(TextFile, FileOfTheOldProgramSurvivesReadAndWriteByteForByte) {
  TempFolder dir;
  // Values as the Windows program stored them: Japanese text, a full-width tilde, a
  // circled digit, a backslash key, a number with its blanks, an empty line.
  const std::string original =
      "smtp.example.jp\r\n\x88\xB6\x90\xE6\x81\x60\x87\x40\r\n\x82\x6C\x82\x72 "
      "\x83\x53\x83\x56\x83\x62\x83\x4E\r\nG1\\\xB1\xB2\r\n 5220 \r\n\r\nTrue\r\n";
  writeBytes(dir / "PP1.dat", original);
  auto lines = readTextLines(dir / "PP1.dat");
  ASSERT_TRUE(lines.has_value());
  ASSERT_EQ(lines->size(), 7u);
  EXPECT_EQ((*lines)[1], "宛先～①");
  EXPECT_EQ((*lines)[3], "G1\\ｱｲ");
  EXPECT_EQ(writeTextLines(dir / "PP1.dat", *lines), "");
  EXPECT_EQ(readBytes(dir / "PP1.dat"), original);
}

TEST(TextFile, WritesCrLfAndReplacesTheOldFileWithoutLeftovers) {
  TempFolder dir;
  writeBytes(dir / "PP2.dat", "old content that is longer than the new one\r\n");
  EXPECT_EQ(writeTextLines(dir / "PP2.dat", {"宛先", "", "x😀"}), "");
  EXPECT_EQ(readBytes(dir / "PP2.dat"), "\x88\xB6\x90\xE6\r\n\r\nx?\r\n");
  EXPECT_EQ(writeTextLines(dir / "empty.dat", {}), "");
  EXPECT_EQ(readBytes(dir / "empty.dat"), "");
  EXPECT_EQ(entriesIn(dir.path()), 2);  // no temporary file left beside them
}

TEST(TextFile, PrivateFilesAreOwnerOnlyAndReplacementsKeepTheirMode) {
  TempFolder dir;
  const mode_t oldMask = ::umask(022);
  EXPECT_EQ(writeTextLines(dir / "PP1.dat", {"secret"}, FileAccess::Private), "");
  EXPECT_EQ(modeOf(dir / "PP1.dat"), 0600u);
  EXPECT_EQ(writeTextLines(dir / "PP1.dat", {"secret2"}, FileAccess::Private), "");
  EXPECT_EQ(modeOf(dir / "PP1.dat"), 0600u);

  EXPECT_EQ(writeTextLines(dir / "PP4.dat", {"999"}), "");
  EXPECT_EQ(modeOf(dir / "PP4.dat"), 0644u);
  ::chmod((dir / "PP4.dat").c_str(), 0640);
  EXPECT_EQ(writeTextLines(dir / "PP4.dat", {"30"}), "");
  EXPECT_EQ(modeOf(dir / "PP4.dat"), 0640u);
  ::umask(oldMask);
}

TEST(TextFile, WritesThroughASymbolicLink) {
  TempFolder dir;
  fs::create_directory(dir / "real");
  writeBytes(dir / "real" / "PP2.dat", "a\r\n");
  fs::create_symlink(dir / "real" / "PP2.dat", dir / "PP2.dat");
  EXPECT_EQ(writeTextLines(dir / "PP2.dat", {"b"}), "");
  EXPECT_TRUE(fs::is_symlink(dir / "PP2.dat"));
  EXPECT_EQ(readBytes(dir / "real" / "PP2.dat"), "b\r\n");
}

TEST(TextFile, WriteIntoAMissingFolderOrOverAFolderFails) {
  TempFolder dir;
  const std::string missing = writeTextLines(dir / "nofolder" / "PP1.dat", {"x"});
  EXPECT_NE(missing, "");
  EXPECT_NE(missing.find("PP1.dat"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "nofolder"));
  fs::create_directory(dir / "log");
  EXPECT_NE(writeTextLines(dir / "log", {"x"}), "");
  EXPECT_TRUE(fs::is_directory(dir / "log"));
}

TEST(TextFile, WriteIntoAReadOnlyFolderFailsAndKeepsTheOldFile) {
  TempFolder dir;
  fs::create_directory(dir / "ro");
  writeBytes(dir / "ro" / "PP1.dat", "keep\r\n");
  fs::permissions(dir.path(), fs::perms::all, fs::perm_options::add);
  fs::permissions(dir / "ro", fs::perms::owner_write, fs::perm_options::remove);
  fs::permissions(dir / "ro", fs::perms::others_read | fs::perms::others_exec,
                  fs::perm_options::add);
  const auto attempt = [&] { return writeTextLines(dir / "ro" / "PP1.dat", {"new"}); };
  std::string result;
  if (::geteuid() != 0) {
    result = attempt();
  } else {
    // Root may write anywhere: try as an ordinary user in a child process.
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
      const std::string text = attempt();
      ::_exit(::write(out[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 2);
    }
    ::close(out[1]);
    char buf[512];
    ssize_t n;
    while ((n = ::read(out[0], buf, sizeof buf)) > 0) result.append(buf, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  fs::permissions(dir / "ro", fs::perms::owner_all, fs::perm_options::add);
  EXPECT_NE(result, "");
  EXPECT_NE(result.find("書き込みが許可されていません"), std::string::npos) << result;
  EXPECT_EQ(readBytes(dir / "ro" / "PP1.dat"), "keep\r\n");
  EXPECT_EQ(entriesIn(dir / "ro"), 1);
}

TEST(SplitLines, EveryLineEndAndJoinGivesTheTextBack) {
  EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(splitLines("a\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(splitLines("\n\r"), (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(splitLines(""), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace parupo
