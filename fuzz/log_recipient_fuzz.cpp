// A log's recipient line (GetTo), which the log viewer reads from every log: reading
// only the first lines of the file gives what the whole file's lines give, and each
// recipient is one line.
#include "fuzz_support.h"
#include "logs/log_list.h"

using namespace parupo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = fuzz::bytesOf(data, size);
  const std::vector<std::string> recipients = recipientsFromLines(fuzz::fileLines(bytes));
  for (const std::string& recipient : recipients) {
    fuzz::require(recipient.find_first_of("\r\n") == std::string::npos, "each recipient is one line", recipient);
  }
  fuzz::require(GetTo(fuzz::scratchFile("log.txt", bytes)) == recipients,
                "reading the first lines gives the whole file's recipients", recipients.empty() ? "" : recipients[0]);
  return 0;
}
