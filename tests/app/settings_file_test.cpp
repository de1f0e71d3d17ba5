#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text_file.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

using Lines = std::vector<std::string>;

// "a|b|c" as the lines a, b, c.
Lines split(const std::string& text) {
  Lines lines(1);
  for (char c : text) {
    if (c == '|') lines.emplace_back();
    else lines.back() += c;
  }
  return lines;
}

// A PP1.dat as the program writes it, every field and mark away from its design state.
const std::string kWritten =
    "smtp.example.jp|me@example.jp|boss@example.jp|dummy@example.jp|False|pop.example.jp|山田|pass,word| 3 |True|"
    "True| 8000 | 6000 |True|True|False|True";

Settings read(const Lines& lines, Settings settings = {}) {
  readSettingsFile(lines, settings);
  return settings;
}
// The written file with one line replaced, read over `before`.
Settings withLine(std::size_t index, const std::string& line, const Settings& before) {
  Lines lines = split(kWritten);
  lines[index] = line;
  return read(lines, before);
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
  EXPECT_EQ(s.width, 6000.5);
  EXPECT_EQ(saved(s), pp1);
}

TEST(SettingsFile, LayoutsAreReadAndWrittenBackInTheCurrentOne) {
  const std::pair<const char*, const char*> cases[] = {
      {kWritten.c_str(), kWritten.c_str()},
      // Opposite marks; a leading blank, comma or quote in a text; a dummy address "True".
      {"| 山田, <a@example.jp>|\"q|True|True|||| 0 |False|False| 4770.5 | 1 |True|False|True|False",
       "| 山田, <a@example.jp>|\"q|True|True|||| 0 |False|False| 4770.5 | 1 |True|False|True|False"},
      // Sizes the window cannot take are left as they were.
      {"s|r|b|d|True|pop|u|p| 0 |False|False|-3 |1e999|True|False|True|False",
       "s|r|b|d|True|pop|u|p| 0 |False|False| 5220 | 4770 |True|False|True|False"},
      // The earlier layout: no dummy address line; "True" at the old copy flag is mode 1.
      {"s|r|b|False|pop|u|p|True|True|False| 6000 | 5000 |True|True|True|False",
       "s|r|b||False|pop|u|p| 1 |True|False| 6000 | 5000 |True|True|True|False"},
      {"s|r|b|True|pop|u|p|False|False|True| 6000 | 5000 |True|False|False|True",
       "s|r|b||True|pop|u|p| 0 |False|True| 6000 | 5000 |True|False|False|True"},
      // Only the exact word marks the earlier layout.
      {"s|r|b|true|pop|u|p|False|False|True| 6000 | 5000 |True|False|False|True",
       "s|r|b|true|True|u|p|False| 0 |True|True| 5000 | 0 |True|False|True|False"},
      // Cut short: missing texts are empty, marks stay, mode and sizes count as 0.
      {"s|r|b|d|False|pop", "s|r|b|d|False|pop||| 0 |False|False| 0 | 0 |True|False|True|False"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(settingsFileLines(read(split(in))), split(out)) << in;

  Settings broken;  // a line break typed into a field never shifts the later lines
  broken.popServer = "pop.example.jp\r\n";
  EXPECT_EQ(settingsFileLines(broken)[5], "pop.example.jp");
}

TEST(SettingsFile, ReplyModeAndFlagLines) {
  struct Case {
    std::string line;
    int before, after;
  };
  constexpr int none = NoReplyMode;
  const Case modes[] = {
      {" 2 ", none, 2}, {"True", none, 1}, {" True", none, 1}, {"true", none, 0},  {" 7 ", none, none},
      {" 7 ", 3, 3},    {"-1", 2, 2},      {"40000", none, none}, {" 2.5 ", none, 2}, {"3.5", none, none},
      {"1,3", none, 1}, {"\"3\"", none, 3}, {"", none, 0}};
  for (const auto& c : modes) {
    Settings before;
    before.replyMode = c.before;
    EXPECT_EQ(withLine(8, c.line, before).replyMode, c.after) << "[" << c.line << "]";
  }
  const Case flags[] = {{"True", 0, 1}, {"false", 1, 0}, {" 0 ", 1, 0}, {"-1", 0, 1},        {"2.5", 0, 1},
                        {"yes", 0, 0},  {"yes", 1, 1},   {"", 1, 1},    {"1x", 0, 0},        {"True,False", 0, 1},
                        {"\"False\"", 1, 0}};
  const std::pair<std::size_t, bool Settings::*> marks[] = {
      {4, &Settings::quitAfterSend},  {9, &Settings::startupAddress}, {10, &Settings::saveLog},
      {14, &Settings::subjectIsDate}, {15, &Settings::historyByName}, {16, &Settings::receiveFirst}};
  for (const auto& c : flags) {
    for (const auto& [index, mark] : marks) {
      Settings before;
      before.*mark = c.before != 0;
      EXPECT_EQ(withLine(index, c.line, before).*mark, c.after != 0) << "line " << index + 1 << ": [" << c.line << "]";
    }
  }
}

TEST(SettingsFile, NumberConversionsAndRetentionDays) {
  const std::pair<std::string, double> numbers[] = {
      {"- 3", -3}, {" 6 000x", 6000}, {"12.5.3", 12.5}, {"1E+07", 1e7}, {"12E", 12}, {"abc", 0}};
  for (const auto& [text, value] : numbers) EXPECT_EQ(numberValue(text), value) << text;

  const std::pair<double, std::string> written[] = {
      {-0.0, " 0 "}, {-3, "-3 "}, {4770.5, " 4770.5 "}, {1234.56789, " 1234.568 "}, {0.5, " .5 "},
      {12345678, " 1.234568E+07 "}};
  for (const auto& [value, text] : written) {
    EXPECT_EQ(formatNumber(value), text);
    EXPECT_FLOAT_EQ(numberValue(text), value) << text;
  }

  const std::pair<std::string, std::string> retention[] = {
      {"0", "999"}, {"-3", "999"}, {"word", "999"}, {"32767.5", "999"}, {"32766.5", "32766"},
      {"2.5", "2"}, {"3.5", "4"}, {" 30 days", "30"}};
  for (const auto& [line, shown] : retention) EXPECT_EQ(retentionFromFile({line}), shown) << line;
  EXPECT_EQ(retentionFromFile({}), "999");
}

}  // namespace
}  // namespace parupo
