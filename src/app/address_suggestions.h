// What the recipient box offers as the user types: the address book's entries and the
// history's recipients whose name or address holds the typed text, with case, full-width
// letters and katakana/hiragana ignored. Plain C++: fast enough for a book of fifty
// thousand entries at every key (the texts are folded once, when they are set).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace parupo {

class AddressBook;

// The fewest characters of an address being typed before anything is offered.
inline constexpr std::size_t kSuggestFrom = 2;

class AddressSuggestions {
 public:
  // The offers, in this order; a text given twice is offered once.
  void setCandidates(const std::vector<std::string>& texts);
  // The offers for the box's text up to the cursor: for the address after the last
  // separator (",", "、", ";", TAB), once it has kSuggestFrom characters; at most `most`.
  std::vector<std::string> offers(std::string_view boxText, std::size_t most = 50) const;

 private:
  struct Candidate {
    std::string shown, folded;
  };
  std::vector<Candidate> candidates_;
};

// The book's entries as the box takes them: "名前 <address>" (the name quoted when it holds
// a separator), the address field as it is when it already names someone or has no name
// beside it. Entries without an address are left out.
std::vector<std::string> bookOffers(const AddressBook& book);

// The text for searching: ASCII and full-width letters in lower case, katakana as
// hiragana; blanks at the ends dropped.
std::string foldForSearch(std::string_view text);

// Where the address being typed starts in the box's text (after the last separator and
// the blanks behind it).
std::size_t lastAddressStart(std::string_view boxText);

// The box's text with the address being typed replaced by the chosen offer: `before` and
// `after` are the box's text on either side of the cursor; what follows the cursor up to
// the next separator (the default domain the box started with) belongs to that address.
std::string withChosenAddress(std::string_view before, std::string_view chosen, std::string_view after = {});

}  // namespace parupo
