#include "logs/log_upkeep.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "support/temp_folder.h"

namespace parupo {
namespace {

using namespace test;
namespace fs = std::filesystem;

// A local date and time as the system keeps it.
std::time_t at(int y, int mo, int d, int h, int mi, int s = 0) {
  std::tm tm{};
  tm.tm_year = y - 1900, tm.tm_mon = mo - 1, tm.tm_mday = d, tm.tm_hour = h, tm.tm_min = mi, tm.tm_sec = s;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}
void touch(const fs::path& file, std::time_t modified, const std::string& bytes = "x") {
  if (!fs::exists(file)) writeBytes(file, bytes);
  const timespec times[2] = {{modified, 0}, {modified, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

TEST(LogAgeing, DayNumbersCountFromTheOldEpochAndTheAfternoonIsTheNextDay) {
  EXPECT_EQ(dayNumber({1899, 12, 30, 0, 0, 0}), 0);
  EXPECT_EQ(dayNumber({1900, 1, 1, 11, 59, 59}), 2);
  EXPECT_EQ(dayNumber({2000, 1, 1, 0, 0, 0}), 36526);
  EXPECT_EQ(dayNumber({2000, 1, 1, 12, 0, 0}), 36527);
  // R = 1 and a log written yesterday morning (6 March, 09:00).
  const LocalDateTime log{2026, 3, 6, 9, 0, 0};
  const struct { const char* name; LocalDateTime now; long age; } rows[] = {
      {"this morning", {2026, 3, 7, 8, 0, 0}, 1},
      {"this afternoon", {2026, 3, 7, 12, 0, 0}, 2},
      {"tomorrow morning", {2026, 3, 8, 8, 0, 0}, 2},
      {"across a year end", {2027, 1, 1, 0, 0, 0}, 301},
      {"before it was written", {2026, 3, 5, 8, 0, 0}, -1},
  };
  for (const auto& r : rows) EXPECT_EQ(fileAge(log, r.now), r.age) << r.name;
}

TEST(LogAgeing, DeletesOrdinaryFilesOlderThanTheRetentionWhateverTheirName) {
  TempFolder program;
  TempFolder outside;
  const fs::path log = program / "log";
  fs::create_directory(log);
  const LocalDateTime now{2026, 3, 7, 8, 0, 0};
  const struct { const char* name; std::time_t modified; bool stays; } rows[] = {
      {"20260306-0900-00.txt", at(2026, 3, 6, 9, 0), true},   // age 1 = R
      {"20260305-1100-00.txt", at(2026, 3, 5, 11, 0), false},  // age 2
      {"notes.doc", at(2025, 1, 1, 0, 0), false},              // not a log: aged all the same
      {"no-extension", at(2025, 1, 1, 0, 0), false},
      {"future.txt", at(2030, 1, 1, 0, 0), true},
      {".hidden", at(2025, 1, 1, 0, 0), true},
  };
  for (const auto& r : rows) touch(log / r.name, r.modified);
  fs::create_directory(log / "old-folder");
  touch(log / "old-folder", at(2025, 1, 1, 0, 0));
  touch(outside / "target.txt", at(2025, 1, 1, 0, 0));
  fs::create_symlink(outside / "target.txt", log / "link.txt");
  touch(log / "link.txt", at(2025, 1, 1, 0, 0));

  ageLogs(program.path(), 1, now);
  for (const auto& r : rows) EXPECT_EQ(fs::exists(log / r.name), r.stays) << r.name;
  EXPECT_TRUE(fs::is_directory(log / "old-folder"));
  EXPECT_TRUE(fs::is_symlink(log / "link.txt"));
  EXPECT_TRUE(fs::exists(outside / "target.txt"));

  // With the design's 999 days the rest stays; without a log folder nothing happens.
  ageLogs(program.path(), 999, now);
  EXPECT_TRUE(fs::exists(log / "20260306-0900-00.txt"));
  ageLogs(outside.path(), 1, now);
  EXPECT_TRUE(fs::exists(outside / "target.txt"));
}

TEST(DailyBackup, TheDayStampDecidesUnlessForced) {
  const LocalDateTime today{2026, 3, 7, 0, 1, 0};
  const struct { const char* name; LocalDateTime modified; int force; bool due; } rows[] = {
      {"yesterday 23:59", {2026, 3, 6, 23, 59, 0}, 0, true},
      {"changed today", {2026, 3, 7, 0, 0, 30}, 0, false},
      {"last year, later month", {2025, 12, 31, 9, 0, 0}, 0, true},
      {"in the future", {2026, 3, 8, 9, 0, 0}, 0, false},
      {"forced today", {2026, 3, 7, 0, 0, 30}, 1, true},
      {"forced future", {2026, 3, 8, 9, 0, 0}, 1, true},
      {"-1 today", {2026, 3, 7, 0, 0, 30}, -1, false},
      {"-1 yesterday", {2026, 3, 6, 23, 59, 0}, -1, true},
  };
  for (const auto& r : rows) EXPECT_EQ(backupDue(r.modified, today, r.force), r.due) << r.name;
  EXPECT_EQ(backupPath("/p/PP1.dat"), fs::path("/p/PP1.da$"));
  EXPECT_EQ(backupPath("/p/PPad.dat"), fs::path("/p/PPad.da$"));
  EXPECT_EQ(backupPath("/p/データ"), fs::path("/p/デー$"));
}

TEST(DailyBackup, StartUpCopiesEachDataFileByteForByteKeepingItPrivate) {
  TempFolder program;
  const LocalDateTime now{2026, 3, 7, 0, 1, 0};
  const std::string pp1 = "smtp.example.jp\r\n\x94\xe9\x96\xa7\r\n";  // a password in CP932
  touch(program / "PP1.dat", at(2026, 3, 6, 23, 59), pp1);
  fs::permissions(program / "PP1.dat", fs::perms::owner_read | fs::perms::owner_write);
  touch(program / "PP2.dat", at(2026, 3, 7, 0, 0), "today\r\n");
  writeBytes(program / "PP2.da$", "older\r\n");
  writeBytes(program / "PP3.da$", "kept\r\n");  // its data file is gone: the backup stays
  touch(program / "PPad.dat", at(2030, 1, 1, 0, 0), "future\r\n");
  fs::create_directory(program / "PP4.dat");  // not an ordinary file: skipped

  makeDailyBackups(program.path(), now);
  EXPECT_EQ(readBytes(program / "PP1.da$"), pp1);
  EXPECT_EQ(fs::status(program / "PP1.da$").permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(readBytes(program / "PP2.da$"), "older\r\n");
  EXPECT_EQ(readBytes(program / "PP3.da$"), "kept\r\n");
  EXPECT_FALSE(fs::exists(program / "PPad.da$") || fs::exists(program / "PP4.da$"));

  // Forced, the copy of today's file replaces the old backup; nothing else is left behind.
  BakDat(program / "PP2.dat", 1, now);
  EXPECT_EQ(readBytes(program / "PP2.da$"), "today\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(program.path()), {}), 7);
}

}  // namespace
}  // namespace parupo
