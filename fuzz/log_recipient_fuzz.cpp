// A log's recipient line (GetTo), which the log viewer reads from every log: reading
// only the first lines of the file gives what the whole file's lines give, and the
// recipient is one line.
#include "fuzz_support.h"
#include "logs/log_list.h"

using namespace parupo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = fuzz::bytesOf(data, size);
  const std::string recipient = recipientFromLines(fuzz::fileLines(bytes));
  fuzz::require(recipient.find_first_of("\r\n") == std::string::npos, "the recipient is one line", recipient);
  fuzz::require(GetTo(fuzz::scratchFile("log.txt", bytes)) == recipient,
                "reading the first lines gives the whole file's recipient", recipient);
  return 0;
}
