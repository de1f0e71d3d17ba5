// The start-up plan over real files in a temporary program folder; no window.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "platform/clock.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

// PP1.dat with the date subject as given.
std::string pp1(bool dateSubject) {
  return std::string("smtp.example.jp\r\nme@example.jp\r\nboss@example.jp\r\n\r\nTrue\r\n\r\n\r\n\r\n 1 \r\nFalse\r\nFalse\r\n"
                     " 6000 \r\n 8000 \r\nTrue\r\n") + (dateSubject ? "True" : "False") + "\r\nTrue\r\nFalse\r\n";
}

// The newest history entry and the start-up address in its place are proven by the main window's test.
TEST(StartupPlan, WhatTheWindowOpensWithFollowsTheFolder) {
  const LocalDateTime now{2026, 3, 7, 9, 5, 9};
  const struct { const char* name; std::map<std::string, std::string> files; std::string recipient, subject, retention;
                 bool development, settingsPanel; } cases[] = {
      {"first use", {}, "@example.jp", "", "999", false, true},
      {"development folder", {{"pigeon2.vbp", ""}, {"PP4.dat", " 30 \r\n"}}, "@example.jp", "×", "30", true, true},
      {"the date replaces the development mark", {{"pigeon2.vbp", ""}, {"PP1.dat", pp1(true)}}, "@example.jp", "03/07 09:05",
       "999", true, false},
      {"an empty history file empties the recipient", {{"PP2.dat", ""}}, "", "", "999", false, true},
      {"settings files that are folders count as missing", {{"PP1.dat/", ""}, {"PP4.dat/", ""}}, "@example.jp", "", "999", false, true},
  };
  for (const auto& c : cases) {
    test::TempFolder folder;
    for (const auto& [name, bytes] : c.files)
      name.ends_with('/') ? void(std::filesystem::create_directory(folder / name)) : test::writeBytes(folder / name, bytes);
    const StartupPlan plan = planStartup(folder.path(), now);
    EXPECT_EQ(plan.recipient, c.recipient) << c.name;
    EXPECT_EQ(plan.subject, c.subject) << c.name;
    EXPECT_EQ(plan.settings.retentionDays, c.retention) << c.name;
    EXPECT_EQ(plan.developmentFolder, c.development) << c.name;
    EXPECT_EQ(plan.openSettingsPanel, c.settingsPanel) << c.name;
  }
}

// Backups come before anything is read; logs are aged only by a saved retention.
TEST(StartupPlan, BacksUpAndReadsTheDataFilesAndAgesTheLogsOnlyWithPP4) {
  const auto daysAgo = [](const std::filesystem::path& file, int days) {
    std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * days));
  };
  for (const bool withPP4 : {false, true}) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder / "log");
    test::writeBytes(folder / "log/old.txt", "old");
    daysAgo(folder / "log/old.txt", 5);
    test::writeBytes(folder / "PP1.dat", pp1(false));
    test::writeBytes(folder / "PP2.dat", "a@example.jp\r\n\r\nc@example.jp\r\n");
    daysAgo(folder / "PP2.dat", 1);
    test::writeBytes(folder / "PPad.dat", "\x97\x46\x92\x42\r\n\x8d\xb2\x93\xa1\tc@example.jp\r\n");  // 友達, 佐藤
    if (withPP4) test::writeBytes(folder / "PP4.dat", "2\r\n");
    const StartupPlan plan = planStartup(folder.path(), SystemClock().now());
    EXPECT_EQ(test::readBytes(folder / "PP2.da$"), "a@example.jp\r\n\r\nc@example.jp\r\n");
    EXPECT_EQ(std::filesystem::exists(folder / "log/old.txt"), !withPP4);
    EXPECT_EQ(plan.settings.smtpServer + "|" + plan.settings.specificAddress, "smtp.example.jp|boss@example.jp");
    EXPECT_EQ(plan.history.namesFrom(plan.addressBookLines)[2], "佐藤");
  }
}

}  // namespace
}  // namespace parupo
