#include "send/compose_rules.h"
#include "send/recipient_history.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/fakes.h"
#include "support/temp_folder.h"

namespace parupo::test {
namespace {

TEST(Decoration, EachMarkBecomesASymbolOfTheSetAndTheLoopEnds) {
  const struct {
    const char *name, *body, *set;
    std::vector<double> draws;
    const char* decorated;
  } rows[] = {
      {"comma-and-period-but-not-full-width-stops", "A、B。C．，\r\n", "★", {}, "A★B★C．，\r\n"},
      {"draws-pick-by-position", "。。。。", "★●◆■", {0.0, 0.25, 0.5, 0.99}, "★●◆■"},
      {"period-only-set-falls-back", "。、", "。。", {0.0, 0.99}, "★■"},
      {"period-in-set-is-never-drawn", "。。", "。★", {0.0, 0.9}, "★★"},
      {"whole-characters-of-the-set", "。。", "😀x", {0.0, 0.6}, "😀x"},
  };
  for (const auto& row : rows) {
    FakeRandom random;
    random.units = row.draws;
    EXPECT_EQ(decorate(row.body, row.set, random), row.decorated) << row.name;
    EXPECT_EQ(random.seeds, 1) << row.name;
    EXPECT_TRUE(random.units.empty()) << row.name;  // one draw per mark, no more
  }
}

// The first field of a written set, and the file never rewritten: the body's key test (ComposeHandlersTest).
TEST(DecorationSet, AMissingEmptyOrUnreadableFileGivesTheDefaultSetABlankFirstLineNone) {
  TempFolder folder;
  EXPECT_EQ(readDecorationSet(folder.path()), "★●◆■");
  EXPECT_EQ(readBytes(folder / "naisho.txt"), cp932("★●◆■\r\n"));
  writeBytes(folder / "naisho.txt", cp932("  \r\n☆\r\n"));  // a blank first line: its field is empty
  EXPECT_EQ(readDecorationSet(folder.path()), "");
  writeBytes(folder / "naisho.txt", "");  // zero bytes: no field at all
  EXPECT_EQ(readDecorationSet(folder.path()), "★●◆■");
  std::filesystem::remove(folder / "naisho.txt");
  std::filesystem::create_directory(folder / "naisho.txt");  // a name taken by a folder
  EXPECT_EQ(readDecorationSet(folder.path()), "★●◆■");
}

// A size rounded down in the caption: "3 KB" for 3 KB and a few bytes in the end-to-end send test.
TEST(ComposeRules, LineBreaksAndSurrogatePairsCountTwoHugeAttachmentsFitTheCaptionAndBreaksBecomeBlanks) {
  EXPECT_EQ(composeLength("", "𠮷", "a\r\nb"), 6u);
  EXPECT_EQ(attachmentCaption(5368709120ULL), "5242880 KB");
  EXPECT_EQ(oneLine("a\r\nb\nc\rd\r"), "a b c d ");
}

using Slots = std::vector<std::string>;
Slots slotsOf(const RecipientHistory& h) {
  Slots s;
  for (int i = 0; i < 10; ++i) s.push_back(h.slot(i));
  return s;
}

// A slot picked again moving to the top, the saved file's bytes across a restart: the main window's history test.
TEST(RecipientHistory, TheTopStaysAndANewOnePushesTheLastOut) {
  const Slots aj = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"};
  RecipientHistory h;
  h.load(aj);
  h.promote("A");
  EXPECT_EQ(slotsOf(h), aj);
  h.promote("K");
  EXPECT_EQ(slotsOf(h), (Slots{"K", "A", "B", "C", "D", "E", "F", "G", "H", "I"}));
}

TEST(RecipientHistory, AnUnwritableFileIsToldAndNamesComeFromTheAddressBook) {
  RecipientHistory h;
  EXPECT_NE(h.save(TempFolder() / "no-such-folder" / "PP2.dat"), "");
  // An entry of that address names a slot, however either writes it, the domain in any case: not a line
  // containing it, nor a group, nor the same local part in another case.
  h.load({"ta@example.jp", "", "unknown@example.jp", "友人", "eta@example.jp", "Beta@example.jp", "@example.jp",
          "hanako@example.jp", "花子 <hanako@Example.JP>", "a@x, hanako@example.jp"});
  const auto names = h.namesFrom({"友人", "ベータ\tbeta@example.jp", "田中\tta@example.jp\t090", "仕事",
                                  "花子\t花子 <hanako@EXAMPLE.jp>", "ハナ\thanako@example.jp"});
  EXPECT_EQ(Slots(names.begin(), names.end()),
            (Slots{"田中", "", "unknown@example.jp", "友人", "eta@example.jp", "Beta@example.jp", "@example.jp", "花子",
                   "花子", "a@x, hanako@example.jp"}));
}

}  // namespace
}  // namespace parupo::test
