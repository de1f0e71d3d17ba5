// The address book model over real CP932 files in a temporary folder.
#include "addressbook/address_book.h"

#include <gtest/gtest.h>

#include "platform/text_file.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

using Lines = std::vector<std::string>;

struct BookTest : ::testing::Test {
  test::TempFolder folder;
  AddressBook book;
  AddressBook::Load load(const Lines& lines) {
    test::writeCp932Lines(folder / "PPad.dat", lines);
    return book.AdrsLoad(folder.path());
  }
  const BookNode& at(NodeId id) const { return *book.node(id); }
  NodeId group(std::size_t i) const { return book.groups().at(i); }
  NodeId entry(std::size_t g, std::size_t i) const { return at(group(g)).children.at(i); }
  Lines saved() {
    EXPECT_EQ(book.AdrsSave(folder.path()), "");
    return readTextLines(folder / "PPad.dat").value_or(Lines{"unreadable"});
  }
};

// A book as the program writes it, with what older versions lost: commas in names and
// addresses, one name in two groups and twice in one group, an empty group.
const Lines kWritten = {
    "友人", "山田, 太郎\tyamada@example.jp", "佐藤\tsato@example.jp\t090-1234-5678", "佐藤\tsato2@example.jp",
    "仕事", "佐藤\twork,sato@example.jp",    "鈴木\tsuzuki@example.jp\t09012345678", "空のグループ"};

// Saved byte for byte, a Windows-written book after a drag: the end-to-end address book test.
TEST_F(BookTest, ABookTheProgramWroteLoadsIntoItsTree) {
  EXPECT_EQ(load(kWritten), AddressBook::Load::Loaded);
  ASSERT_EQ(book.groups().size(), 3u);
  EXPECT_EQ(at(group(0)).picture, kClosed);
  EXPECT_EQ(at(entry(0, 0)).key, "友人\\山田, 太郎");
  EXPECT_EQ(at(entry(0, 1)).picture, kMobile);
  EXPECT_EQ(at(entry(0, 2)).picture, kMail);
  // Each of the three 佐藤 has its own record.
  EXPECT_EQ(book.LiSch(entry(0, 1)).address, "sato@example.jp");
  EXPECT_EQ(book.LiSch(entry(0, 2)).address, "sato2@example.jp");
  EXPECT_EQ(book.LiSch(entry(1, 0)).address, "work,sato@example.jp");
  EXPECT_EQ(saved(), kWritten);
}

TEST_F(BookTest, EveryKindOfFileLoadsAsTheNextSaveShows) {
  struct Row {
    const char* name;
    std::optional<Lines> file;
    Lines savedLines;
    int firstPicture;
  };
  const Row rows[] = {
      {"missing-file", std::nullopt, {"メイングループ"}, kClosed},
      {"skipped-lines-then-entry",
       Lines{"", "a\tb\tc\td", "甲\ta@x.jp", "G"},
       {"メイングループ", "甲\ta@x.jp", "G"},
       kClosed},
      {"main-group-read-from-file", Lines{"メイングループ"}, {"メイングループ"}, kClosed},
      {"two-groups-of-one-name-both-kept", Lines{"G", "甲\ta", "G", "甲\tb"}, {"G", "甲\ta", "G", "甲\tb"}, kClosed},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    book = AddressBook();
    std::filesystem::remove(folder / "PPad.dat");
    if (row.file) test::writeCp932Lines(folder / "PPad.dat", *row.file);
    EXPECT_EQ(book.AdrsLoad(folder.path()), row.file ? AddressBook::Load::Loaded : AddressBook::Load::Missing);
    EXPECT_EQ(at(book.firstNode()).picture, row.firstPicture);
    EXPECT_EQ(saved(), row.savedLines);
  }
}

TEST_F(BookTest, RegisteringGoesToTheCurrentGroupAndRefusesWhatTheFileCannotCarry) {
  load({"G", "甲\ta@x.jp", "H"});
  NodeId made = kNoNode;
  EXPECT_EQ(book.registerEntry(entry(0, 0), "乙", "b@x.jp", "123456789", &made), "");  // nine characters: no mobile
  EXPECT_EQ(at(made).picture, kMail);
  EXPECT_EQ(book.registerEntry(group(1), "丙", "c@x.jp", "０９０１２３４５６７", &made), "");
  EXPECT_EQ(at(made).picture, kMobile);  // at once, as after the next load
  // Refusals change nothing.
  EXPECT_NE(book.registerEntry(group(0), "甲", "again@x.jp", ""), "");  // key taken
  EXPECT_NE(book.registerEntry(group(0), "a\\b", "x@x.jp", ""), "");
  EXPECT_NE(book.registerEntry(group(0), "丁", "x@x.jp", "090\r\n1234567"), "");
  EXPECT_NE(book.registerEntry(kNoNode, "丁", "x@x.jp", ""), "");
  EXPECT_EQ(book.update(kNoNode, "x", "y", "z"), "");  // nothing picked: nothing happens
  EXPECT_EQ(saved(), (Lines{"G", "甲\ta@x.jp", "乙\tb@x.jp", "H", "丙\tc@x.jp\t０９０１２３４５６７"}));
}

TEST_F(BookTest, UpdatingAnEntryChangesItsTextRecordAndPictureButNotItsKey) {
  load({"G", "甲\ta@x.jp\t0901234567", "空\t"});
  const NodeId e = entry(0, 0);
  EXPECT_EQ(book.update(e, "甲二", "a2@x.jp", "123456789"), "");
  EXPECT_EQ(at(e).key, "G\\甲");
  EXPECT_EQ(at(e).picture, kMail);
  EXPECT_EQ(book.update(e, "甲二", "a2@x.jp", "1234567890"), "");
  EXPECT_EQ(at(e).picture, kMobile);
  EXPECT_NE(book.update(e, "甲\\二", "a2@x.jp", ""), "");
  EXPECT_EQ(book.update(entry(0, 1), "新", "n@x.jp", ""), "");  // registered without address: now has one
  EXPECT_EQ(at(entry(0, 1)).text, "新");
  // A group is renamed; its key and its entries' keys stay; an empty name is refused.
  EXPECT_EQ(book.update(group(0), "H", "", ""), "");
  EXPECT_NE(book.update(group(0), "", "", ""), "");
  EXPECT_EQ(at(group(0)).key, "G");
  EXPECT_EQ(saved(), (Lines{"H", "甲二\ta2@x.jp\t1234567890", "新\tn@x.jp"}));
}

TEST_F(BookTest, DroppingMovesEntriesOnlyAndNeverClashesKeys) {
  load({"G", "甲\ta", "乙\tb", "H", "丙\tc"});
  const NodeId ko = entry(0, 0), otsu = entry(0, 1), hei = entry(1, 0);
  EXPECT_TRUE(book.moveEntry(ko, ko));  // onto itself: to the end of its group
  EXPECT_EQ(at(group(0)).children, (std::vector<NodeId>{otsu, ko}));
  EXPECT_TRUE(book.moveEntry(otsu, hei));            // onto an entry of another group
  EXPECT_FALSE(book.moveEntry(group(0), group(1)));  // groups never move
  // A renamed entry gets a key of its new name; a move onto a taken key changes nothing.
  book.update(hei, "甲", "c", "");
  EXPECT_FALSE(book.moveEntry(hei, group(0)));
  EXPECT_TRUE(book.moveEntry(hei, group(1)));
  EXPECT_EQ(at(hei).key, "H\\甲");
  EXPECT_EQ(saved(), (Lines{"G", "甲\ta", "H", "乙\tb", "甲\tc"}));
}

TEST_F(BookTest, AGroupPictureFollowsItsEntriesAndDeletingAGroupDropsThemAndFreesTheirNames) {
  load({"G", "甲\ta", "乙\tb", "E"});
  EXPECT_EQ(book.expanded(group(0)), kOpen);
  EXPECT_EQ(book.collapsed(group(0)), kClosed);
  EXPECT_EQ(book.expanded(group(1)), kClosed);  // no entries: no change
  NodeId made = kNoNode;
  EXPECT_EQ(book.createGroup("新グループ", &made), "");
  EXPECT_EQ(at(made).picture, kClosed);
  EXPECT_NE(book.createGroup("a\\b"), "");
  EXPECT_EQ(book.createGroup("G"), "error !");
  EXPECT_EQ(book.createGroup(""), "");  // nothing made
  book.remove(entry(0, 1));
  EXPECT_EQ(saved(), (Lines{"G", "甲\ta", "E", "新グループ"}));
  book.remove(group(0));
  EXPECT_EQ(book.createGroup("G", &made), "");
  EXPECT_EQ(book.registerEntry(made, "甲", "a2", ""), "");
  EXPECT_EQ(book.recordsInTree(), (std::vector<bool>{false, false, true}));  // what the list still offers
  EXPECT_EQ(saved(), (Lines{"E", "新グループ", "G", "甲\ta2"}));
  book.remove(group(0)), book.remove(group(0)), book.remove(group(0));
  EXPECT_EQ(saved(), Lines{});
}

}  // namespace
}  // namespace parupo
