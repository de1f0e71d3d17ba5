#include "send/recipient_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text_file.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

std::vector<std::string> slotsOf(const RecipientHistory& h) {
  std::vector<std::string> s;
  for (int i = 0; i < RecipientHistory::kSlots; ++i) s.push_back(h.slot(i));
  return s;
}

RecipientHistory lettersAtoJ() {
  RecipientHistory h;
  h.load({"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"});
  return h;
}

TEST(RecipientHistory, PromoteRotatesTheSlots) {
  RecipientHistory h = lettersAtoJ();
  h.promote("F");
  EXPECT_EQ(slotsOf(h), (std::vector<std::string>{"F", "A", "B", "C", "D", "E", "G", "H", "I", "J"}));

  h = lettersAtoJ();
  h.promote("K");
  EXPECT_EQ(slotsOf(h), (std::vector<std::string>{"K", "A", "B", "C", "D", "E", "F", "G", "H", "I"}));

  h = lettersAtoJ();
  h.promote("A");
  EXPECT_EQ(slotsOf(h), (std::vector<std::string>{"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"}));

  // Case counts: ABC is new, abc moves from slot 2 to slot 3.
  h.load({"x", "y", "abc"});
  h.promote("ABC");
  EXPECT_EQ(slotsOf(h), (std::vector<std::string>{"ABC", "x", "y", "abc", "", "", "", "", "", ""}));

  // An empty recipient box: slot 0 becomes empty and its entry stays shown; the first
  // empty slot is the one taken out.
  h.promote("");
  EXPECT_EQ(slotsOf(h), (std::vector<std::string>{"", "ABC", "x", "y", "abc", "", "", "", "", ""}));
  EXPECT_TRUE(h.shownByAddress(0));
  EXPECT_TRUE(h.shownByAddress(4));
  EXPECT_FALSE(h.shownByAddress(5));
  EXPECT_FALSE(h.shownByAddress(9));
}

TEST(RecipientHistory, SavesTenCp932LinesThatComeBackWhole) {
  test::TempFolder folder;
  RecipientHistory h;
  h.load({"@example.jp"});
  h.promote("山田 <ta@example.jp>, \"x\"");
  h.promote("  lead@example.jp");
  ASSERT_EQ(h.save(folder / "PP2.dat"), "");
  EXPECT_EQ(test::readBytes(folder / "PP2.dat"),
            "  lead@example.jp\r\n\x8e\x52\x93\x63 <ta@example.jp>, \"x\"\r\n@example.jp\r\n"
            "\r\n\r\n\r\n\r\n\r\n\r\n\r\n");

  // After a restart every entry is back, commas, quotes and blanks included.
  const auto lines = readTextLines(folder / "PP2.dat");
  ASSERT_TRUE(lines.has_value());
  RecipientHistory restarted;
  restarted.load(*lines);
  EXPECT_EQ(slotsOf(restarted), slotsOf(h));

  // Fewer lines give empty slots; lines beyond ten are not slots.
  restarted.load({"a", "b"});
  EXPECT_EQ(slotsOf(restarted), (std::vector<std::string>{"a", "b", "", "", "", "", "", "", "", ""}));
  restarted.load(std::vector<std::string>(12, "z"));
  EXPECT_EQ(restarted.slot(9), "z");

  EXPECT_NE(h.save(folder / "no-such-folder" / "PP2.dat"), "");
}

TEST(RecipientHistory, NamesComeFromTheAddressBookLines) {
  const std::vector<std::string> book = {
      "友人",                                     // a group line
      "ベータ\tbeta@example.jp",
      "田中\tta@example.jp\t090-0000-0000",
      "仕事",
      "鈴木\tsuzuki@example.jp",
      "友人の友人\tother@example.jp",
  };
  RecipientHistory h;
  h.load({"ta@example.jp", "suzuki@example.jp", "", "unknown@example.jp", "友人", "eta@example.jp",
          "Suzuki@example.jp"});
  const auto names = h.namesFrom(book);
  EXPECT_EQ(names[0], "田中");    // exact address wins over beta@example.jp containing it
  EXPECT_EQ(names[1], "鈴木");
  EXPECT_EQ(names[2], "");        // empty slot
  EXPECT_EQ(names[3], "unknown@example.jp");
  EXPECT_EQ(names[4], "友人");    // first match is the group line: the slot's text stays
  EXPECT_EQ(names[5], "ベータ");  // no exact address: the first line containing it
  EXPECT_EQ(names[6], "Suzuki@example.jp");  // case-sensitive
  EXPECT_EQ(names[9], "");

  EXPECT_EQ(h.namesFrom({})[0], "ta@example.jp");
}

}  // namespace
}  // namespace parupo
