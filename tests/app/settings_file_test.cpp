#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text_file.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

using Lines = std::vector<std::string>;

// A PP1.dat as the program writes it, every field and mark away from its design state.
Lines writtenFile() {
  return {"smtp.example.jp", "me@example.jp", "boss@example.jp", "dummy@example.jp", "False",
          "pop.example.jp", "山田", "pass,word", " 3 ", "True", "True", " 8000 ", " 6000 ", "True",
          "True", "False", "True"};
}

Settings read(const Lines& lines, Settings settings = {}) {
  readSettingsFile(lines, settings);
  return settings;
}

TEST(SettingsFile, FirstRunAndJapaneseFilesOnDiskByteForByte) {
  test::TempFolder folder;
  auto saved = [&](const Settings& s) {
    EXPECT_EQ(writeTextLines(folder / "PP1.dat", settingsFileLines(s), FileAccess::Private), "");
    return test::readBytes(folder / "PP1.dat");
  };
  EXPECT_EQ(saved(Settings{}), "\r\n\r\n\r\n\r\nTrue\r\n\r\n\r\n\r\n 0 \r\nFalse\r\nFalse\r\n 5220 \r\n"
                               " 4770 \r\nTrue\r\nFalse\r\nTrue\r\nFalse\r\n");

  // CP932: 山田; 表 and ソ end in a backslash byte; ～ differs from plain Shift-JIS.
  const std::string yamada = "\x8e\x52\x93\x63", hyouSoTilde = "\x95\x5c\x83\x5c\x81\x60";
  const std::string pp1 = "smtp.example.jp\r\n" + yamada + " <me@example.jp>\r\nboss@example.jp\r\n" +
                          hyouSoTilde + ",dummy\r\nFalse\r\npop.example.jp\r\n" + yamada +
                          "\r\n\"pass,word\r\n 2 \r\nTrue\r\nTrue\r\n 8000 \r\n 6000.5 \r\nTrue\r\n"
                          "False\r\nFalse\r\nTrue\r\n";
  test::writeBytes(folder / "PP1.dat", pp1);
  const Settings s = read(readTextLines(folder / "PP1.dat").value());
  EXPECT_EQ(s.replyTo, "山田 <me@example.jp>");
  EXPECT_EQ(s.dummyAddress, "表ソ～,dummy");
  EXPECT_EQ(s.popPassword, "\"pass,word");
  EXPECT_EQ(s.replyMode, ReplyToDummy);
  EXPECT_EQ(s.width, 6000.5);
  EXPECT_EQ(saved(s), pp1);
}

TEST(SettingsFile, LayoutsAreReadAndWrittenBackInTheCurrentOne) {
  const Lines flipped = {"", " 山田, <a@example.jp>", "\"q", "True", "True", "", "", "", " 0 ", "False",
                         "False", " 4770.5 ", " 1 ", "True", "False", "True", "False"};
  Lines badSizes = writtenFile();
  badSizes[11] = "-3 ";
  badSizes[12] = "1e999";
  Lines keptSizes = writtenFile();
  keptSizes[11] = " 5220 ";
  keptSizes[12] = " 4770 ";
  const struct {
    Lines in, out;
  } cases[] = {
      {writtenFile(), writtenFile()},
      {flipped, flipped},  // a dummy address "True" in a 17-line file is an address
      {badSizes, keptSizes},
      // The earlier layout: no dummy address line; "True" at the old copy flag is mode 1.
      {{"s", "r", "b", "False", "pop", "u", "p", "True", "True", "False", " 6000 ", " 5000 ", "True",
        "True", "True", "False"},
       {"s", "r", "b", "", "False", "pop", "u", "p", " 1 ", "True", "False", " 6000 ", " 5000 ", "True",
        "True", "True", "False"}},
      {{"s", "r", "b", "True", "pop", "u", "p", "False", "False", "True", " 6000 ", " 5000 ", "True",
        "False", "False", "True"},
       {"s", "r", "b", "", "True", "pop", "u", "p", " 0 ", "False", "True", " 6000 ", " 5000 ", "True",
        "False", "False", "True"}},
      // Cut short: missing texts are empty, marks stay, mode and sizes count as 0.
      {{"s", "r", "b", "d", "False", "pop"},
       {"s", "r", "b", "d", "False", "pop", "", "", " 0 ", "False", "False", " 0 ", " 0 ", "True",
        "False", "True", "False"}},
  };
  for (const auto& c : cases) EXPECT_EQ(settingsFileLines(read(c.in)), c.out) << c.in[3];

  // Only the exact word marks the earlier layout.
  Lines lowercase = cases[3].in;
  lowercase[3] = "true";
  EXPECT_EQ(read(lowercase).dummyAddress, "true");
  EXPECT_EQ(read(lowercase).popServer, "u");
  // A line break typed into a field never shifts the later lines.
  Settings broken;
  broken.popServer = "pop.example.jp\r\n";
  EXPECT_EQ(settingsFileLines(broken)[5], "pop.example.jp");
}

TEST(SettingsFile, ReplyModeLine) {
  const struct {
    std::string line;
    int before, after;
  } cases[] = {
      {" 2 ", NoReplyMode, ReplyToDummy},  {"True", NoReplyMode, ReplySendCopy},
      {" True", NoReplyMode, ReplySendCopy}, {"true", NoReplyMode, ReplyDontSend},
      {" 7 ", NoReplyMode, NoReplyMode},   {" 7 ", ReplySeparate, ReplySeparate},
      {"-1", ReplyToDummy, ReplyToDummy},  {"40000", NoReplyMode, NoReplyMode},
      {" 2.5 ", NoReplyMode, ReplyToDummy}, {"3.5", NoReplyMode, NoReplyMode},
      {"1,3", NoReplyMode, ReplySendCopy}, {"\"3\"", NoReplyMode, ReplySeparate},
      {"", NoReplyMode, ReplyDontSend},
  };
  for (const auto& c : cases) {
    Lines lines = writtenFile();
    lines[8] = c.line;
    Settings before;
    before.replyMode = c.before;
    EXPECT_EQ(read(lines, before).replyMode, c.after) << "[" << c.line << "]";
  }
}

TEST(SettingsFile, FlagLines) {
  const struct {
    std::string line;
    bool before, after;
  } cases[] = {
      {"True", false, true}, {"false", true, false}, {" 0 ", true, false}, {"-1", false, true},
      {"2.5", false, true},  {"yes", false, false},  {"yes", true, true},  {"", true, true},
      {"1x", false, false},  {"True,False", false, true}, {"\"False\"", true, false},
  };
  const std::pair<std::size_t, bool Settings::*> marks[] = {
      {4, &Settings::quitAfterSend},  {9, &Settings::startupAddress}, {10, &Settings::saveLog},
      {14, &Settings::subjectIsDate}, {15, &Settings::historyByName}, {16, &Settings::receiveFirst}};
  for (const auto& c : cases) {
    for (const auto& [index, mark] : marks) {
      Lines lines = writtenFile();
      lines[index] = c.line;
      Settings before;
      before.*mark = c.before;
      EXPECT_EQ(read(lines, before).*mark, c.after) << "line " << index + 1 << ": [" << c.line << "]";
    }
  }
}

TEST(SettingsFile, NumberConversionsAndRetentionDays) {
  const std::pair<std::string, double> numbers[] = {
      {" 5220 ", 5220}, {"- 3", -3}, {" 6 000x", 6000}, {"12.5.3", 12.5}, {".5", 0.5},
      {"1E+07", 1e7},   {"12E", 12}, {"abc", 0}};
  for (const auto& [text, value] : numbers) EXPECT_EQ(numberValue(text), value) << text;

  const std::pair<std::string, std::optional<int>> whole[] = {
      {"2.5", 2},        {"3.5", 4},          {"-2.5", -2}, {"32767.5", std::nullopt},
      {"-32768.5", -32768}, {"-32769", std::nullopt}, {"99999999999999999999999", std::nullopt}};
  for (const auto& [text, value] : whole) EXPECT_EQ(wholeNumberValue(text), value) << text;

  const std::pair<double, std::string> written[] = {
      {-0.0, " 0 "}, {-3, "-3 "}, {4770.5, " 4770.5 "}, {1234.56789, " 1234.568 "}, {0.5, " .5 "},
      {12345678, " 1.234568E+07 "}};
  for (const auto& [value, text] : written) {
    EXPECT_EQ(formatNumber(value), text);
    EXPECT_FLOAT_EQ(numberValue(text), value) << text;
  }

  const std::pair<std::string, std::string> retention[] = {
      {"0", "999"}, {"-3", "999"}, {"word", "999"}, {"40000", "999"}, {"2.5", "2"}, {" 30 days", "30"}};
  for (const auto& [line, shown] : retention) EXPECT_EQ(retentionFromFile({line}), shown) << line;
  EXPECT_EQ(retentionFromFile({}), "999");
}

}  // namespace
}  // namespace parupo
