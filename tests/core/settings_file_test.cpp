// PP1.dat and PP4.dat: their lines. Both files saved and read back, a first start without them,
// PP1.dat made private and a save that fails: end to end.
#include "core/settings_file.h"

#include <gtest/gtest.h>

namespace parupo {
namespace {

using Lines = std::vector<std::string>;

Lines split(const std::string& text) {  // "a|b" as the lines a, b
  Lines lines(1);
  for (char c : text) c == '|' ? lines.emplace_back() : lines.back() += c;
  return lines;
}

// Every field and mark away from its design state.
const std::string kWritten =
    "smtp.example.jp|me@example.jp|boss@example.jp|dummy@example.jp|False|pop.example.jp|"
    "山田|pass,word| 3 |True|True| 8000 | 6000 |True|True|False|True";

// Japanese CP932 text byte for byte and the earlier layout's copy flag: the end-to-end start tests.

TEST(SettingsFile, LayoutsAreReadAndWrittenBackInTheCurrentOne) {
  const struct {
    const char* name;
    std::string in, out;
  } cases[] = {
      {"unusable sizes stay as they were",
       "s|r|b|d|True|pop|u|p| 0 |False|False|-3 |" + std::string(400, '9') + "|True|False|True|False",
       "s|r|b|d|True|pop|u|p| 0 |False|False| 5220 | 4770 |True|False|True|False"},
      {"an extra line end is not a 17th line",
       "s|r|b|False|pop|u|p|False|False|True| 6000 | 5000 |True|False|False|True|",
       "s|r|b||False|pop|u|p| 0 |False|True| 6000 | 5000 |True|False|False|True"},
      {"a full file keeps its dummy True",
       "s|r|b|True|False|pop|u|p| 0 |False|True| 6000 | 5000 |True|False|False|True",
       "s|r|b|True|False|pop|u|p| 0 |False|True| 6000 | 5000 |True|False|False|True"},
      {"cut short", "s|r|b|d|False|pop", "s|r|b|d|False|pop||| 0 |False|False| 0 | 0 |True|False|True|False"},
  };
  for (const auto& c : cases) {
    Settings read;
    readSettingsFile(split(c.in), read);
    EXPECT_EQ(settingsFileLines(read), split(c.out)) << c.name;
  }
  Settings broken;  // a line break typed into a field never shifts the later lines
  broken.popServer = "pop.example.jp\r\n";
  EXPECT_EQ(settingsFileLines(broken)[5], "pop.example.jp");
}

TEST(SettingsFile, ReplyModeAndFlagLines) {
  constexpr int none = NoReplyMode;
  const struct {
    std::size_t index;
    std::string line;
    int before, after;
  } cases[] = {{8, " 2 ", none, 2},      {8, "True", none, 1},   {8, "true", none, 0},   {8, " 7 ", 3, 3},
               {8, "40000", none, none}, {8, " 2.5 ", none, 2},  {8, "3.5", none, none}, {8, "1,3", none, 1},
               {8, "\"3\"", none, 3},    {8, "", none, 0},       {16, "True", 0, 1},     {16, "false", 1, 0},
               {16, " 0 ", 1, 0},        {16, "-1", 0, 1},       {16, "yes", 1, 1},      {16, "1x", 0, 0},
               {16, "True,False", 0, 1}, {16, "\"False\"", 1, 0}};
  for (const auto& c : cases) {
    Settings s;
    s.checkedReplyMode = c.before;
    s.receiveFirst = c.before != 0;
    Lines lines = split(kWritten);
    lines[c.index] = c.line;
    readSettingsFile(lines, s);
    EXPECT_EQ(c.index == 8 ? s.checkedReplyMode : int(s.receiveFirst), c.after) << c.index << " [" << c.line << "]";
  }
}

TEST(SettingsFile, NumberConversionsAndRetentionDays) {
  const std::pair<std::string, double> numbers[] = {{"- 3", -3},      {" 6 000x", 6000},
                                                    {"12.5.3", 12.5}, {"2.5E+07", 2.5},
                                                    {"abc", 0},       {"0." + std::string(400, '0') + "1", 0}};
  for (const auto& [text, value] : numbers) EXPECT_EQ(numberValue(text), value) << text;
  const std::pair<double, std::string> written[] = {
      {-0.0, " 0 "},        {-3, "-3 "}, {1234.56789, " 1234.568 "}, {0.5, " .5 "}, {12345678, " 12345680 "},
      {0.00001, " .00001 "}};
  for (const auto& [value, text] : written) EXPECT_EQ(formatNumber(value), text) << value;
  const std::pair<std::string, std::string> retention[] = {{"0", "999"},         {"word", "999"}, {"32767.5", "999"},
                                                           {"32766.5", "32766"}, {"2.5", "2"},    {"3.5", "4"},
                                                           {" 30 days", "30"},   {"1e3", "1"}};
  for (const auto& [line, shown] : retention) EXPECT_EQ(retentionFromFile({line}), shown) << line;
  EXPECT_EQ(retentionFromFile({}), "999");
}

}  // namespace
}  // namespace parupo
