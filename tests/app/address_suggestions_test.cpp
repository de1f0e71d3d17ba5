// What 宛先 offers as the user types, and what a choice leaves in the box.
#include <gtest/gtest.h>

#include "addressbook/address_book.h"
#include "app/address_suggestions.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

AddressSuggestions over(const std::vector<std::string>& texts) {
  AddressSuggestions s;
  s.setCandidates(texts);
  return s;
}

TEST(AddressSuggestions, OffersWhatHoldsTheTypedTextIgnoringCaseWidthAndKana) {
  const AddressSuggestions s = over(
      {"hanako@example.jp", "山田 <yamada@example.jp>", "タロウ <Taro@Example.jp>", "hanako@example.jp"});
  struct Row {
    const char* typed;
    std::vector<std::string> offered;
  };
  const Row rows[] = {
      {"h", {}},                                 // one character offers nothing
      {"ha", {"hanako@example.jp"}},             // the repeat is offered once
      {"ＴＡＲ", {"タロウ <Taro@Example.jp>"}},  // full-width, any case
      {"たろ", {"タロウ <Taro@Example.jp>"}},    // hiragana finds katakana
      {"山田", {"山田 <yamada@example.jp>"}},
      {"example", {"hanako@example.jp", "山田 <yamada@example.jp>", "タロウ <Taro@Example.jp>"}},
      {"x@example.jp, yam", {"山田 <yamada@example.jp>"}},  // the address after the separator
      {"x@example.jp、　ya", {"山田 <yamada@example.jp>"}},
      {"x@example.jp;", {}},
      {"nobody", {}},
  };
  for (const Row& row : rows) EXPECT_EQ(s.offers(row.typed), row.offered) << row.typed;
  EXPECT_EQ(s.offers("example", 2).size(), 2u);
}

TEST(AddressSuggestions, AChoiceReplacesOnlyTheAddressBeingTyped) {
  EXPECT_EQ(withChosenAddress("yam", "山田 <yamada@example.jp>"), "山田 <yamada@example.jp>");
  EXPECT_EQ(withChosenAddress("a@example.jp, yam", "山田 <y@example.jp>"), "a@example.jp, 山田 <y@example.jp>");
  EXPECT_EQ(withChosenAddress("a@example.jp\tyam", "y@example.jp"), "a@example.jp\ty@example.jp");
  // Typed in front of the default domain the box started with, and before further addresses.
  EXPECT_EQ(withChosenAddress("yam", "山田 <y@example.jp>", "@example.jp"), "山田 <y@example.jp>");
  EXPECT_EQ(withChosenAddress("yam", "y@example.jp", "@x.jp, b@example.jp"), "y@example.jp, b@example.jp");
}

TEST(AddressSuggestions, TheBookOffersEntriesWithTheirNamesAsTheBoxReadsThem) {
  test::TempFolder folder;
  test::writeCp932Lines(folder / "PPad.dat", {"友人", "山田\tyamada@example.jp", "Yamada, Taro\ttaro@example.jp",
                                              "花子\t花子 <hanako@example.jp>", "電話だけ\t\t09012345678"});
  AddressBook book;
  ASSERT_EQ(book.AdrsLoad(folder.path()), AddressBook::Load::Loaded);
  EXPECT_EQ(bookOffers(book),
            (std::vector<std::string>{"山田 <yamada@example.jp>", "\"Yamada, Taro\" <taro@example.jp>",
                                      "花子 <hanako@example.jp>"}));
}

}  // namespace
}  // namespace parupo
