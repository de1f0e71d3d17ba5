#include "app/settings_file.h"

#include <gtest/gtest.h>

#include "platform/text_file.h"
#include "support/temp_folder.h"

#include <string>
#include <vector>

namespace parupo {
namespace {

using Lines = std::vector<std::string>;

// A PP1.dat as the program writes it, with every field and mark set away from its
// design state.
Lines writtenFile() {
  return {"smtp.example.jp", "me@example.jp", "boss@example.jp", "dummy@example.jp", "False",
          "pop.example.jp",  "山田",          "pass,word",       " 3 ",             "True",
          "True",            " 8000 ",        " 6000 ",          "True",            "True",
          "False",           "True"};
}

TEST(SettingsFileTest, DesignSettingsGiveTheFirstRunFile) {
  Lines expected = {"",      "", "", "", "True", "", "", "", " 0 ", "False", "False", " 5220 ", " 4770 ",
                    "True", "False", "True", "False"};
  EXPECT_EQ(settingsFileLines(Settings{}), expected);
}

TEST(SettingsFileTest, SavedSettingsComeBackUnchanged) {
  Settings saved;
  saved.smtpServer = "smtp.example.jp:587";
  saved.replyTo = " 山田 <me@example.jp>";  // leading blank
  saved.specificAddress = "a@example.jp,b@example.jp";  // comma
  saved.dummyAddress = "\"quoted\" dummy@example.jp";  // leading quote
  saved.popServer = "pop.example.jp";
  saved.popUser = "ユーザー";
  saved.popPassword = "p a,s\"s ";
  saved.quitAfterSend = false;
  saved.startupAddress = true;
  saved.saveLog = true;
  saved.subjectIsDate = true;
  saved.historyByName = false;
  saved.receiveFirst = true;
  saved.replyMode = ReplySeparate;
  saved.height = 8000;
  saved.width = 4770.5;

  Lines lines = settingsFileLines(saved);
  ASSERT_EQ(lines.size(), 17u);
  EXPECT_EQ(lines[8], " 3 ");
  EXPECT_EQ(lines[12], " 4770.5 ");

  // Every field and mark is in the lines, so equal lines mean nothing was lost.
  Settings restored;
  readSettingsFile(lines, restored);
  EXPECT_EQ(settingsFileLines(restored), lines);

  // The opposite marks too, so that no flag is stuck at one value.
  Settings flipped = restored;
  flipped.quitAfterSend = !flipped.quitAfterSend;
  flipped.startupAddress = !flipped.startupAddress;
  flipped.saveLog = !flipped.saveLog;
  flipped.subjectIsDate = !flipped.subjectIsDate;
  flipped.historyByName = !flipped.historyByName;
  flipped.receiveFirst = !flipped.receiveFirst;
  flipped.replyMode = ReplyDontSend;
  Settings again = restored;
  readSettingsFile(settingsFileLines(flipped), again);
  EXPECT_EQ(settingsFileLines(again), settingsFileLines(flipped));
}

TEST(SettingsFileTest, TextValuesNeverBreakTheLayout) {
  Settings settings;
  settings.popServer = "pop.example.jp\r\n";
  settings.dummyAddress = "True";  // a flag's word where the dummy address belongs
  Lines lines = settingsFileLines(settings);
  ASSERT_EQ(lines.size(), 17u);
  EXPECT_EQ(lines[5], "pop.example.jp");

  Settings restored;
  restored.quitAfterSend = false;
  readSettingsFile(lines, restored);
  EXPECT_EQ(restored.dummyAddress, "True");
  EXPECT_TRUE(restored.quitAfterSend);
  EXPECT_EQ(restored.popServer, "pop.example.jp");
  EXPECT_EQ(restored.height, 5220);
}

TEST(SettingsFileTest, EarlierLayoutIsReadAndSavedInTheCurrentOne) {
  Lines earlier = {"smtp.example.jp", "me@example.jp", "boss@example.jp", "False", "pop.example.jp", "user",
                   "secret", "True", "True", "False", " 6000 ", " 5000 ", "True", "True", "True", "False"};
  Settings settings;
  settings.dummyAddress = "kept@example.jp";
  readSettingsFile(earlier, settings);
  EXPECT_FALSE(settings.quitAfterSend);
  EXPECT_EQ(settings.dummyAddress, "kept@example.jp");
  EXPECT_EQ(settings.popServer, "pop.example.jp");
  EXPECT_EQ(settings.popUser, "user");
  EXPECT_EQ(settings.popPassword, "secret");
  EXPECT_EQ(settings.replyMode, ReplySendCopy);
  EXPECT_TRUE(settings.startupAddress);
  EXPECT_FALSE(settings.saveLog);
  EXPECT_EQ(settings.height, 6000);
  EXPECT_EQ(settings.width, 5000);
  EXPECT_TRUE(settings.subjectIsDate);
  EXPECT_TRUE(settings.historyByName);
  EXPECT_FALSE(settings.receiveFirst);

  Lines saved = settingsFileLines(settings);
  Lines expected = {"smtp.example.jp", "me@example.jp", "boss@example.jp", "kept@example.jp", "False",
                    "pop.example.jp", "user", "secret", " 1 ", "True", "False", " 6000 ", " 5000 ", "True",
                    "True", "True", "False"};
  EXPECT_EQ(saved, expected);

  // "False" at the old copy flag reads as the number 0; "True" at line 4 marks the
  // layout as well, and only the exact word does.
  earlier[3] = "True";
  earlier[7] = "False";
  Settings second;
  second.quitAfterSend = false;
  readSettingsFile(earlier, second);
  EXPECT_TRUE(second.quitAfterSend);
  EXPECT_EQ(second.dummyAddress, "");
  EXPECT_EQ(second.replyMode, ReplyDontSend);

  earlier[3] = "true";  // not the exact word: a dummy address, the rest one line later
  Settings third;
  readSettingsFile(earlier, third);
  EXPECT_EQ(third.dummyAddress, "true");
  EXPECT_EQ(third.popServer, "user");
}

TEST(SettingsFileTest, ReplyModeLine) {
  struct Case {
    std::string line;
    int before;
    int after;
  };
  const Case cases[] = {
      {" 2 ", NoReplyMode, ReplyToDummy},
      {"True", NoReplyMode, ReplySendCopy},
      {" True", NoReplyMode, ReplySendCopy},     // blanks before a value are skipped
      {"true", NoReplyMode, ReplyDontSend},      // not the word: a number without digits
      {" 7 ", NoReplyMode, NoReplyMode},         // outside the menu: nothing checked
      {" 7 ", ReplySeparate, ReplySeparate},     // and nothing unchecked
      {"-1", ReplyToDummy, ReplyToDummy},
      {"40000", NoReplyMode, NoReplyMode},       // outside 16 bits
      {" 2.5 ", NoReplyMode, ReplyToDummy},      // halves go to the even neighbour
      {"3.5", NoReplyMode, NoReplyMode},         // 4
      {"0.5", NoReplyMode, ReplyDontSend},
      {"1,3", NoReplyMode, ReplySendCopy},
      {"\"3\"", NoReplyMode, ReplySeparate},
      {"word", NoReplyMode, ReplyDontSend},
      {"", NoReplyMode, ReplyDontSend},
  };
  for (const Case& c : cases) {
    Lines lines = writtenFile();
    lines[8] = c.line;
    Settings settings;
    settings.replyMode = c.before;
    readSettingsFile(lines, settings);
    EXPECT_EQ(settings.replyMode, c.after) << "line 9: [" << c.line << "]";
  }

  Settings none;  // nothing checked is saved as 0
  EXPECT_EQ(settingsFileLines(none)[8], " 0 ");
}

TEST(SettingsFileTest, FlagLines) {
  struct Case {
    std::string line;
    bool before;
    bool after;
  };
  const Case cases[] = {
      {"True", false, true},  {"false", true, false}, {"TRUE", false, true}, {" 0 ", true, false},
      {"-1", false, true},    {"2.5", false, true},   {"0.0", true, false},  {"yes", false, false},
      {"yes", true, true},    {"", true, true},       {"", false, false},    {"1x", false, false},
      {"True,False", false, true}, {"\"False\"", true, false},
  };
  struct Mark {
    std::size_t index;
    bool Settings::*member;
  };
  const Mark marks[] = {{4, &Settings::quitAfterSend},  {9, &Settings::startupAddress},
                        {10, &Settings::saveLog},       {14, &Settings::subjectIsDate},
                        {15, &Settings::historyByName}, {16, &Settings::receiveFirst}};
  for (const Case& c : cases) {
    for (const Mark& mark : marks) {
      Lines lines = writtenFile();
      lines[mark.index] = c.line;
      Settings settings;
      settings.*mark.member = c.before;
      readSettingsFile(lines, settings);
      EXPECT_EQ(settings.*mark.member, c.after) << "line " << mark.index + 1 << ": [" << c.line << "]";
    }
  }
}

TEST(SettingsFileTest, SizesAndFileCutShort) {
  Lines lines = writtenFile();
  lines[11] = " 4770.5 ";
  lines[12] = "-3 ";  // a size the window cannot take
  Settings settings;
  readSettingsFile(lines, settings);
  EXPECT_EQ(settings.height, 4770.5);
  EXPECT_EQ(settings.width, 4770);

  lines[11] = "1e999";
  lines[12] = " 6 000x";
  readSettingsFile(lines, settings);
  EXPECT_EQ(settings.height, 4770.5);
  EXPECT_EQ(settings.width, 6000);

  // Cut after the POP server: texts empty, marks kept, index and sizes count as 0.
  Lines cut = writtenFile();
  cut.resize(6);
  Settings fromCut;
  fromCut.popUser = "old";
  fromCut.popPassword = "old";
  fromCut.saveLog = true;
  fromCut.receiveFirst = true;
  readSettingsFile(cut, fromCut);
  EXPECT_EQ(fromCut.popServer, "pop.example.jp");
  EXPECT_EQ(fromCut.popUser, "");
  EXPECT_EQ(fromCut.popPassword, "");
  EXPECT_EQ(fromCut.replyMode, ReplyDontSend);
  EXPECT_TRUE(fromCut.saveLog);
  EXPECT_TRUE(fromCut.receiveFirst);
  EXPECT_EQ(fromCut.height, 0);
  EXPECT_EQ(fromCut.width, 0);

  Settings fromEmpty;
  fromEmpty.smtpServer = "old";
  readSettingsFile({}, fromEmpty);
  EXPECT_EQ(fromEmpty.smtpServer, "");
  EXPECT_EQ(fromEmpty.dummyAddress, "");
  EXPECT_TRUE(fromEmpty.quitAfterSend);
}

TEST(SettingsFileTest, NumberConversions) {
  EXPECT_EQ(numberValue(" 5220 "), 5220);
  EXPECT_EQ(numberValue("- 3"), -3);
  EXPECT_EQ(numberValue("1 2 3"), 123);
  EXPECT_EQ(numberValue("12abc"), 12);
  EXPECT_EQ(numberValue("12.5.3"), 12.5);
  EXPECT_EQ(numberValue(".5"), 0.5);
  EXPECT_EQ(numberValue("1E+07"), 1e7);
  EXPECT_EQ(numberValue("12E"), 12);
  EXPECT_EQ(numberValue("abc"), 0);
  EXPECT_EQ(numberValue(""), 0);

  EXPECT_EQ(wholeNumberValue("2.5"), 2);
  EXPECT_EQ(wholeNumberValue("3.5"), 4);
  EXPECT_EQ(wholeNumberValue("-2.5"), -2);
  EXPECT_EQ(wholeNumberValue("32767.4"), 32767);
  EXPECT_EQ(wholeNumberValue("32767.5"), std::nullopt);
  EXPECT_EQ(wholeNumberValue("-32768.5"), -32768);
  EXPECT_EQ(wholeNumberValue("-32769"), std::nullopt);
  EXPECT_EQ(wholeNumberValue("99999999999999999999999"), std::nullopt);
  EXPECT_EQ(wholeNumberValue("word"), 0);

  EXPECT_EQ(formatNumber(0), " 0 ");
  EXPECT_EQ(formatNumber(-0.0), " 0 ");
  EXPECT_EQ(formatNumber(5220), " 5220 ");
  EXPECT_EQ(formatNumber(-3), "-3 ");
  EXPECT_EQ(formatNumber(2.5), " 2.5 ");
  EXPECT_EQ(formatNumber(4770.5), " 4770.5 ");
  EXPECT_EQ(formatNumber(1234.56789), " 1234.568 ");
  EXPECT_EQ(formatNumber(0.5), " .5 ");
  EXPECT_EQ(formatNumber(9999999), " 9999999 ");
  EXPECT_EQ(formatNumber(12345678), " 1.234568E+07 ");
  for (double size : {0.5, 15.25, 4770.5, 123456.7, 12345678.0}) {
    EXPECT_FLOAT_EQ(numberValue(formatNumber(size)), size) << formatNumber(size);
  }
}

TEST(SettingsFileTest, RetentionDays) {
  const std::pair<std::string, std::string> cases[] = {
      {"0", "999"},  {"-3", "999"}, {"word", "999"}, {"", "999"},      {"40000", "999"},
      {"30", "30"}, {"2.5", "2"},  {"3.5", "4"},    {" 30 days", "30"}, {"32767", "32767"}};
  for (const auto& [line, shown] : cases) EXPECT_EQ(retentionFromFile({line}), shown) << line;
  EXPECT_EQ(retentionFromFile({}), "999");
}

// Files as they lie on disk: CP932 with CR LF. "表" and "ソ" end in the byte of a
// backslash, "～" is one of the characters where CP932 and plain Shift-JIS differ.
const std::string kYamada = "\x8e\x52\x93\x63";          // 山田
const std::string kHyouSoTilde = "\x95\x5c\x83\x5c\x81\x60";  // 表ソ～

TEST(SettingsFileTest, JapaneseFileSurvivesReadAndSaveByteForByte) {
  test::TempFolder folder;
  const std::string pp1 =
      "smtp.example.jp\r\n" + kYamada + " <me@example.jp>\r\nboss@example.jp\r\n" + kHyouSoTilde +
      ",dummy\r\nFalse\r\npop.example.jp\r\n" + kYamada + "\r\n\"pass,word\r\n 2 \r\nTrue\r\nTrue\r\n"
      " 8000 \r\n 6000.5 \r\nTrue\r\nFalse\r\nFalse\r\nTrue\r\n";
  test::writeBytes(folder / "PP1.dat", pp1);
  test::writeBytes(folder / "PP4.dat", "30\r\n");

  auto lines = readTextLines(folder / "PP1.dat");
  ASSERT_TRUE(lines);
  Settings settings;
  readSettingsFile(*lines, settings);
  EXPECT_EQ(settings.replyTo, "山田 <me@example.jp>");
  EXPECT_EQ(settings.dummyAddress, "表ソ～,dummy");
  EXPECT_EQ(settings.popUser, "山田");
  EXPECT_EQ(settings.popPassword, "\"pass,word");
  EXPECT_EQ(settings.replyMode, ReplyToDummy);
  EXPECT_EQ(settings.width, 6000.5);
  EXPECT_FALSE(settings.subjectIsDate);
  EXPECT_FALSE(settings.historyByName);
  auto retention = readTextLines(folder / "PP4.dat");
  ASSERT_TRUE(retention);
  settings.retentionDays = retentionFromFile(*retention);

  ASSERT_EQ(writeTextLines(folder / "PP1.dat", settingsFileLines(settings), FileAccess::Private), "");
  ASSERT_EQ(writeTextLines(folder / "PP4.dat", {settings.retentionDays}), "");
  EXPECT_EQ(test::readBytes(folder / "PP1.dat"), pp1);
  EXPECT_EQ(test::readBytes(folder / "PP4.dat"), "30\r\n");
}

TEST(SettingsFileTest, FirstRunAndEarlierLayoutFilesOnDisk) {
  test::TempFolder folder;
  Settings fresh;
  ASSERT_EQ(writeTextLines(folder / "PP1.dat", settingsFileLines(fresh), FileAccess::Private), "");
  ASSERT_EQ(writeTextLines(folder / "PP4.dat", {fresh.retentionDays}), "");
  EXPECT_EQ(test::readBytes(folder / "PP1.dat"),
            "\r\n\r\n\r\n\r\nTrue\r\n\r\n\r\n\r\n 0 \r\nFalse\r\nFalse\r\n 5220 \r\n 4770 \r\nTrue\r\n"
            "False\r\nTrue\r\nFalse\r\n");
  EXPECT_EQ(test::readBytes(folder / "PP4.dat"), "999\r\n");

  // The earlier layout, one line shorter, comes back in the current one.
  test::writeBytes(folder / "PP1.dat",
                   "smtp.example.jp\r\nme@example.jp\r\n\r\nTrue\r\npop.example.jp\r\n" + kYamada +
                       "\r\nsecret\r\nTrue\r\nFalse\r\nTrue\r\n 5220 \r\n 4770 \r\nTrue\r\nFalse\r\nTrue\r\n"
                       "True\r\n");
  auto lines = readTextLines(folder / "PP1.dat");
  ASSERT_TRUE(lines);
  Settings settings;
  settings.quitAfterSend = false;
  readSettingsFile(*lines, settings);
  ASSERT_EQ(writeTextLines(folder / "PP1.dat", settingsFileLines(settings), FileAccess::Private), "");
  EXPECT_EQ(test::readBytes(folder / "PP1.dat"),
            "smtp.example.jp\r\nme@example.jp\r\n\r\n\r\nTrue\r\npop.example.jp\r\n" + kYamada +
                "\r\nsecret\r\n 1 \r\nFalse\r\nTrue\r\n 5220 \r\n 4770 \r\nTrue\r\nFalse\r\nTrue\r\n"
                "True\r\n");
}

}  // namespace
}  // namespace parupo
