// The comma field reader that the old data files were written for: a field is read from
// the current position; leading blanks are skipped; a field that begins with a double
// quote runs to the next double quote and the quotes are dropped; any other field runs
// to the next comma or to the end of its line. Past the end it gives empty text.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace parupo {

class FieldReader {
 public:
  explicit FieldReader(std::vector<std::string> lines);

  // The next field, as described above; "" at the end of the file.
  std::string next();
  // The rest of the current line, whole and unchanged; "" at the end of the file.
  std::string nextLine();
  bool atEnd() const;

 private:
  std::vector<std::string> lines_;
  std::size_t line_ = 0;
  std::size_t column_ = 0;
};

// The first field of a file's first line, by the rule above ("" for an empty file).
std::string firstField(const std::vector<std::string>& lines);

}  // namespace parupo
