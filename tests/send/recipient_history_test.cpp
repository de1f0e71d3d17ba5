#include "send/recipient_history.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace parupo {
namespace {

using Slots = std::vector<std::string>;
Slots slotsOf(const RecipientHistory& h) { Slots s; for (int i = 0; i < 10; ++i) s.push_back(h.slot(i)); return s; }

TEST(RecipientHistory, PromoteRotatesTheSlots) {
  const Slots aj = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"};
  const struct { const char* name; Slots before; std::string recipient; Slots after; } cases[] = {
      {"a slot moves to the top", aj, "F", {"F", "A", "B", "C", "D", "E", "G", "H", "I", "J"}},
      {"a new one pushes the last out", aj, "K", {"K", "A", "B", "C", "D", "E", "F", "G", "H", "I"}},
      {"the top stays", aj, "A", aj},
      {"case counts", {"x", "y", "abc"}, "ABC", {"ABC", "x", "y", "abc", "", "", "", "", "", ""}},
      {"empty goes in too", {"x", "y"}, "", {"", "x", "y", "", "", "", "", "", "", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecipientHistory h;
    h.load(c.before);
    h.promote(c.recipient);
    EXPECT_EQ(slotsOf(h), c.after);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(h.shown(i), !c.after[i].empty()) << i;
  }
}

// The saved file's bytes, across a restart, are proven by the main window's history test.
TEST(RecipientHistory, AnUnwritableFileIsToldAndNamesComeFromTheAddressBook) {
  RecipientHistory h;
  EXPECT_NE(h.save(test::TempFolder() / "no-such-folder" / "PP2.dat"), "");
  // Only an entry of exactly that address names a slot: not a line containing it, nor a group.
  h.load({"ta@example.jp", "", "unknown@example.jp", "友人", "eta@example.jp", "Beta@example.jp", "@example.jp"});
  const auto names = h.namesFrom({"友人", "ベータ\tbeta@example.jp", "田中\tta@example.jp\t090", "仕事"});
  EXPECT_EQ(Slots(names.begin(), names.begin() + 8),
            (Slots{"田中", "", "unknown@example.jp", "友人", "eta@example.jp", "Beta@example.jp", "@example.jp", ""}));
}

}  // namespace
}  // namespace parupo
