// The start-up plan over real files in a temporary program folder; no window.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "core/settings_file.h"
#include "platform/clock.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

const std::string kDateSubjectPP1 = test::crlf(
    settingsFileLines({.smtpServer = "smtp.example.jp", .subjectIsDate = true}));

// The newest history entry and the start-up address in its place are proven by the main window's test.
TEST(StartupPlan, WhatTheWindowOpensWithFollowsTheFolder) {
  const LocalDateTime now{2026, 3, 7, 9, 5, 9};
  const struct {
    const char* name;
    std::map<std::string, std::string> files;
    std::string recipient, subject, retention;
    bool development, settingsPanel;
  } cases[] = {
      {"development folder", {{"pigeon2.vbp", ""}, {"PP4.dat", " 30 \r\n"}}, "@example.jp", "×", "30", true, true},
      {"the date replaces the development mark",
       {{"pigeon2.vbp", ""}, {"PP1.dat", kDateSubjectPP1}},
       "@example.jp",
       "03/07 09:05",
       "999",
       true,
       false},
      {"an empty history file empties the recipient", {{"PP2.dat", ""}}, "", "", "999", false, true},
      {"settings files that are folders count as missing",
       {{"PP1.dat/", ""}, {"PP4.dat/", ""}},
       "@example.jp",
       "",
       "999",
       false,
       true},
  };
  for (const auto& c : cases) {
    test::TempFolder folder;
    for (const auto& [name, bytes] : c.files)
      name.ends_with('/') ? void(std::filesystem::create_directory(folder / name))
                          : test::writeBytes(folder / name, bytes);
    const StartupPlan plan = planStartup(folder.path(), now);
    EXPECT_EQ(plan.recipient, c.recipient) << c.name;
    EXPECT_EQ(plan.subject, c.subject) << c.name;
    EXPECT_EQ(plan.settings.retentionDays, c.retention) << c.name;
    EXPECT_EQ(plan.developmentFolder, c.development) << c.name;
    EXPECT_EQ(plan.openSettingsPanel, c.settingsPanel) << c.name;
  }
}

// Without PP4.dat no retention was saved: even a log older than the field's default stays. Ageing with it: the
// end-to-end start test; the daily backups before anything is read: DailyBackup and the end-to-end crash test.
TEST(StartupPlan, AgesNoLogWithoutPP4) {
  namespace fs = std::filesystem;
  test::TempFolder folder;
  fs::create_directory(folder / "log");
  test::writeBytes(folder / "log/old.txt", "");
  fs::last_write_time(folder / "log/old.txt", fs::file_time_type::clock::now() - std::chrono::hours(24 * 1000));
  planStartup(folder.path(), SystemClock().now());
  EXPECT_TRUE(fs::exists(folder / "log/old.txt"));
}

// Copied in with 0644 files and 0755 folders, every file of the program is private after the start, the old backup
// of PP1.dat (the password) and the logs too; a linked log folder, and whatever is linked, keep their permissions.
TEST(StartupPlan, MakesEveryFileOfTheFolderPrivateButNothingBehindALink) {
  namespace fs = std::filesystem;
  using enum fs::perms;
  test::TempFolder folder, shared;
  const LocalDateTime now = SystemClock().now();  // the data files were changed today: no backup is renewed
  const char* files[] = {"PP1.dat", "PP1.da$",  "PP2.dat",    "PP2.da$",   "PP3.da$",
                         "PP4.dat", "PPad.da$", "naisho.txt", "error.txt", "log/20240101-0000-00.txt"};
  fs::create_directory(folder / "log");
  for (const char* name : files) test::writeBytes(folder / name, "");
  for (const char* name : files) fs::permissions(folder / name, owner_read | owner_write | group_read | others_read);
  fs::permissions(folder / "log", owner_all | group_read | group_exec | others_read | others_exec);
  test::writeBytes(shared / "theirs.txt", "");
  fs::permissions(shared / "theirs.txt", all);
  fs::create_symlink(shared / "theirs.txt", folder / "log/linked.txt");
  planStartup(folder.path(), now);
  for (const char* name : files) EXPECT_EQ(fs::status(folder / name).permissions(), owner_read | owner_write) << name;
  EXPECT_EQ(fs::status(folder / "log").permissions(), owner_all);
  EXPECT_EQ(fs::status(shared / "theirs.txt").permissions(), all);

  test::TempFolder linked;
  fs::permissions(shared.path(), all);
  fs::create_symlink(shared.path(), linked / "log");
  planStartup(linked.path(), now);
  EXPECT_EQ(fs::status(shared.path()).permissions(), all);
  EXPECT_EQ(fs::status(shared / "theirs.txt").permissions(), all);
}

}  // namespace
}  // namespace parupo
