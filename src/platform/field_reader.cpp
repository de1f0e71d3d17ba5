#include "platform/field_reader.h"

#include <utility>

namespace parupo {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

FieldReader::FieldReader(std::vector<std::string> lines) : lines_(std::move(lines)) {}

bool FieldReader::atEnd() const { return line_ >= lines_.size(); }

std::string FieldReader::next() {
  if (atEnd()) return "";
  const std::string& line = lines_[line_];
  std::size_t pos = column_;
  while (pos < line.size() && isBlank(line[pos])) ++pos;

  std::string field;
  std::size_t end;  // where the field's separator (a comma or the line's end) stands
  if (pos < line.size() && line[pos] == '"') {
    const std::size_t close = line.find('"', pos + 1);
    if (close == std::string::npos) {
      field = line.substr(pos + 1);
      end = line.size();
    } else {
      field = line.substr(pos + 1, close - pos - 1);
      // Whatever stands between the closing quote and the next comma is dropped.
      end = line.find(',', close + 1);
      if (end == std::string::npos) end = line.size();
    }
  } else {
    end = line.find(',', pos);
    if (end == std::string::npos) end = line.size();
    field = line.substr(pos, end - pos);
  }

  if (end < line.size()) {
    column_ = end + 1;  // after the comma: an empty field may still follow on this line
  } else {
    ++line_;
    column_ = 0;
  }
  return field;
}

std::string FieldReader::nextLine() {
  if (atEnd()) return "";
  std::string rest = lines_[line_].substr(std::min(column_, lines_[line_].size()));
  ++line_;
  column_ = 0;
  return rest;
}

std::string firstField(const std::vector<std::string>& lines) {
  if (lines.empty()) return "";
  return FieldReader({lines.front()}).next();
}

}  // namespace parupo
