#include "logs/log_list.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <variant>

#include "mailapi/mail_address.h"
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
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at))
    text.erase(at, part.size());
}

// The bare address of a settings field that holds one address; "" otherwise.
std::string bareAddress(std::string_view field) {
  auto parsed = mail::parseAddressList(field);
  const auto* list = std::get_if<std::vector<mail::Mailbox>>(&parsed);
  return list != nullptr && list->size() == 1 ? list->front().address : std::string();
}

// The first address of a line of several that the user wrote to: the copy to oneself
// and the dummy address were added by the program. Nothing for a line that does not
// read as two or more addresses.
std::optional<std::string> writtenTo(const std::string& line, const OwnAddresses& own) {
  // "別々に送る" logs end in " & " and the reply-to address (unless a name holds it).
  std::string separated = line;
  const std::size_t copy = line.rfind(" & ");
  if (copy != std::string::npos) separated.replace(copy, 3, "\t");
  auto parsed = mail::parseAddressList(separated);
  if (std::holds_alternative<std::string>(parsed)) parsed = mail::parseAddressList(line);
  const auto* list = std::get_if<std::vector<mail::Mailbox>>(&parsed);
  if (list == nullptr || list->size() < 2) return std::nullopt;
  const std::string replyTo = bareAddress(own.replyTo);
  const std::string dummy = bareAddress(own.dummy);
  for (const mail::Mailbox& m : *list) {
    if (!equalsIgnoringAsciiCase(m.address, replyTo) && !equalsIgnoringAsciiCase(m.address, dummy)) return m.address;
  }
  return list->front().address;  // a mail to oneself alone
}

}  // namespace

std::string recipientFromLines(const std::vector<std::string>& lines, const OwnAddresses& own) {
  FieldReader reader(lines);
  reader.next();  // the log's first line, empty in every log the program writes
  std::string line = reader.nextLine();
  eraseAll(line, "宛先 : ");
  if (auto written = writtenTo(line, own)) return *written;
  const std::size_t open = line.find('<');
  const std::size_t close = line.find('>');
  if (open == std::string::npos || close == std::string::npos) return line;
  line.erase(close);
  const std::size_t first = line.find('<');
  return first == std::string::npos ? line : line.substr(first + 1);
}

std::string GetTo(const std::filesystem::path& logFile, const OwnAddresses& own) {
  const auto lines = readFirstLines(logFile, 2);
  return lines ? recipientFromLines(*lines, own) : std::string();
}

std::string logText(const std::filesystem::path& logFile) {
  std::string text;
  for (const auto& line : readTextLines(logFile).value_or(std::vector<std::string>{})) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> recentRecipients(const std::vector<std::string>& recipientsOldestFirst) {
  constexpr std::size_t kEntries = 10;
  std::vector<std::string> menu;
  for (auto it = recipientsOldestFirst.rbegin(); it != recipientsOldestFirst.rend() && menu.size() < kEntries; ++it) {
    if (!it->empty() && std::find(menu.begin(), menu.end(), *it) == menu.end()) menu.push_back(*it);
  }
  return menu;
}

LogList::LogList(std::filesystem::path folder, OwnAddresses own) : folder_(std::move(folder)), own_(std::move(own)) {
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(folder_, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
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
  for (const auto& name : names_) recipients_.push_back(GetTo(folder_ / name, own_));
}

const std::string& LogList::recipient(std::size_t index) {
  static const std::string none;
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
    if (recipients_[i] == recipient) names.push_back(names_[i]);
  return names;
}

}  // namespace parupo
