#include "mailapi/mime_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <mutex>
#include <optional>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

#include "mailapi/mail_address.h"
#include "mailapi/mail_headers.h"
#include "mailapi/text_encoding.h"
#include "platform/text_file.h"

namespace parupo::mail {

namespace {

constexpr std::size_t kMaxLine = 998;
constexpr std::size_t kBase64LineBytes = 57;   // 76 characters of base64 per line
constexpr std::size_t kFileBlockLines = 1152;  // about 64 KiB read from the file at a time

// Appends the bytes in base64, 76 characters and a CR LF a line, written straight into
// out's storage: an attachment goes through one buffer reused block after block.
void appendBase64Lines(std::string_view bytes, std::string& out) {
  const std::size_t lines = (bytes.size() + kBase64LineBytes - 1) / kBase64LineBytes;
  const std::size_t start = out.size();
  out.resize(start + base64Length(bytes.size()) + 2 * lines);
  char* w = out.data() + start;
  for (std::size_t i = 0; i < bytes.size(); i += kBase64LineBytes) {
    w = base64Into(bytes.substr(i, kBase64LineBytes), w);
    *w++ = '\r';
    *w++ = '\n';
  }
}

std::string base64Lines(std::string_view bytes) {
  std::string out;
  appendBase64Lines(bytes, out);
  return out;
}

// What base64Lines gives for that many bytes.
std::uint64_t base64LinesLength(std::uint64_t n) {
  std::uint64_t rest = n % kBase64LineBytes;
  return n / kBase64LineBytes * 78 + (rest == 0 ? 0 : base64Length(rest) + 2);
}

std::string closingBoundary(const std::string& boundary) { return "\r\n--" + boundary + "--\r\n"; }

bool hasBareControls(std::string_view line) {
  for (char ch : line) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((c < 0x20 && c != '\t') || c == 0x7F) return true;
  }
  return false;
}

std::string domainOf(std::string_view address) {
  std::size_t at = address.rfind('@');
  return at == std::string_view::npos ? "localhost" : std::string(address.substr(at + 1));
}

}  // namespace

EncodedBody encodeBody(std::string_view utf8) {
  std::vector<std::string> lines = splitLines(sanitizeUtf8(utf8));
  // The last line ends the text only when the text did not already end with a line
  // break (then the last "line" is empty and gets no break of its own).
  auto join = [](const std::vector<std::string>& ls) {
    std::string out;
    for (std::size_t i = 0; i < ls.size(); ++i) {
      out += ls[i];
      if (i + 1 < ls.size() || !ls[i].empty()) out += "\r\n";
    }
    return out;
  };

  // The lines as they go on the wire: unchanged ASCII, or ISO-2022-JP line by line.
  bool ascii = true;
  bool controls = false;
  for (const auto& line : lines) {
    ascii = ascii && isAscii(line);
    controls = controls || hasBareControls(line);
  }
  std::vector<std::string> wire;
  for (const auto& line : lines) {
    auto converted = ascii ? std::optional<std::string>(line) : toIso2022jp(mapWindowsForms(line));
    if (!converted) return {"UTF-8", "base64", base64Lines(join(lines))};
    wire.push_back(std::move(*converted));
  }
  std::size_t longest = 0;
  for (const auto& line : wire) longest = std::max(longest, line.size());
  std::string joined = join(wire);
  const char* charset = ascii ? "US-ASCII" : "ISO-2022-JP";
  if (controls || longest > kMaxLine) return {charset, "base64", base64Lines(joined)};
  return {charset, "7bit", std::move(joined)};
}

std::string randomHex(std::size_t digits) {
  static constexpr char kHex[] = "0123456789abcdef";
  // Seeded once: opening the system's entropy source for every message cost more than
  // composing a small message.
  static std::mutex mutex;
  static std::mt19937_64 gen = [] {
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device()};
    return std::mt19937_64(seed);
  }();
  std::string out(digits, '0');
  std::lock_guard lock(mutex);
  for (char& c : out) c = kHex[gen() & 15];
  return out;
}

MessageStream::MessageStream(MessageParts parts) : parts_(std::move(parts)) {
  if (!parts_.attachment.empty()) {
    // Opened as a data file is: a FIFO or a device (even one that took the file's name a
    // moment ago) is refused at once instead of holding the send before any connection,
    // where no stop reaches it. What is not a regular file counts as no file to attach.
    const int fd = openRegularFile(parts_.attachment);
    const int err = fd < 0 ? errno : 0;
    file_ = fd < 0 ? nullptr : ::fdopen(fd, "rb");
    if (file_ == nullptr) {
      if (fd >= 0) ::close(fd);
      const bool none = err == ENOENT || err == ENOTDIR || err == EISDIR || err == EINVAL;
      fail(none ? MailErrorKind::AttachmentMissing : MailErrorKind::AttachmentUnopenable);
      return;
    }
  }
  if (parts_.boundary.empty()) parts_.boundary = "=_parupo_" + randomHex(24);
  if (parts_.messageId.empty()) {
    std::time_t t = std::chrono::system_clock::to_time_t(parts_.date);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &tm);
    std::string id = "<";
    id += stamp;
    id += '.';
    id += randomHex(16);
    id += '@';
    id += domainOf(parts_.from.address);
    id += '>';
    parts_.messageId = std::move(id);
  }
  // The head is made now, so that the size is known before the first read.
  refill();
  size_ = pending_.size();
  if (file_ != nullptr) {
    struct stat st {};  // should this fail, the first read finds the file changed
    fileLeft_ = fstat(fileno(file_), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    size_ += base64LinesLength(fileLeft_) + closingBoundary(parts_.boundary).size();
  }
}

MessageStream::~MessageStream() {
  if (file_ != nullptr) std::fclose(file_);
}

void MessageStream::fail(MailErrorKind kind) {
  failure_ = MailError{.kind = kind, .about = printable(parts_.attachment.string(), 400)};
}

std::string MessageStream::head() {
  std::string h;
  h += addressHeader("From", {parts_.from});
  if (!parts_.replyTo.empty()) h += addressHeader("Reply-To", parts_.replyTo);
  h += addressHeader("To", parts_.to);
  h += subjectHeader(parts_.subject);
  h += "Date: " + formatDate(parts_.date) + "\r\n";
  h += "Message-ID: " + parts_.messageId + "\r\n";
  h += "MIME-Version: 1.0\r\n";
  EncodedBody body = encodeBody(parts_.body);
  std::string textHeaders = "Content-Type: text/plain; charset=" + body.charset +
                            "\r\nContent-Transfer-Encoding: " + body.transferEncoding + "\r\n";
  if (file_ == nullptr) return h + textHeaders + "\r\n" + body.content;
  const std::string& b = parts_.boundary;
  h += "Content-Type: multipart/mixed; boundary=\"" + b + "\"\r\n\r\n";
  h += "This is a multi-part message in MIME format.\r\n";
  h += "\r\n--" + b + "\r\n" + textHeaders + "\r\n" + body.content;
  h += "\r\n--" + b + "\r\n" + attachmentHeaders(parts_.attachment.filename().string()) + "\r\n";
  return h;
}

bool MessageStream::refillFromFile() {
  // Exactly the size counted at the start: a file that grew or shrank since then
  // would go out cut or padded under the size already declared.
  const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(block_.size(), fileLeft_));
  std::size_t got = 0;
  while (got < want) {
    std::size_t n = std::fread(block_.data() + got, 1, want - got, file_);
    if (n == 0) break;
    got += n;
  }
  fileLeft_ -= got;
  const bool changed = got < want || (fileLeft_ == 0 && std::fgetc(file_) != EOF);
  if (std::ferror(file_) || changed) {
    fail(std::ferror(file_) ? MailErrorKind::AttachmentReadFailed : MailErrorKind::AttachmentChanged);
    stage_ = Stage::Done;
    return false;
  }
  if (fileLeft_ == 0) stage_ = Stage::Tail;
  appendBase64Lines(std::string_view(block_.data(), got), pending_);
  return true;
}

bool MessageStream::refill() {
  pending_.clear();
  pendingPos_ = 0;
  switch (stage_) {
    case Stage::Head:
      pending_ = head();
      stage_ = file_ == nullptr ? Stage::Done : Stage::File;
      if (file_ != nullptr) block_.resize(kBase64LineBytes * kFileBlockLines);
      return true;
    case Stage::File: return refillFromFile();
    case Stage::Tail:
      pending_ = closingBoundary(parts_.boundary);
      stage_ = Stage::Done;
      return true;
    case Stage::Done: return false;
  }
  return false;
}

std::size_t MessageStream::read(char* buffer, std::size_t size) {
  if (failure_) return 0;
  std::size_t copied = 0;
  while (copied < size) {
    if (pendingPos_ == pending_.size() && !refill()) break;
    std::size_t n = std::min(size - copied, pending_.size() - pendingPos_);
    std::memcpy(buffer + copied, pending_.data() + pendingPos_, n);
    pendingPos_ += n;
    copied += n;
  }
  return failure_ ? 0 : copied;
}

}  // namespace parupo::mail
