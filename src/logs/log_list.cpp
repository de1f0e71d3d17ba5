#include "logs/log_list.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <variant>

#include "mailapi/mail_address.h"
#include "platform/cp932_text.h"
#include "platform/field_reader.h"
#include "platform/text_file.h"
#include "platform/text_util.h"

namespace parupo {

namespace {

// The first `lines` lines of a CP932 file (fewer when it is shorter), as UTF-8 lines.
// Reads no further than their end, scanning each byte once however long a line is, and
// never more than a data file may hold: a huge file without line ends is cut there.
std::optional<std::vector<std::string>> readFirstLines(const std::filesystem::path& file, int lines) {
  const int fd = openRegularFile(file);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  std::size_t scanned = 0;
  std::size_t end = std::string::npos;
  char chunk[512];
  while (end == std::string::npos && bytes.size() < kMaxDataFileBytes) {
    const ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, kMaxDataFileBytes - bytes.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.append(chunk, static_cast<std::size_t>(n));
    for (; scanned < bytes.size() && end == std::string::npos; ++scanned) {
      if (bytes[scanned] == '\r') {
        if (scanned + 1 == bytes.size()) break;  // perhaps a CR LF cut by the chunk: read on
        if (bytes[scanned + 1] == '\n') ++scanned;
      } else if (bytes[scanned] != '\n') {
        continue;
      }
      if (--lines == 0) end = scanned + 1;  // CR LF counts as one line end
    }
  }
  ::close(fd);
  if (end != std::string::npos) bytes.resize(end);
  // CR and LF never occur inside a CP932 double-byte character.
  return splitLines(fromCp932(bytes));
}

void eraseAll(std::string& text, const std::string& part) {
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at)) text.erase(at, part.size());
}

// The part of a recipient line that the user wrote to. The reply-to modes put the
// user's own address at its end, after " & " ("別々に送る") or after a TAB ("コピーを送る",
// "ダミーに送る"), and in "ダミーに送る" the dummy address in front, before a TAB. The
// log's reply-to line says what that address was; a log without one is read by the
// layout alone.
std::string writtenPart(std::string line, const std::optional<std::string>& replyTo) {
  auto cutReplyTo = [&](const std::string& separator) {
    std::size_t at = line.rfind(separator);
    if (replyTo) {
      const std::string tail = separator + *replyTo;
      at = line.ends_with(tail) ? line.size() - tail.size() : std::string::npos;
    }
    if (at == std::string::npos) return false;
    line.erase(at);
    return true;
  };
  if (cutReplyTo(" & ")) return line;
  if (cutReplyTo("\t")) {
    const std::size_t tab = line.find('\t');
    if (tab != std::string::npos) line.erase(0, tab + 1);  // the dummy address, first
  }
  return line;
}

// One recipient, as the earlier program read it: "Taro <abc>" gives "abc".
std::string singleRecipient(std::string text) {
  const std::size_t open = text.find('<');
  const std::size_t close = text.find('>');
  if (open == std::string::npos || close == std::string::npos) return text;
  text.erase(close);
  const std::size_t first = text.find('<');
  return first == std::string::npos ? text : text.substr(first + 1);
}

}  // namespace

std::vector<std::string> recipientsFromLines(const std::vector<std::string>& lines) {
  FieldReader reader(lines);
  reader.next();  // the log's first line, empty in every log the program writes
  std::string line = withoutCharacterReferences(reader.nextLine());
  eraseAll(line, "宛先 : ");
  const std::string replyLine = withoutCharacterReferences(reader.nextLine());
  constexpr std::string_view kReplyLabel = "返信 : ";
  const std::optional<std::string> replyTo = replyLine.starts_with(kReplyLabel)
                                                 ? std::optional(replyLine.substr(kReplyLabel.size()))
                                                 : std::nullopt;
  const std::string written = writtenPart(std::move(line), replyTo);

  std::vector<std::string> recipients;
  const auto parsed = mail::parseAddressList(written);
  const auto* list = std::get_if<std::vector<mail::Mailbox>>(&parsed);
  if (list == nullptr || list->size() < 2) {
    if (!written.empty()) recipients.push_back(singleRecipient(written));
    return recipients;
  }
  for (const mail::Mailbox& m : *list) {
    if (std::find(recipients.begin(), recipients.end(), m.address) == recipients.end()) recipients.push_back(m.address);
  }
  return recipients;
}

std::vector<std::string> GetTo(const std::filesystem::path& logFile) {
  const auto lines = readFirstLines(logFile, 3);
  return lines ? recipientsFromLines(*lines) : std::vector<std::string>{};
}

std::string logText(const std::filesystem::path& logFile) {
  std::string text;
  for (const auto& line : readTextLines(logFile).value_or(std::vector<std::string>{})) {
    text += withoutCharacterReferences(line);
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> recentRecipients(const std::vector<std::vector<std::string>>& recipientsOldestFirst) {
  constexpr std::size_t kEntries = 10;
  std::vector<std::string> menu;
  for (auto log = recipientsOldestFirst.rbegin(); log != recipientsOldestFirst.rend(); ++log) {
    for (const std::string& recipient : *log) {
      if (menu.size() == kEntries) return menu;
      if (!recipient.empty() && std::find(menu.begin(), menu.end(), recipient) == menu.end()) menu.push_back(recipient);
    }
  }
  return menu;
}

LogList::LogList(std::filesystem::path folder) : folder_(std::move(folder)) {
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(folder_, ec); !ec && it != std::filesystem::directory_iterator();
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (name.starts_with('.') || name.size() < 4 || !it->is_regular_file(typeError)) continue;
    if (equalsIgnoringAsciiCase(std::string_view(name).substr(name.size() - 4), ".txt")) names_.push_back(name);
  }
  std::sort(names_.begin(), names_.end());
}

std::vector<std::string> LogList::newestFirst() const { return {names_.rbegin(), names_.rend()}; }

void LogList::readRecipients() {
  if (recipients_.size() == names_.size()) return;
  recipients_.clear();
  recipients_.reserve(names_.size());
  for (const auto& name : names_) recipients_.push_back(GetTo(folder_ / name));
}

const std::vector<std::string>& LogList::recipients(std::size_t index) {
  static const std::vector<std::string> none;
  readRecipients();
  return index < recipients_.size() ? recipients_[index] : none;
}

const std::vector<std::string>& LogList::recipientMenu() {
  readRecipients();
  if (!menu_) menu_ = recentRecipients(recipients_);
  return *menu_;
}

std::vector<std::string> LogList::newestFirstTo(const std::string& recipient) {
  readRecipients();
  std::vector<std::string> names;
  for (std::size_t i = names_.size(); i-- > 0;)
    if (std::ranges::find(recipients_[i], recipient) != recipients_[i].end()) names.push_back(names_[i]);
  return names;
}

}  // namespace parupo
