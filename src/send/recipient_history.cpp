#include "send/recipient_history.h"

#include <algorithm>
#include <optional>

#include "platform/text_file.h"

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

std::string nameFor(const std::string& slot, const std::vector<std::string>& lines) {
  if (slot.empty()) return {};
  // An entry whose address is exactly this text names it, even when an earlier line
  // merely contains the text (ta@example.jp inside beta@example.jp).
  for (const std::string& line : lines) {
    if (entryAddress(line) == slot) return *entryName(line);
  }
  for (const std::string& line : lines) {
    if (line.find(slot) == std::string::npos) continue;
    // A group line has no name of an entry to show: the address stays.
    return entryName(line).value_or(slot);
  }
  return slot;
}

}  // namespace

void RecipientHistory::load(const std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    slots_[i] = i < lines.size() ? lines[i] : std::string();
  }
}

void RecipientHistory::promote(const std::string& recipient) {
  const auto found = std::find(slots_.begin(), slots_.end(), recipient);
  const std::size_t from =
      found == slots_.end() ? slots_.size() - 1 : static_cast<std::size_t>(found - slots_.begin());
  for (std::size_t j = from; j >= 1; --j) slots_[j] = slots_[j - 1];
  slots_[0] = recipient;
}

std::string RecipientHistory::save(const std::filesystem::path& file) const {
  if (!unreadable_.empty()) return "起動時に読み込めなかったため、元のファイルを残しています。\n" + unreadable_;
  return writeTextLines(file, std::vector<std::string>(slots_.begin(), slots_.end()));
}

bool RecipientHistory::shownByAddress(int i) const {
  return i == 0 || !slot(i).empty();
}

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
