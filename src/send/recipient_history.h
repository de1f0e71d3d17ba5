// The ten most recent recipients, slot 0 the newest, and their file PP2.dat.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace parupo {

class RecipientHistory {
 public:
  static constexpr int kSlots = 10;

  // Fills the slots from PP2.dat's lines, one whole line per slot (missing lines give
  // empty slots); the character references save() wrote become their characters.
  void load(const std::vector<std::string>& lines);
  // The recipient text moves (or comes in) at slot 0; an equal text further down is
  // taken out, otherwise the oldest slot is given up.
  void promote(const std::string& recipient);
  // A PP2.dat that exists but could not be read (`why`) is kept as it is: saving would
  // put the slots over a history that may still be whole.
  void keepUnreadableFile(std::string why) { unreadable_ = std::move(why); }
  // Writes PP2.dat: ten lines, a character CP932 lacks as a reference ("&#x2665;").
  // Empty text on success, otherwise a sentence for the user.
  [[nodiscard]] std::string save(const std::filesystem::path& file) const;

  const std::string& slot(int i) const { return slots_[static_cast<std::size_t>(i)]; }
  // Whether both history menus show entry i: an empty slot is nothing to pick.
  bool shown(int i) const;
  // The captions of the by-name menu: the name of the first address-book entry whose
  // address is this slot's recipient, looked up in the address book's lines (name TAB
  // address ...): the same text, or the same one bare address however either is
  // written ("花子 <hanako@Example.jp>" for "hanako@example.jp"; the domain in any case,
  // never a part of a longer address); the slot's text itself when no entry has it.
  std::array<std::string, kSlots> namesFrom(const std::vector<std::string>& addressBookLines) const;

 private:
  std::array<std::string, kSlots> slots_;
  std::string unreadable_;
};

// Whether a recipient picked from the history is (part of) one's own reply-to address:
// then Check1 is ticked, so that no copy goes to oneself.
bool isOwnAddress(const std::string& replyTo, const std::string& recipient);

}  // namespace parupo
