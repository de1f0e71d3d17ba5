#include "send/compose_rules.h"

#include <algorithm>
#include <system_error>

#include "platform/field_reader.h"
#include "platform/text_file.h"
#include "platform/text_util.h"

namespace parupo {

namespace {

constexpr const char* kDecorationFile = "naisho.txt";

constexpr std::string_view kComma = "、";   // U+3001
constexpr std::string_view kPeriod = "。";  // U+3002

// The text's characters, each a whole UTF-8 sequence.
std::vector<std::string_view> characters(std::string_view text) {
  std::vector<std::string_view> out;
  while (!text.empty()) {
    const std::size_t n = utf8CharLength(text);
    out.push_back(text.substr(0, n));
    text.remove_prefix(n);
  }
  return out;
}

// The characters a "。" may become. A "。" drawn from the set would stand in its own
// place and be drawn for again, so leaving it out of the draw gives the same odds.
std::vector<std::string_view> candidates(std::string_view set) {
  std::vector<std::string_view> out;
  for (std::string_view c : characters(set))
    if (c != kPeriod) out.push_back(c);
  if (out.empty() && !set.empty()) out = characters(kDefaultDecorationSet);
  return out;
}

}  // namespace

QuickMessage pickQuickMessage(Random& random) {
  const int last = static_cast<int>(kQuickSubjects.size()) - 1;
  QuickMessage m;
  m.subject = kQuickSubjects[static_cast<std::size_t>(random.uniformInt(0, last))];
  m.body = kQuickBodies[static_cast<std::size_t>(random.uniformInt(0, last))];
  return m;
}

std::string bodyStamp(const LocalDateTime& now) { return "\r\n" + formatMonthDayTime(now); }

std::size_t composeLength(std::string_view recipient, std::string_view subject, std::string_view body) {
  return utf16Length(recipient) + utf16Length(subject) + utf16Length(body);
}

std::string attachmentCaption(std::uintmax_t bytes) { return std::to_string(bytes / 1024) + " KB"; }

std::string oneLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    out += (c == '\r' || c == '\n') ? ' ' : c;
  }
  return out;
}

void ensureDecorationFile(const std::filesystem::path& folder) {
  std::error_code ec;
  const auto status = std::filesystem::symlink_status(folder / kDecorationFile, ec);
  if (status.type() != std::filesystem::file_type::not_found) return;
  // Not told: without the file the default set decorates all the same.
  static_cast<void>(writeTextLines(folder / kDecorationFile, {kDefaultDecorationSet}));
}

std::string readDecorationSet(const std::filesystem::path& folder) {
  const TextFileRead read = readTextFile(folder / kDecorationFile);
  if (read.missing()) {
    ensureDecorationFile(folder);
    return kDefaultDecorationSet;
  }
  const auto& lines = read.lines;
  // A first line of blanks has a first field all the same: the empty one.
  if (!lines || lines->empty()) return kDefaultDecorationSet;
  return firstField(*lines);
}

std::string decorate(std::string_view body, std::string_view set, Random& random) {
  const std::vector<std::string_view> pool = candidates(set);
  random.seedFromClock();
  std::string out;
  out.reserve(body.size());
  for (std::string_view c : characters(body)) {
    if (c != kComma && c != kPeriod) {
      out += c;
      continue;
    }
    if (pool.empty()) continue;  // an empty set removes the mark
    double r = random.unit();
    if (!(r > 0)) r = 0;  // a generator outside 0 <= r < 1 still picks from the set
    auto pick = static_cast<std::size_t>(std::min(r, 1.0) * static_cast<double>(pool.size()));
    out += pool[std::min(pick, pool.size() - 1)];
  }
  return out;
}

}  // namespace parupo
