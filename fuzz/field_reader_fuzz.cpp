// PP3.dat's first field (the copy's subject prefix), and the comma field reader under
// it, which reads every field of every line to the end of the file.
#include "fuzz_support.h"
#include "platform/field_reader.h"

using namespace parupo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines = fuzz::fileLines(fuzz::bytesOf(data, size));

  const std::string first = firstField(lines);
  fuzz::require(lines.empty() || lines.front().find(first) != std::string::npos,
                "the first field is a piece of the first line", first);

  // Fields and whole lines alternately, as a reader of mixed records would take them.
  FieldReader reader(lines);
  std::size_t steps = 0;
  while (!reader.atEnd()) {
    const std::string field = (steps % 3 == 2) ? reader.nextLine() : reader.next();
    fuzz::require(field.find_first_of("\r\n") == std::string::npos, "a field stays inside its line");
    ++steps;
  }
  fuzz::require(reader.next().empty() && reader.nextLine().empty(), "past the end only empty text");
  return 0;
}
