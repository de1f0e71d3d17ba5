#include "core/settings_file.h"

#include <charconv>
#include <cmath>
#include <cstddef>

#include "platform/field_reader.h"
#include "platform/text_util.h"

namespace parupo {

namespace {

// Files of the earlier layout lack the dummy address and are one line shorter.
constexpr std::size_t kEarlierLineCount = 16;

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// One value of a flag or number line, read by the program's comma field rule. Text
// lines are taken whole instead, so that a comma, a leading blank or a quote typed into
// a field comes back unchanged.
std::string valueOf(const std::string& line) { return firstField({line}); }

// The decimal number at the start of `text`: sign, digits, point, digits; anything
// else ends it, an exponent too ("1E4" is 1). Sets `length` to the number of characters
// it used (0 when there are no digits, and the value is then 0).
double leadingNumber(std::string_view text, std::size_t& length) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::string canonical;
  std::size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) {
    canonical += text[i++];
    ++digits;
  }
  if (canonical.empty()) canonical.push_back('0');
  if (i < text.size() && text[i] == '.') {
    canonical += text[i++];
    while (i < text.size() && isDigit(text[i])) {
      canonical += text[i++];
      ++digits;
    }
  }
  if (digits == 0) {
    length = 0;
    return 0;
  }
  length = i;
  double value = 0;
  auto [end, error] = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // Too large to hold, or so small that it is as good as zero.
    const std::string_view whole = std::string_view(canonical).substr(0, canonical.find('.'));
    value = whole.find_first_not_of('0') != std::string_view::npos ? HUGE_VAL : 0.0;
  }
  return negative ? -value : value;
}

std::string withoutBlanks(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    if (!isBlank(c) && c != '\n' && c != '\r') out += c;
  }
  return out;
}

// Text fields are one-line boxes; a line break inside a value would shift every later
// line of the file, so it is dropped.
std::string withoutLineBreaks(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '\r' && c != '\n') out += c;
  }
  return out;
}

std::string flagText(bool on) { return on ? "True" : "False"; }

// Hands out the file's lines in order; past the end every line is empty.
class LineCursor {
 public:
  explicit LineCursor(const std::vector<std::string>& lines) : lines_(lines) {}
  const std::string& next() {
    static const std::string empty;
    return position_ < lines_.size() ? lines_[position_++] : empty;
  }

 private:
  const std::vector<std::string>& lines_;
  std::size_t position_ = 0;
};

void applyFlag(const std::string& line, bool& mark) {
  if (auto flag = flagValue(valueOf(line))) mark = *flag;
}

void applySize(const std::string& line, double& size) {
  double value = numberValue(valueOf(line));
  // A size the window cannot take leaves the window as it is.
  if (std::isfinite(value) && value >= 0) size = value;
}

}  // namespace

double numberValue(std::string_view value) {
  std::size_t used = 0;
  return leadingNumber(withoutBlanks(value), used);
}

std::optional<bool> flagValue(std::string_view value) {
  std::string_view trimmed = trimBlanks(value);
  if (equalsIgnoringAsciiCase(trimmed, "True")) return true;
  if (equalsIgnoringAsciiCase(trimmed, "False")) return false;
  // Otherwise only a value that is a decimal number as a whole counts.
  std::size_t used = 0;
  double number = leadingNumber(trimmed, used);
  if (used == 0 || used != trimmed.size()) return std::nullopt;
  return number != 0;
}

std::optional<int> wholeNumberValue(std::string_view value) {
  double number = numberValue(value);
  if (!std::isfinite(number)) return std::nullopt;
  double floor = std::floor(number);
  double fraction = number - floor;
  double rounded = floor;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0)) rounded = floor + 1;
  if (rounded < -32768 || rounded > 32767) return std::nullopt;
  return static_cast<int>(rounded);
}

std::string formatNumber(double value) {
  if (!std::isfinite(value) || value == 0) value = 0;  // also turns -0 into 0
  // Single precision: at most 7 significant digits, a fraction only when there is one.
  char buffer[400];
  std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
  if (written.ec == std::errc() && std::string_view(buffer, written.ptr).find('e') != std::string_view::npos) {
    // The file's numbers are read without an exponent ("1.5E+07" would come back as
    // 1.5): those seven digits are written out in full instead.
    double rounded = value;
    std::from_chars(buffer, written.ptr, rounded);
    written = std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed);
  }
  std::string_view digits = written.ec == std::errc() ? std::string_view(buffer, written.ptr) : "0";
  std::string out;
  if (value < 0) {
    out += '-';
    digits.remove_prefix(1);
  } else {
    out += ' ';
  }
  // A value below one is written without its leading zero (".5", "-.25").
  if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.') digits.remove_prefix(1);
  for (char c : digits) out += c == 'e' ? 'E' : c;
  out += ' ';
  return out;
}

void readSettingsFile(const std::vector<std::string>& lines, Settings& settings) {
  LineCursor file(lines);
  settings.smtpServer = file.next();
  settings.replyTo = file.next();
  settings.specificAddress = file.next();

  // A flag where the dummy address belongs marks the earlier layout, which had no
  // dummy address line. A file with all 17 lines is the current layout even then:
  // its dummy address is literally "True" or "False". Empty lines at the end (an editor's
  // extra line end) hold no value and are not counted.
  std::size_t valueLines = lines.size();
  while (valueLines > 0 && lines[valueLines - 1].empty()) --valueLines;
  const std::string& fourth = file.next();
  bool earlier = (fourth == "True" || fourth == "False") && valueLines <= kEarlierLineCount;
  if (earlier) {
    applyFlag(fourth, settings.quitAfterSend);
  } else {
    settings.dummyAddress = fourth;
    applyFlag(file.next(), settings.quitAfterSend);
  }

  settings.popServer = file.next();
  settings.popUser = file.next();
  settings.popPassword = file.next();

  // The reply mode's index; the earlier layout kept a flag here, "True" being a copy.
  const std::string mode = valueOf(file.next());
  if (mode == "True") {
    settings.checkedReplyMode = ReplySendCopy;
  } else if (auto index = wholeNumberValue(mode); index && isReplyMode(*index)) {
    settings.checkedReplyMode = *index;
  }

  applyFlag(file.next(), settings.startupAddress);
  applyFlag(file.next(), settings.saveLog);
  applySize(file.next(), settings.height);
  applySize(file.next(), settings.width);
  file.next();  // whether the settings menu is shown: always shown, nothing to restore
  applyFlag(file.next(), settings.subjectIsDate);
  applyFlag(file.next(), settings.historyByName);
  applyFlag(file.next(), settings.receiveFirst);
}

std::vector<std::string> settingsFileLines(const Settings& settings) {
  std::vector<std::string> lines = {
      withoutLineBreaks(settings.smtpServer),
      withoutLineBreaks(settings.replyTo),
      withoutLineBreaks(settings.specificAddress),
      withoutLineBreaks(settings.dummyAddress),
      flagText(settings.quitAfterSend),
      withoutLineBreaks(settings.popServer),
      withoutLineBreaks(settings.popUser),
      withoutLineBreaks(settings.popPassword),
      formatNumber(settings.replyMode()),
      flagText(settings.startupAddress),
      flagText(settings.saveLog),
      formatNumber(settings.height),
      formatNumber(settings.width),
      flagText(true),
      flagText(settings.subjectIsDate),
      flagText(settings.historyByName),
      flagText(settings.receiveFirst),
  };
  return lines;
}

std::string retentionFromFile(const std::vector<std::string>& lines) {
  int days = wholeNumberValue(firstField(lines)).value_or(0);
  return days < 1 ? std::string(kDefaultRetentionDays) : std::to_string(days);
}

}  // namespace parupo
