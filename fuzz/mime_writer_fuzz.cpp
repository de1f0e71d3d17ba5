// The MIME writer with any subject, body, addresses and attached file name: the message
// is 7-bit with CR LF line ends and no line over 998 bytes, carries exactly the headers
// the writer means to write (nothing a subject or name could inject), and every text in
// it decodes back to what the user gave.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "fuzz_support.h"
#include "mailapi/mail_address.h"
#include "mailapi/mail_headers.h"
#include "mailapi/mime_writer.h"
#include "mailapi/text_encoding.h"
#include "support/mime_reader.h"
#include "platform/text_util.h"

using namespace parupo;
using fuzz::require;

namespace {

// A text as the user sees it in the mail: broken UTF-8 repaired, control characters
// (C0, DEL, C1) shown as blanks.
std::string shownText(std::string_view utf8) {
  const std::string text = mail::sanitizeUtf8(utf8);
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = utf8CharLength(std::string_view(text).substr(i));
    const auto c = static_cast<unsigned char>(text[i]);
    const bool c1 = len == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
    out += (len == 1 && (c < 0x20 || c == 0x7F)) || c1 ? std::string(" ") : text.substr(i, len);
    i += len;
  }
  return out;
}

// ISO-2022-JP carries the JIS forms of six characters the user may have typed in their
// Windows forms; either decodes as the user's text.
void requireSameText(const std::string& decoded, const std::string& expected, const char* what) {
  require(decoded == expected || decoded == mail::mapWindowsForms(expected), what, decoded);
}

// A name the file system takes: no slash or NUL, at most 255 bytes, not . or ..
std::string fileSystemName(std::string name) {
  std::replace(name.begin(), name.end(), '/', '_');
  std::replace(name.begin(), name.end(), '\0', '_');
  name.resize(std::min<std::size_t>(name.size(), 255));
  return name == "." || name == ".." ? std::string() : name;
}

std::string readStream(mail::MessageStream& stream, std::size_t chunk) {
  std::string out;
  std::vector<char> buffer(chunk);
  while (const std::size_t n = stream.read(buffer.data(), buffer.size())) out.append(buffer.data(), n);
  require(stream.ok(), "the message streams without error", stream.ok() ? "" : mail::mailErrorText(*stream.failure()));
  return out;
}

void checkTextPart(const test::Entity& part, const std::string& body) {
  std::string expected = test::withLfLineEnds(mail::sanitizeUtf8(body));
  if (!expected.empty() && expected.back() != '\n') expected += '\n';
  requireSameText(test::decodeBody(part), expected, "the body decodes to the user's text");
}

void checkAttachment(const test::Entity& part, const std::string& name, const std::string& content) {
  std::vector<std::string> names = part.names();
  require(names == std::vector<std::string>{"Content-Disposition", "Content-Transfer-Encoding", "Content-Type"},
          "the attachment has exactly its three headers");
  std::string expected = shownText(name);
  if (trimBlanks(expected, Blanks::WithIdeographic).empty()) expected = "attachment";
  require(part.value("Content-Transfer-Encoding") == "base64", "the file goes in base64");
  requireSameText(test::decodeWords(test::parameter(part.value("Content-Type"), "name")), expected,
                  "name= gives the file's name");
  require(test::parameter(part.value("Content-Disposition"), "filename") == expected, "filename gives the file's name",
          part.value("Content-Disposition"));
  require(test::base64Decode(part.body) == content, "the file arrives unchanged");
}

// An address header names every address, and each encoded word in it (a name) is valid.
void checkAddresses(const std::string& value, const std::vector<mail::Mailbox>& mailboxes) {
  for (const mail::Mailbox& m : mailboxes) {
    require(value.find(m.address) != std::string::npos, "an address header names every address", value);
  }
  // The writer's words never hold an "@"; a bare address may look like a word.
  std::size_t start = 0;
  while (start < value.size()) {
    std::size_t end = std::min(value.find(' ', start), value.size());
    std::string_view token = std::string_view(value).substr(start, end - start);
    if (!token.empty() && token.back() == ',') token.remove_suffix(1);
    if (token.size() >= 4 && token.substr(0, 2) == "=?" && token.substr(token.size() - 2) == "?=" &&
        token.find('@') == std::string_view::npos) {
      (void)test::decodeWords(token);
    }
    start = end + 1;
  }
}

}  // namespace

static int checkMessage(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool attach = input.ConsumeBool();
  const std::size_t chunk = input.ConsumeIntegralInRange<std::size_t>(1, 20000);
  const auto seconds = input.ConsumeIntegralInRange<std::int64_t>(0, 4102444800);  // up to 2100
  const std::string sender = input.ConsumeRandomLengthString(300);
  const std::string recipientList = input.ConsumeRandomLengthString(1000);
  const std::string replyToList = input.ConsumeRandomLengthString(300);
  const std::string subject = input.ConsumeRandomLengthString(2000);
  const std::string name = fileSystemName(input.ConsumeRandomLengthString(300));
  const std::string content = input.ConsumeRandomLengthString(500);
  const std::string body = input.ConsumeRemainingBytesAsString();

  // The send refuses address texts that fail the check before the writer sees them.
  auto read = mail::readEnvelope(recipientList, replyToList, sender);
  mail::Envelope envelope{{"", "me@example.jp"}, {{"", "you@example.jp"}}, {}, {}};
  if (auto* valid = std::get_if<mail::Envelope>(&read)) envelope = std::move(*valid);

  mail::MessageParts parts{.from = envelope.sender,
                           .replyTo = envelope.replyTo,
                           .to = envelope.recipients,
                           .subject = subject,
                           .body = body,
                           .date = std::chrono::system_clock::time_point(std::chrono::seconds(seconds))};
  const bool withFile = attach && !name.empty();
  if (withFile) {
    parts.attachment = fuzz::scratchFile(name, content);
  }
  mail::MessageStream stream(std::move(parts));
  const std::uint64_t declared = stream.size();
  const std::string message = readStream(stream, chunk);
  require(message.size() == declared, "the message is exactly as long as declared before the upload");
  if (withFile) std::filesystem::remove(fuzz::scratchFolder() / name);

  const test::Entity top = test::readMessage(message);
  std::vector<std::string> expectedNames = {"Content-Type", "Date",    "From", "MIME-Version",
                                            "Message-ID",   "Subject", "To"};
  if (!withFile) expectedNames.push_back("Content-Transfer-Encoding");
  if (!envelope.replyTo.empty()) expectedNames.push_back("Reply-To");
  std::sort(expectedNames.begin(), expectedNames.end());
  require(top.names() == expectedNames, "the message has exactly the writer's headers", message.substr(0, 4000));

  checkAddresses(top.value("From"), {envelope.sender});
  checkAddresses(top.value("To"), envelope.recipients);
  if (!envelope.replyTo.empty()) checkAddresses(top.value("Reply-To"), envelope.replyTo);
  requireSameText(test::decodeWords(top.value("Subject")), shownText(subject),
                  "the subject decodes to the user's text");

  if (!withFile) {
    checkTextPart(top, body);
    return 0;
  }
  const std::string boundary = test::parameter(top.value("Content-Type"), "boundary");
  require(!boundary.empty(), "a multipart message names its boundary");
  const std::vector<test::Entity> partsRead = test::readMultipart(top.body, boundary);
  require(partsRead.size() == 2, "a message with a file has two parts");
  std::vector<std::string> textNames = partsRead[0].names();
  require(textNames == std::vector<std::string>{"Content-Transfer-Encoding", "Content-Type"},
          "the text part has exactly its two headers");
  checkTextPart(partsRead[0], body);
  checkAttachment(partsRead[1], name, content);
  return 0;
}

// The reader throws at anything a strict reader refuses; that is a finding like any other.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    return checkMessage(data, size);
  } catch (const test::MimeError& refused) {
    require(false, "a strict reader accepts the message", refused.what());
  }
  return 0;
}
