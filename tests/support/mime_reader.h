// A small reader of the messages our MIME writer makes, for the MIME fuzz target and the
// header tests: it takes a message apart and decodes what the writer encoded, throwing
// MimeError at anything a strict reader would refuse. It shares no code with the program:
// text is decoded by the C library's iconv.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace parupo::test {

// What a strict reader refuses, and where: "invariant broken: <rule>" and the text.
struct MimeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Header {
  std::string name, value;
};  // the value unfolded: each fold's CR LF removed, its blank kept

struct Entity {
  std::vector<Header> headers;
  std::string body;                                       // everything after the blank line, line ends as they are
  const std::string& value(std::string_view name) const;  // requires the header once
  std::vector<std::string> names() const;                 // sorted
};

// Checks the whole message first: 7-bit, CR LF line ends only, no line over 998 bytes.
Entity readMessage(std::string_view message);
// The header block of a part or message, then the blank line, then its body.
Entity readEntity(std::string_view text);
// The parts between the delimiters of a multipart body; nothing follows the close.
std::vector<Entity> readMultipart(std::string_view body, std::string_view boundary);

// The value of a parameter (`name="..."`, or the pieces of `filename*` put together and
// percent-decoded) from a Content-Type or Content-Disposition value.
std::string parameter(std::string_view headerValue, std::string_view name);

// Text that may be a run of RFC 2047 words separated by blanks: each word at most 75
// characters, B- or Q-encoded ISO-2022-JP ending in ASCII or well-formed UTF-8, and a B word
// followed by a B word of its charset without "=" padding; decoded to UTF-8.
// Text without "=?" is returned as it is.
std::string decodeWords(std::string_view text);

// A body by its Content-Transfer-Encoding and charset, to UTF-8 with LF line ends.
std::string decodeBody(const Entity& part);

std::string base64Decode(std::string_view text);    // line breaks skipped; strict otherwise
std::string withLfLineEnds(std::string_view text);  // CR LF, CR and LF all become LF

}  // namespace parupo::test
