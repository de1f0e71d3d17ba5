#include "support/mime_reader.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "mailapi/text_encoding.h"

namespace parupo::test {

namespace {

void require(bool holds, const char* invariant, std::string_view detail = {}) {
  if (!holds) throw MimeError("invariant broken: " + std::string(invariant) + "\n" + std::string(detail));
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> split(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> out;
  for (;;) {
    const std::size_t at = text.find(separator);
    out.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return out;
    text.remove_prefix(at + separator.size());
  }
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;  // the writer uses upper-case digits only
}

std::string percentDecode(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out += s[i];
      continue;
    }
    require(i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0,
            "a % in filename* starts two hex digits", s);
    out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
    i += 2;
  }
  return out;
}

std::string qDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '=') {
      require(i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0,
              "an = in a Q word starts two hex digits", text);
      out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
      i += 2;
    } else {
      require(std::isalnum(static_cast<unsigned char>(c)) != 0 || std::string_view("!*+-/_").find(c) != std::string_view::npos,
              "a Q word holds letters, digits, !*+-/_ and =XX only", text);
      out += c == '_' ? ' ' : c;
    }
  }
  return out;
}

struct Word {
  std::string charset, encoding, text;
  bool padded;
};

Word decodeWord(std::string_view word) {
  require(word.size() <= 75, "an encoded word is at most 75 characters", word);
  require(word.size() > 4 && word.substr(0, 2) == "=?" && word.substr(word.size() - 2) == "?=",
          "an encoded word is =?charset?B?text?=", word);
  const std::vector<std::string_view> fields = split(word.substr(2, word.size() - 4), "?");
  require(fields.size() == 3 && (fields[1] == "B" || fields[1] == "Q"), "an encoded word is =?charset?B|Q?text?=",
          word);
  const std::string raw = fields[1] == "B" ? base64Decode(fields[2]) : qDecode(fields[2]);
  Word out{std::string(fields[0]), std::string(fields[1]), raw, fields[2].ends_with("=")};
  if (fields[0] == "UTF-8") {
    require(mail::sanitizeUtf8(raw) == raw, "a UTF-8 word holds whole characters", word);
    return out;
  }
  require(fields[0] == "ISO-2022-JP", "a word is ISO-2022-JP or UTF-8", word);
  const std::size_t escape = raw.rfind('\x1B');
  require(escape == std::string::npos || raw.compare(escape, 3, "\x1B(B") == 0,
          "an ISO-2022-JP word ends in ASCII", word);
  const auto text = mail::fromIso2022jp(raw);
  require(text.has_value(), "an ISO-2022-JP word decodes", word);
  out.text = *text;
  return out;
}

}  // namespace

const std::string& Entity::value(std::string_view name) const {
  const Header* found = nullptr;
  for (const Header& h : headers) {
    if (h.name != name) continue;
    require(found == nullptr, "a header appears once", name);
    found = &h;
  }
  require(found != nullptr, "an expected header is present", name);
  return found->value;
}

std::vector<std::string> Entity::names() const {
  std::vector<std::string> out;
  for (const Header& h : headers) out.push_back(h.name);
  std::sort(out.begin(), out.end());
  return out;
}

Entity readMessage(std::string_view message) {
  for (std::size_t i = 0; i < message.size(); ++i) {
    const auto c = static_cast<unsigned char>(message[i]);
    require(c > 0 && c < 0x80, "the message is 7-bit without NUL", message.substr(0, i + 1));
    if (c == '\r') require(i + 1 < message.size() && message[i + 1] == '\n', "a CR ends a line with LF");
    if (c == '\n') require(i > 0 && message[i - 1] == '\r', "an LF ends a line after CR");
  }
  require(message.size() >= 2 && message.substr(message.size() - 2) == "\r\n", "the message ends a line");
  for (std::string_view line : split(message, "\r\n")) {
    require(line.size() <= 998, "no line is over 998 bytes", line.substr(0, 100));
  }
  return readEntity(message);
}

Entity readEntity(std::string_view text) {
  const std::size_t end = text.find("\r\n\r\n");
  require(end != std::string_view::npos, "a blank line ends the headers");
  Entity entity;
  entity.body = std::string(text.substr(end + 4));
  for (std::string_view line : split(text.substr(0, end), "\r\n")) {
    if (!line.empty() && isBlank(line.front())) {
      require(!entity.headers.empty(), "a folded line continues a header");
      require(!trimmed(line).empty(), "a folded line is not all blanks", entity.headers.back().name);
      entity.headers.back().value += line;
      continue;
    }
    const std::size_t colon = line.find(':');
    require(colon != std::string_view::npos && colon > 0, "a header line is name: value", line);
    for (char c : line.substr(0, colon)) {
      require(c > 0x20 && c < 0x7F, "a header name is printable", line);
    }
    require(colon + 1 < line.size() && line[colon + 1] == ' ', "a blank follows the header name", line);
    entity.headers.push_back({std::string(line.substr(0, colon)), std::string(line.substr(colon + 2))});
  }
  return entity;
}

std::vector<Entity> readMultipart(std::string_view body, std::string_view boundary) {
  const std::string delimiter = "\r\n--" + std::string(boundary);
  std::vector<std::string_view> pieces = split(body, delimiter);
  require(pieces.size() >= 2, "a multipart body has a close delimiter");
  require(pieces.back() == "--\r\n", "nothing follows the close delimiter", pieces.back());
  std::vector<Entity> parts;
  for (std::size_t i = 1; i + 1 < pieces.size(); ++i) {
    require(pieces[i].substr(0, 2) == "\r\n", "a delimiter is a line of its own", pieces[i]);
    parts.push_back(readEntity(pieces[i].substr(2)));
  }
  return parts;
}

std::string parameter(std::string_view headerValue, std::string_view name) {
  std::string pieces;
  bool extended = false;
  std::string plain;
  // Parameters end at a semicolon outside quotes.
  std::vector<std::string_view> params;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= headerValue.size(); ++i) {
    if (i < headerValue.size() && headerValue[i] == '"') quoted = !quoted;
    if (i == headerValue.size() || (headerValue[i] == ';' && !quoted)) {
      params.push_back(headerValue.substr(start, i - start));
      start = i + 1;
    }
  }
  for (std::string_view param : params) {
    param = trimmed(param);
    const std::size_t eq = param.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = param.substr(0, eq);
    const std::string_view value = param.substr(eq + 1);
    if (key == name) {
      require(value.size() >= 2 && value.front() == '"' && value.back() == '"', "a parameter is quoted", value);
      plain = std::string(value.substr(1, value.size() - 2));
    } else if (key.substr(0, name.size() + 1) == std::string(name) + "*") {
      std::string_view piece = value;
      if (!extended) {
        require(piece.substr(0, 7) == "UTF-8''", "filename* starts UTF-8''", piece);
        piece.remove_prefix(7);
        extended = true;
      }
      pieces += piece;
    }
  }
  return extended ? percentDecode(pieces) : plain;
}

std::string decodeWords(std::string_view text) {
  if (text.find("=?") == std::string_view::npos) return std::string(text);
  std::string out;
  std::optional<Word> previous;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && isBlank(text[i])) ++i;
    const std::size_t end = std::min(text.find(' ', i), text.size());
    if (end == i) break;
    Word word = decodeWord(text.substr(i, end - i));
    // GMime decodes the base64 of adjacent B words of one charset as one stream, up to
    // the first padding.
    require(!previous || !previous->padded || previous->encoding != "B" || word.encoding != "B" ||
                previous->charset != word.charset,
            "a B word followed by a B word of its charset ends on a whole 3-byte group", text.substr(0, end));
    out += word.text;
    previous = std::move(word);
    i = end;
  }
  return out;
}

std::string decodeBody(const Entity& part) {
  const std::string& encoding = part.value("Content-Transfer-Encoding");
  std::string raw;
  if (encoding == "base64") {
    raw = base64Decode(part.body);
  } else {
    require(encoding == "7bit", "a body is 7bit or base64", encoding);
    raw = part.body;
  }
  const std::string& type = part.value("Content-Type");
  if (type == "text/plain; charset=ISO-2022-JP") {
    const auto text = mail::fromIso2022jp(raw);
    require(text.has_value(), "an ISO-2022-JP body decodes");
    return withLfLineEnds(*text);
  }
  if (type == "text/plain; charset=US-ASCII") {
    require(mail::isAscii(raw), "a US-ASCII body is ASCII");
  } else {
    require(type == "text/plain; charset=UTF-8", "a body is US-ASCII, ISO-2022-JP or UTF-8", type);
    require(mail::sanitizeUtf8(raw) == raw, "a UTF-8 body is well-formed");
  }
  return withLfLineEnds(raw);
}

std::string base64Decode(std::string_view text) {
  static const std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string digits;
  for (char c : text) {
    if (c != '\r' && c != '\n') digits += c;
  }
  require(digits.size() % 4 == 0, "base64 comes in groups of four", digits);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); i += 4) {
    unsigned value = 0;
    int pad = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const char c = digits[i + k];
      if (c == '=') {
        require(i + 4 == digits.size() && k >= 2, "base64 padding only at the end", digits);
        ++pad;
        value <<= 6;
        continue;
      }
      require(pad == 0, "no base64 digit after padding", digits);
      const std::size_t v = kAlphabet.find(c);
      require(v != std::string_view::npos, "base64 digits only", digits);
      value = value << 6 | static_cast<unsigned>(v);
    }
    out += static_cast<char>(value >> 16 & 0xFF);
    if (pad < 2) out += static_cast<char>(value >> 8 & 0xFF);
    if (pad < 1) out += static_cast<char>(value & 0xFF);
  }
  return out;
}

std::string withLfLineEnds(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace parupo::test
