// PP1.dat and PP4.dat through the settings store, over real files in a temporary folder.
#include "core/settings_store.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace parupo {
namespace {

TEST(SettingsStore, SavedSettingsComeBackAndTheDefaultsFillTheGaps) {
  test::TempFolder folder;
  EXPECT_EQ(loadSettings(folder.path(), {}).unreadable, "");  // missing: a first start
  Settings saved;
  saved.smtpServer = "smtp.example.jp";
  saved.popPassword = "秘密,です";
  saved.retentionDays = "30";
  saved.checkedReplyMode = ReplySeparate;
  saved.subjectIsDate = true;
  saved.height = 6000;
  EXPECT_TRUE(saveSettings(folder.path(), saved).empty());
  EXPECT_EQ(test::readBytes(folder / "PP4.dat"), "30\r\n");
  using std::filesystem::perms;
  EXPECT_EQ(std::filesystem::status(folder / "PP1.dat").permissions(), perms::owner_read | perms::owner_write);

  Settings base;
  base.retentionDays = "kept";  // PP1.dat does not hold the retention days
  const Settings loaded = loadSettings(folder.path(), base).settings.value();
  EXPECT_EQ(loaded.smtpServer + "|" + loaded.popPassword + "|" + loaded.retentionDays, "smtp.example.jp|秘密,です|kept");
  EXPECT_TRUE(loaded.replyMode() == ReplySeparate && loaded.subjectIsDate && loaded.quitAfterSend && loaded.height == 6000);
  EXPECT_EQ(loadRetentionDays(folder.path()), "30");
}

TEST(SettingsStore, EachFileThatCannotBeWrittenIsToldOnce) {
  const struct { const char* name; std::vector<const char*> blocked; std::size_t problems; } cases[] = {
      {"PP4.dat blocked", {"PP4.dat"}, 1},
      {"both blocked", {"PP1.dat", "PP4.dat"}, 2},
  };
  for (const auto& c : cases) {
    test::TempFolder folder;
    for (const char* name : c.blocked) std::filesystem::create_directory(folder / name);
    const auto problems = saveSettings(folder.path(), Settings{});
    EXPECT_EQ(problems.size(), c.problems) << c.name;
    for (std::size_t i = 0; i < problems.size(); ++i)
      EXPECT_NE(problems[i].find(c.blocked[i]), std::string::npos) << c.name;
  }
}

TEST(SettingsStore, ASettingsFileThatCannotBeReadIsNeverOverwritten) {
  test::TempFolder folder;
  std::filesystem::create_symlink("PP1.dat", folder / "PP1.dat");  // exists, but cannot be opened
  const SettingsRead read = loadSettings(folder.path(), {});
  EXPECT_EQ(read.settings, std::nullopt);
  EXPECT_NE(read.unreadable.find("シンボリックリンクが循環しています"), std::string::npos) << read.unreadable;
  const auto problems = saveSettings(folder.path(), Settings{}, read.unreadable);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("PP1.dat"), std::string::npos);
  EXPECT_NE(problems[0].find(read.unreadable), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "PP1.dat"));
  EXPECT_EQ(test::readBytes(folder / "PP4.dat"), "999\r\n");
}

TEST(SettingsStore, AReplyModeOutOfRangeSendsNoCopyAndTheDateSubjectIsPadded) {
  Settings s;
  s.checkedReplyMode = 7;
  EXPECT_EQ(s.replyMode(), ReplyDontSend);
  const LocalDateTime now{2026, 12, 31, 9, 5, 59};
  EXPECT_EQ(s.dateSubject(now), std::nullopt);
  s.subjectIsDate = true;
  EXPECT_EQ(s.dateSubject(now), "12/31 09:05");
}

}  // namespace
}  // namespace parupo
