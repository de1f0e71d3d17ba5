#include "send/recipient_history.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <variant>

#include "mailapi/mail_address.h"

#include "platform/cp932_text.h"
#include "platform/text_file.h"
#include "platform/text_util.h"

namespace parupo {

namespace {

// The name of an address-book line (the part before its first TAB), or nothing for a
// group line, which has no TAB.
std::optional<std::string> entryName(const std::string& line) {
  const std::size_t tab = line.find('\t');
  if (tab == std::string::npos) return std::nullopt;
  return line.substr(0, tab);
}

// The address of an entry line: the field after the first TAB, up to the next TAB.
std::optional<std::string> entryAddress(const std::string& line) {
  const std::size_t tab = line.find('\t');
  if (tab == std::string::npos) return std::nullopt;
  const std::size_t end = line.find('\t', tab + 1);
  return line.substr(tab + 1, end == std::string::npos ? std::string::npos : end - tab - 1);
}

// The bare address of a text that holds exactly one address ("花子 <hanako@example.jp>"
// or "hanako@example.jp"); nothing otherwise.
std::optional<std::string> bareAddress(std::string_view text) {
  const auto parsed = mail::parseAddressList(text);
  const auto* list = std::get_if<std::vector<mail::Mailbox>>(&parsed);
  if (list == nullptr || list->size() != 1) return std::nullopt;
  return list->front().address;
}

// Whether an entry's address field names the slot's recipient: the same text, or the
// same bare address, written with or without a name, its domain in any case.
bool sameRecipient(const std::string& field, const std::string& slot) {
  if (field == slot) return true;
  const auto a = bareAddress(field);
  const auto b = bareAddress(slot);
  if (!a || !b) return false;
  const std::size_t atA = a->rfind('@');
  const std::size_t atB = b->rfind('@');
  return a->compare(0, atA, *b, 0, atB) == 0 &&
         equalsIgnoringAsciiCase(std::string_view(*a).substr(atA), std::string_view(*b).substr(atB));
}

// Only an entry whose address is this recipient names it: a line that merely contains
// it ("@example.jp" inside every address of the domain) is someone else.
std::string nameFor(const std::string& slot, const std::vector<std::string>& lines) {
  if (slot.empty()) return {};
  for (const std::string& line : lines) {
    const auto address = entryAddress(line);
    if (address && sameRecipient(*address, slot)) return *entryName(line);
  }
  return slot;
}

}  // namespace

void RecipientHistory::load(const std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    slots_[i] = i < lines.size() ? withoutCharacterReferences(lines[i]) : std::string();
  }
}

void RecipientHistory::promote(const std::string& recipient) {
  const auto found = std::find(slots_.begin(), slots_.end(), recipient);
  const std::size_t from = found == slots_.end() ? slots_.size() - 1 : static_cast<std::size_t>(found - slots_.begin());
  for (std::size_t j = from; j >= 1; --j) slots_[j] = slots_[j - 1];
  slots_[0] = recipient;
}

std::string RecipientHistory::save(const std::filesystem::path& file) const {
  if (!unreadable_.empty()) return "起動時に読み込めなかったため、元のファイルを残しています。\n" + unreadable_;
  // A recipient CP932 cannot write whole ("♥ <a@x>") is kept as references, which
  // load() reads back.
  std::vector<std::string> lines;
  for (const std::string& slot : slots_) lines.push_back(withCharacterReferences(slot));
  return writeTextLines(file, lines);
}

bool RecipientHistory::shown(int i) const { return !slot(i).empty(); }

std::array<std::string, RecipientHistory::kSlots> RecipientHistory::namesFrom(
    const std::vector<std::string>& addressBookLines) const {
  std::array<std::string, kSlots> names;
  for (std::size_t i = 0; i < slots_.size(); ++i) names[i] = nameFor(slots_[i], addressBookLines);
  return names;
}

bool isOwnAddress(const std::string& replyTo, const std::string& recipient) {
  return replyTo.find(recipient) != std::string::npos;
}

}  // namespace parupo
