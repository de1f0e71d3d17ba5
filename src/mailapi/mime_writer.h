// Our own small MIME writer: UTF-8 texts in, RFC 5322 message bytes out. The message
// is produced piece by piece for libcurl's read callback, so an attached file is read
// and base64-encoded a block at a time, never held whole in memory.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mailapi/mail_address.h"
#include "mailapi/mail_error.h"

namespace parupo::mail {

// How a body goes into the message.
struct EncodedBody {
  std::string charset;           // "US-ASCII", "ISO-2022-JP" or "UTF-8"
  std::string transferEncoding;  // "7bit" or "base64"
  std::string content;           // lines ended by CR LF (empty for an empty body)
};
EncodedBody encodeBody(std::string_view utf8);

// Everything a message is made of. Addresses are checked by the caller.
struct MessageParts {
  Mailbox from;
  std::vector<Mailbox> replyTo;  // empty: no Reply-To
  std::vector<Mailbox> to;
  std::string subject;
  std::string body;
  std::filesystem::path attachment;  // empty: none
  std::chrono::system_clock::time_point date = std::chrono::system_clock::now();
  std::string messageId;  // "<...@...>"; made up when empty
  std::string boundary;   // made up when empty
};

// Random hex digits for Message-IDs and boundaries.
std::string randomHex(std::size_t digits);

class MessageStream {
 public:
  // Opens the attachment (if any) at once; ok() tells whether that worked.
  explicit MessageStream(MessageParts parts);
  ~MessageStream();
  MessageStream(const MessageStream&) = delete;
  MessageStream& operator=(const MessageStream&) = delete;

  bool ok() const { return !failure_; }
  // What went wrong with the attachment (an Attachment... kind, about: its path); none if nothing.
  const std::optional<MailError>& failure() const { return failure_; }

  // The exact number of bytes the whole message has, known before the first read (the
  // attachment counted from its size, not read), so a server can refuse a message too
  // large for it before the upload. A file that changes size meanwhile fails the read.
  std::uint64_t size() const { return size_; }

  // Copies up to size bytes of the message into buffer; 0 at the end of the message or
  // after a failure (see failure()).
  std::size_t read(char* buffer, std::size_t size);

 private:
  enum class Stage { Head, File, Tail, Done };
  bool refill();
  std::string head();  // the headers, and the text part when there is an attachment
  bool refillFromFile();
  void fail(MailErrorKind kind);

  MessageParts parts_;
  std::FILE* file_ = nullptr;
  std::string pending_;
  std::size_t pendingPos_ = 0;
  std::vector<char> block_;
  Stage stage_ = Stage::Head;
  std::optional<MailError> failure_;
  std::uint64_t size_ = 0;
  std::uint64_t fileLeft_ = 0;  // bytes of the attachment still to send
};

}  // namespace parupo::mail
