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
  // empty slots).
  void load(const std::vector<std::string>& lines);
  // The recipient text moves (or comes in) at slot 0; an equal text further down is
  // taken out, otherwise the oldest slot is given up.
  void promote(const std::string& recipient);
  // A PP2.dat that exists but could not be read (`why`) is kept as it is: saving would
  // put the slots over a history that may still be whole.
  void keepUnreadableFile(std::string why) { unreadable_ = std::move(why); }
  // Writes PP2.dat: ten lines. Empty text on success, otherwise a sentence for the user.
  [[nodiscard]] std::string save(const std::filesystem::path& file) const;

  const std::string& slot(int i) const { return slots_[static_cast<std::size_t>(i)]; }
  // Whether the address menu shows entry i (slot 0 always; the others when not empty).
  bool shownByAddress(int i) const;
  // The captions of the by-name menu: the name of the address-book entry whose address
  // is this slot's text, looked up in the address book's lines (name TAB address ...).
  std::array<std::string, kSlots> namesFrom(const std::vector<std::string>& addressBookLines) const;

 private:
  std::array<std::string, kSlots> slots_;
  std::string unreadable_;
};

// Whether a recipient picked from the history is (part of) one's own reply-to address:
// then Check1 is ticked, so that no copy goes to oneself.
bool isOwnAddress(const std::string& replyTo, const std::string& recipient);

}  // namespace parupo
