// The logs' plain logic over real files in a temporary folder: the recipient list of the
// viewer, the ageing of old logs and the daily backups.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "logs/log_list.h"
#include "logs/log_upkeep.h"
#include "platform/text_file.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

using namespace test;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

void writeLog(const fs::path& file, const std::string& recipient) {
  ASSERT_EQ(writeTextLines(file, {"", "宛先 : " + recipient, "返信 : me@x", "件名 : s", "本文 : ", "", "", "添付 : "}),
            "");
}

// The line of every reply mode with its log's own reply-to line; a log of one recipient
// reads as the earlier program read it.
TEST(GetTo, ListsEveryRecipientTheUserWroteToAndNeitherTheReplyToNorTheDummy) {
  const std::string me = "返信 : 自分 <me@x>";
  const struct {
    const char* name;
    Lines lines;
    Lines recipients;
  } rows[] = {
      {"> before <", {"", "宛先 : a>b<c>"}, {"a"}},
      {"a name with its address", {"", "宛先 : Taro <abc>", me}, {"abc"}},
      {"no addresses, a < without >: the line as it stands", {"", "宛先 : a&b <c", me}, {"a&b <c"}},
      {"送らない, two", {"", "宛先 : 花子 <a@x>、b@x", me}, {"a@x", "b@x"}},
      {"送らない, the same one twice", {"", "宛先 : a@x; 花子 <a@x>", me}, {"a@x"}},
      {"コピーを送る", {"", "宛先 : a@x, b@x\t自分 <me@x>", me}, {"a@x", "b@x"}},
      {"コピーを送る, one", {"", "宛先 : Taro <abc>\t自分 <me@x>", me}, {"abc"}},
      {"ダミーに送る", {"", "宛先 : ダミー <d@x>\t山田 <jiro@x>, a@x\t自分 <me@x>", me}, {"jiro@x", "a@x"}},
      {"別々に送る", {"", "宛先 : a@x, b@x & 自分 <me@x>", me}, {"a@x", "b@x"}},
      {"pasted cells, no copy", {"", "宛先 : a@x\tb@x", me}, {"a@x", "b@x"}},
      {"to oneself alone", {"", "宛先 : 自分 <Me@x>\t自分 <me@x>", me}, {"Me@x"}},
      {"the reply-to of the log's time, not another", {"", "宛先 : a@x\told@x", "返信 : new@x"}, {"a@x", "old@x"}},
      {"no reply-to line: the layout alone", {"", "宛先 : d@x\ta@x, b@x\tme@x"}, {"a@x", "b@x"}},
      {"references read back", {"", "宛先 : &#x2665; <a@x>\t&#x2661; <me@x>", "返信 : &#x2661; <me@x>"}, {"a@x"}},
      {"a comma on the first line", {"skip,宛先 : y", "宛先 : z"}, {"y"}},
      {"one line only", {""}, {}},
  };
  for (const auto& r : rows) EXPECT_EQ(recipientsFromLines(r.lines), r.recipients) << r.name;

  TempFolder folder;
  writeBytes(folder / "lf.txt", cp932("\n宛先 : lf@example.jp\nrest\n"));  // CP932, line feeds only
  EXPECT_EQ(GetTo(folder / "lf.txt"), Lines{"lf@example.jp"});
  writeBytes(folder / "cr.txt", std::string(5000, ' ') + cp932("\r宛先 : cr@x"));  // long line, lone CR
  EXPECT_EQ(GetTo(folder / "cr.txt"), Lines{"cr@x"});
  writeBytes(folder / "split.txt",
             std::string(511, ' ') + cp932("\r\n宛先 : split@x\t自分 <me@x>\r\n" + me + "\r\n"));  // CR LF across reads
  EXPECT_EQ(GetTo(folder / "split.txt"), Lines{"split@x"});
  EXPECT_EQ(GetTo(folder / "missing.txt"), Lines{});
}

TEST(RecipientMenu, TenMostRecentDistinctRecipientsNewestFirst) {
  std::vector<Lines> logs;
  for (char c = 'a'; c < 'a' + 12; ++c) logs.push_back(Lines{std::string(1, c)});
  EXPECT_EQ(recentRecipients(logs), (Lines{"l", "k", "j", "i", "h", "g", "f", "e", "d", "c"}));
  EXPECT_EQ(recentRecipients({{"A"}, {"a"}, {}, {"a"}, {"b", "c", "a"}, {""}}), (Lines{"b", "c", "a", "A"}));
}

// Filtering by a recipient is proven by the viewer's window test.
TEST(LogList, ListsTxtFilesNewestFirstAndReadsRecipientsOnce) {
  TempFolder folder;
  writeLog(folder / "20240106-0800-00.txt", "abc");
  writeLog(folder / "20240105-0930-00.txt", "abc");
  writeLog(folder / "20240105-0930-00_002.txt", "def");
  writeLog(folder / "20240107-0000-00.TXT", "def");
  writeLog(folder / "20231231-2359-59.log", "ghi");  // never listed, nor the next two
  writeLog(folder / ".hidden.txt", "ghi");
  fs::create_directory(folder / "folder.txt");
  writeBytes(folder / "short.txt", "\r\n");  // one line: no recipient

  LogList logs(folder.path());
  EXPECT_EQ(logs.newestFirst(), (Lines{"short.txt", "20240107-0000-00.TXT", "20240106-0800-00.txt",
                                       "20240105-0930-00_002.txt", "20240105-0930-00.txt"}));
  EXPECT_EQ(logs.recipients(2), Lines{"abc"});
  EXPECT_EQ(logs.recipients(99), Lines{});
  EXPECT_EQ(logs.recipientMenu(), (Lines{"def", "abc"}));
  writeLog(folder / "20240106-0800-00.txt", "new@x");  // the menu stays as it was shown
  EXPECT_EQ(logs.recipientMenu(), (Lines{"def", "abc"}));
  EXPECT_TRUE(LogList(folder / "none").names().empty());
}

// Gives a file (made with `bytes` when missing) the local modification time y-mo-d h:mi.
void touch(const fs::path& file, int y, int mo, int d, int h, int mi, const std::string& bytes = "x") {
  if (!fs::exists(fs::symlink_status(file))) writeBytes(file, bytes);
  std::tm tm{0, mi, h, d, mo - 1, y - 1900, 0, 0, -1, 0, nullptr};
  const std::time_t t = std::mktime(&tm);
  const timespec times[2] = {{t, 0}, {t, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

TEST(LogAgeing, DayNumbersRoundNoonUpAndAgesCountDays) {
  EXPECT_EQ(dayNumber({2000, 1, 1, 12, 0, 0}) - dayNumber({2000, 1, 1, 11, 59, 59}), 1);
  const LocalDateTime yesterdayMorning{2026, 3, 6, 9, 0, 0};  // R = 1: deleted from age 2 on
  const struct {
    const char* name;
    LocalDateTime now;
    long age;
  } rows[] = {
      {"this morning", {2026, 3, 7, 8, 0, 0}, 1},
      {"this afternoon", {2026, 3, 7, 12, 0, 0}, 2},
      {"before it was written", {2026, 3, 5, 8, 0, 0}, -1},
  };
  for (const auto& r : rows) EXPECT_EQ(fileAge(yesterdayMorning, r.now), r.age) << r.name;
}

TEST(LogAgeing, DeletesOrdinaryFilesOlderThanTheRetentionAndNothingElse) {
  TempFolder program, outside;
  const fs::path log = program / "log";
  fs::create_directories(log / "old-folder");
  const struct {
    const char* name;
    int year, day;
    bool stays;
  } rows[] = {
      {"20260306-0900-00.txt", 2026, 6, true},   // age 1 = R
      {"20260305-1100-00.txt", 2026, 5, false},  // age 2
      {".hidden", 2025, 1, true},
      {"old-folder", 2025, 1, true},
      {"link.txt", 2025, 1, true},  // a symbolic link to an old file outside
  };
  touch(outside / "target.txt", 2025, 3, 1, 0, 0);
  fs::create_symlink(outside / "target.txt", log / "link.txt");
  for (const auto& r : rows) touch(log / r.name, r.year, 3, r.day, 9, 0);
  ageLogs(program.path(), "1", {2026, 3, 7, 8, 0, 0});  // the retention field's text
  for (const auto& r : rows) EXPECT_EQ(fs::exists(fs::symlink_status(log / r.name)), r.stays) << r.name;
  EXPECT_TRUE(fs::exists(outside / "target.txt"));
}

TEST(DailyBackup, TheDayStampDecidesUnlessForcedWithOne) {
  const LocalDateTime today{2026, 3, 7, 0, 1, 0};
  const struct {
    const char* name;
    LocalDateTime modified;
    int force;
    bool due;
  } rows[] = {
      {"yesterday 23:59", {2026, 3, 6, 23, 59, 0}, 0, true}, {"changed today", {2026, 3, 7, 0, 0, 30}, 0, false},
      {"in the future", {2026, 3, 8, 9, 0, 0}, 0, false},    {"forced today", {2026, 3, 7, 0, 0, 30}, 1, true},
      {"-1 today", {2026, 3, 7, 0, 0, 30}, -1, false},
  };
  for (const auto& r : rows) EXPECT_EQ(backupDue(r.modified, today, r.force), r.due) << r.name;
  EXPECT_EQ(backupPath("/p/PPad.dat"), fs::path("/p/PPad.da$"));
  EXPECT_EQ(backupPath("/p/データ"), fs::path("/p/デー$"));
}

// The backup kept private whatever the data file's mode: the end-to-end trust test.
TEST(DailyBackup, StartUpCopiesEachDataFileByteForByte) {
  TempFolder program;
  const LocalDateTime now{2026, 3, 7, 0, 1, 0};
  const std::string pp1 = cp932("smtp.example.jp\r\n秘密\r\n");  // a password in CP932
  touch(program / "PP1.dat", 2026, 3, 6, 23, 59, pp1);
  touch(program / "PP2.dat", 2026, 3, 7, 0, 0, "today\r\n");
  writeBytes(program / "PP2.da$", "older\r\n");
  writeBytes(program / "PP3.da$", "kept\r\n");  // its data file is gone: the backup stays
  fs::create_directory(program / "PP4.dat");    // not an ordinary file

  makeDailyBackups(program.path(), now);
  EXPECT_EQ(readBytes(program / "PP1.da$"), pp1);
  EXPECT_EQ(readBytes(program / "PP2.da$"), "older\r\n");
  EXPECT_EQ(readBytes(program / "PP3.da$"), "kept\r\n");
  EXPECT_FALSE(fs::exists(program / "PP4.da$"));
  BakDat(program / "PP2.dat", 1, now);  // forced: today's file replaces the old backup
  EXPECT_EQ(readBytes(program / "PP2.da$"), "today\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(program.path()), {}), 6);  // no temporary file left
}

}  // namespace
}  // namespace parupo
