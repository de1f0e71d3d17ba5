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

const std::string kDateSubjectPP1 = test::crlf(settingsFileLines({.smtpServer = "smtp.example.jp", .subjectIsDate = true}));

// The newest history entry and the start-up address in its place are proven by the main window's test.
TEST(StartupPlan, WhatTheWindowOpensWithFollowsTheFolder) {
  const LocalDateTime now{2026, 3, 7, 9, 5, 9};
  const struct { const char* name; std::map<std::string, std::string> files; std::string recipient, subject, retention;
                 bool development, settingsPanel; } cases[] = {
      {"development folder", {{"pigeon2.vbp", ""}, {"PP4.dat", " 30 \r\n"}}, "@example.jp", "×", "30", true, true},
      {"the date replaces the development mark", {{"pigeon2.vbp", ""}, {"PP1.dat", kDateSubjectPP1}}, "@example.jp", "03/07 09:05",
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

}  // namespace
}  // namespace parupo
