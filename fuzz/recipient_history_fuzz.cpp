// PP2.dat, the recipient history, and the by-name captions it looks up in the address
// book's lines. The input is split at its first form feed: PP2.dat before it, the
// address book's lines after it.
#include "fuzz_support.h"
#include "send/recipient_history.h"

using namespace parupo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = fuzz::bytesOf(data, size);
  const std::size_t split = std::min(bytes.find('\f'), bytes.size());
  const std::vector<std::string> pp2 = fuzz::fileLines(bytes.substr(0, split));
  const std::vector<std::string> book = fuzz::fileLines(bytes.substr(std::min(split + 1, bytes.size())));

  RecipientHistory history;
  history.load(pp2);
  for (int i = 0; i < RecipientHistory::kSlots; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    fuzz::require(history.slot(i) == (k < pp2.size() ? pp2[k] : ""), "a slot holds its whole line");
  }
  (void)history.namesFrom(book);

  // A send promotes the recipient: it stands first, and is held as often as before
  // (once when it is new): an equal slot moves up rather than being copied.
  const std::string recipient = book.empty() ? std::string() : book.front();
  auto copies = [&] {
    int n = 0;
    for (int i = 0; i < RecipientHistory::kSlots; ++i) n += history.slot(i) == recipient;
    return n;
  };
  const int before = copies();
  history.promote(recipient);
  fuzz::require(history.slot(0) == recipient, "the promoted recipient is slot 0");
  fuzz::require(copies() == std::max(before, 1), "promoting moves an equal slot up, never copies it");
  return 0;
}
