// A mailto: link from a web page: whatever it holds, the one-line boxes get one line of
// well-formed text, the body only line breaks as control characters and at most the
// body box's limit, and nothing of bcc= or attachments.
#include "fuzz_support.h"
#include "mailapi/text_encoding.h"
#include "platform/text_util.h"
#include "send/mailto_link.h"

using namespace parupo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string link = std::string("mailto:").append(fuzz::bytesOf(data, size));
  const std::optional<MailtoLink> read = readMailtoLink(link);
  fuzz::require(read.has_value(), "a mailto: link is read", link);
  for (const std::string& line : {read->recipients, read->subject.value_or("")}) {
    fuzz::require(!hasControl(line), "one line without control characters", line);
    fuzz::require(mail::sanitizeUtf8(line) == line, "well-formed text", line);
  }
  const std::string body = read->body.value_or("");
  fuzz::require(mail::sanitizeUtf8(body) == body, "a well-formed body", body);
  for (std::size_t i = 0; i < body.size(); ++i) {
    const auto c = static_cast<unsigned char>(body[i]);
    const bool lineBreak = c == '\r' ? i + 1 < body.size() && body[i + 1] == '\n'
                                     : c == '\n' && i > 0 && body[i - 1] == '\r';
    fuzz::require(c >= 0x20 || c == '\t' || lineBreak, "only CR LF breaks the body", body);
  }
  fuzz::require(utf16Length(body) <= 2 * kLinkBodyLimit, "the body within the box's limit", body);
  return 0;
}
