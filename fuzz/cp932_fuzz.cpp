// The CP932 edge of every data file: decoding any bytes, encoding any text, and the
// line structure surviving a write and a read.
#include "fuzz_support.h"
#include "mailapi/text_encoding.h"

using namespace parupo;

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

std::string replaced(std::string text, std::string_view what, std::string_view with) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

void checkDecode(std::string_view bytes) {
  const std::string text = fromCp932(bytes);
  fuzz::require(mail::sanitizeUtf8(text) == text, "decoding gives well-formed UTF-8");
  // A file read and written again keeps every character; only what could not be read
  // (U+FFFD) is written as "?", and from then on the bytes stay as they are.
  const std::string written = toCp932(text);
  fuzz::require(fromCp932(written) == replaced(text, kReplacement, "?"), "a read file writes back its text", written);
  fuzz::require(toCp932(fromCp932(written)) == written, "a written file reads and writes back unchanged", written);
}

void checkEncode(std::string_view utf8) {
  const std::string bytes = toCp932(utf8);
  fuzz::require(fromCp932(bytes).find(kReplacement) == std::string::npos, "encoding gives valid CP932", bytes);
  // The lines of a data file stay its lines: no character turns into a line end, and a
  // line end is never swallowed.
  std::vector<std::string> lines = splitLines(utf8);
  if (lines.back().empty()) lines.pop_back();
  fuzz::require(fuzz::fileLines(fuzz::fileBytes(lines)).size() == lines.size(), "a written file keeps its lines");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = fuzz::bytesOf(data, size);
  checkDecode(bytes);
  checkEncode(bytes);
  return 0;
}
