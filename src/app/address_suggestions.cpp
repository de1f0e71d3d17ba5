#include "app/address_suggestions.h"

#include <unordered_set>

#include "addressbook/address_book.h"
#include "platform/text_util.h"

namespace parupo {

namespace {

char32_t folded(char32_t c) {
  if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;  // full-width ASCII
  if (c >= 'A' && c <= 'Z') return c + ('a' - 'A');
  if (c >= 0x30A1 && c <= 0x30F6) return c - 0x60;  // katakana as hiragana
  return c;
}

bool isSeparator(std::string_view text, std::size_t at) {
  return text[at] == ',' || text[at] == ';' || text[at] == '\t' || text.substr(at, 3) == "、";
}

// A name beside an address: quoted when the box would read it as more than one.
std::string namedAddress(const std::string& name, const std::string& address) {
  const bool plain = name.find_first_of(",;\"<>()@\\") == std::string::npos && name.find("、") == std::string::npos;
  if (plain) return name + " <" + address + ">";
  std::string quoted = "\"";
  for (char c : name) quoted += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
  return quoted + "\" <" + address + ">";
}

}  // namespace

std::string foldForSearch(std::string_view text) {
  text = trimBlanks(text, Blanks::WithIdeographic);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    std::size_t length = decodeUtf8(text, i, c);
    if (length == 0) c = 0xFFFD, length = utf8CharLength(text.substr(i));  // a broken character
    appendUtf8(out, folded(c));
    i += length;
  }
  return out;
}

std::size_t lastAddressStart(std::string_view boxText) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < boxText.size(); i += utf8CharLength(boxText.substr(i))) {
    if (isSeparator(boxText, i)) start = i + utf8CharLength(boxText.substr(i));
  }
  while (start < boxText.size()) {
    if (boxText[start] == ' ') {
      ++start;
    } else if (boxText.substr(start, 3) == "\u3000") {
      start += 3;
    } else {
      break;
    }
  }
  return start;
}

std::string withChosenAddress(std::string_view before, std::string_view chosen, std::string_view after) {
  std::size_t rest = 0;
  while (rest < after.size() && !isSeparator(after, rest)) rest += utf8CharLength(after.substr(rest));
  return std::string(before.substr(0, lastAddressStart(before))).append(chosen).append(after.substr(rest));
}

void AddressSuggestions::setCandidates(const std::vector<std::string>& texts) {
  candidates_.clear();
  candidates_.reserve(texts.size());
  std::unordered_set<std::string_view> seen;
  for (const std::string& text : texts) {
    if (text.empty() || !seen.insert(text).second) continue;
    candidates_.push_back({text, foldForSearch(text)});
  }
}

std::vector<std::string> AddressSuggestions::offers(std::string_view boxText, std::size_t most) const {
  const std::string typed = foldForSearch(boxText.substr(lastAddressStart(boxText)));
  if (utf16Length(typed) < kSuggestFrom) return {};
  std::vector<std::string> found;
  for (const Candidate& c : candidates_) {
    if (found.size() == most) break;
    if (c.folded.find(typed) != std::string::npos) found.push_back(c.shown);
  }
  return found;
}

std::vector<std::string> bookOffers(const AddressBook& book) {
  std::vector<std::string> offers;
  for (NodeId group : book.groups()) {
    for (NodeId entry : book.node(group)->children) {
      const SelRec record = book.LiSch(entry);
      const std::string address(trimBlanks(record.address));
      if (address.empty()) continue;
      const bool named = address.find('<') != std::string::npos || record.name.empty();
      offers.push_back(named ? address : namedAddress(record.name, address));
    }
  }
  return offers;
}

}  // namespace parupo
