#include "support/mime_reader.h"

#include <iconv.h>

#include <algorithm>
#include <optional>
#include <regex>

namespace parupo::test {

namespace {

void require(bool holds, const char* invariant, std::string_view detail = {}) {
  if (!holds) throw MimeError("invariant broken: " + std::string(invariant) + "\n" + std::string(detail));
}

std::string_view trimmed(std::string_view s) {
  const std::size_t first = s.find_first_not_of(" \t");
  return first == std::string_view::npos ? std::string_view() : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string_view> split(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> out;
  for (std::size_t at; (at = text.find(separator)) != std::string_view::npos; text.remove_prefix(at + separator.size()))
    out.push_back(text.substr(0, at));
  out.push_back(text);
  return out;
}

// Whole, valid text in `charset` as UTF-8, by the C library's iconv (the writer's converter is not used).
std::string toUtf8(std::string_view raw, const char* charset, const char* invariant) {
  const iconv_t cd = ::iconv_open("UTF-8", charset);
  std::string out(raw.size() * 4 + 8, '\0');
  char *in = const_cast<char*>(raw.data()), *o = out.data();
  std::size_t inLeft = raw.size(), outLeft = out.size();
  const bool ok = cd != iconv_t(-1) && ::iconv(cd, &in, &inLeft, &o, &outLeft) != std::size_t(-1);
  if (cd != iconv_t(-1)) ::iconv_close(cd);
  require(ok, invariant, raw);
  out.resize(out.size() - outLeft);
  return out;
}

// `escape` and two upper-case hex digits (the writer's only form) as the byte they name.
std::string unescaped(std::string_view text, char escape, const char* invariant) {
  static const std::string_view kHex = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != escape) {
      out += text[i];
      continue;
    }
    const std::string_view hex = text.substr(i + 1, 2);
    require(hex.size() == 2 && hex.find_first_not_of(kHex) == std::string_view::npos, invariant, text);
    out += static_cast<char>(kHex.find(hex[0]) * 16 + kHex.find(hex[1]));
    i += 2;
  }
  return out;
}

const std::string kAlphanumeric = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string qDecode(std::string_view text) {
  const bool plain = text.find_first_not_of(kAlphanumeric + "!*+-/_=") == std::string_view::npos;
  require(plain, "a Q word holds letters, digits, !*+-/_ and =XX only", text);
  std::string spaced(text);
  std::replace(spaced.begin(), spaced.end(), '_', ' ');  // before =5F is decoded to "_"
  return unescaped(spaced, '=', "an = in a Q word starts two hex digits");
}

struct Word {
  std::string charset, encoding, text;
  bool padded;  // a B word whose base64 ends in "="
};

Word decodeWord(std::string_view word) {
  require(word.size() <= 75, "an encoded word is at most 75 characters", word);
  require(word.size() > 4 && word.starts_with("=?") && word.ends_with("?="),
          "an encoded word is =?charset?B|Q?text?=", word);
  const std::vector<std::string_view> fields = split(word.substr(2, word.size() - 4), "?");
  require(fields.size() == 3 && (fields[1] == "B" || fields[1] == "Q"),
          "an encoded word is =?charset?B|Q?text?=", word);
  const bool b = fields[1] == "B";
  const std::string raw = b ? base64Decode(fields[2]) : qDecode(fields[2]);
  Word out{std::string(fields[0]), std::string(fields[1]), "", b && fields[2].ends_with("=")};
  if (fields[0] == "UTF-8") {
    out.text = toUtf8(raw, "UTF-8", "a UTF-8 word holds whole characters");
    return out;
  }
  require(fields[0] == "ISO-2022-JP", "a word is ISO-2022-JP or UTF-8", word);
  const std::size_t escape = raw.rfind('\x1B');
  require(escape == std::string::npos || raw.compare(escape, 3, "\x1B(B") == 0, "an ISO-2022-JP word ends in ASCII",
          word);
  out.text = toUtf8(raw, "ISO-2022-JP", "an ISO-2022-JP word decodes");
  return out;
}

}  // namespace

const std::string& Entity::value(std::string_view name) const {
  const auto named = [&](const Header& h) { return h.name == name; };
  require(std::count_if(headers.begin(), headers.end(), named) == 1, "an expected header is present once", name);
  return std::find_if(headers.begin(), headers.end(), named)->value;
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
  require(message.ends_with("\r\n"), "the message ends a line");
  for (std::string_view line : split(message, "\r\n"))
    require(line.size() <= 998, "no line is over 998 bytes", line.substr(0, 100));
  return readEntity(message);
}

Entity readEntity(std::string_view text) {
  const std::size_t end = text.find("\r\n\r\n");
  require(end != std::string_view::npos, "a blank line ends the headers");
  Entity entity;
  entity.body = std::string(text.substr(end + 4));
  for (std::string_view line : split(text.substr(0, end), "\r\n")) {
    if (line.starts_with(' ') || line.starts_with('\t')) {
      require(!entity.headers.empty(), "a folded line continues a header");
      require(!trimmed(line).empty(), "a folded line is not all blanks", entity.headers.back().name);
      entity.headers.back().value += line;
      continue;
    }
    const std::size_t colon = line.find(':');
    require(colon != std::string_view::npos && colon > 0, "a header line is name: value", line);
    const std::string_view name = line.substr(0, colon);
    require(std::all_of(name.begin(), name.end(), [](char c) { return c > 0x20 && c < 0x7F; }),
            "a header name is printable", line);
    require(colon + 1 < line.size() && line[colon + 1] == ' ', "a blank follows the header name", line);
    entity.headers.push_back({std::string(name), std::string(line.substr(colon + 2))});
  }
  return entity;
}

std::vector<Entity> readMultipart(std::string_view body, std::string_view boundary) {
  const std::vector<std::string_view> pieces = split(body, "\r\n--" + std::string(boundary));
  require(pieces.size() >= 2, "a multipart body has a close delimiter");
  require(pieces.back() == "--\r\n", "nothing follows the close delimiter", pieces.back());
  std::vector<Entity> parts;
  for (std::size_t i = 1; i + 1 < pieces.size(); ++i) {
    require(pieces[i].starts_with("\r\n"), "a delimiter is a line of its own", pieces[i]);
    parts.push_back(readEntity(pieces[i].substr(2)));
  }
  return parts;
}

std::string parameter(std::string_view headerValue, std::string_view name) {
  std::string plain, pieces;
  bool extended = false, quoted = false;
  for (std::size_t i = 0, start = 0; i <= headerValue.size(); ++i) {  // parameters end at a semicolon outside quotes
    if (i < headerValue.size() && headerValue[i] == '"') quoted = !quoted;
    if (i < headerValue.size() && (headerValue[i] != ';' || quoted)) continue;
    const std::string_view param = trimmed(headerValue.substr(start, i - start));
    start = i + 1;
    const std::size_t eq = param.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = param.substr(0, eq), value = param.substr(eq + 1);
    if (key == name) {
      require(value.size() >= 2 && value.front() == '"' && value.back() == '"', "a parameter is quoted", value);
      plain = std::string(value.substr(1, value.size() - 2));
    } else if (key.starts_with(std::string(name) + "*")) {
      require(extended || value.starts_with("UTF-8''"), "filename* starts UTF-8''", value);
      pieces += value.substr(extended ? 0 : 7);
      extended = true;
    }
  }
  return extended ? unescaped(pieces, '%', "a % in filename* starts two hex digits") : plain;
}

std::string decodeWords(std::string_view text) {
  if (text.find("=?") == std::string_view::npos) return std::string(text);
  std::string out;
  std::optional<Word> previous;
  for (std::string_view piece : split(text, " ")) {
    if (trimmed(piece).empty()) continue;
    Word word = decodeWord(trimmed(piece));
    // GMime (notmuch) decodes the base64 of adjacent B words of one charset as one stream,
    // up to the first padding.
    const bool oneStream = previous && previous->encoding == "B" && word.encoding == "B" &&
                           previous->charset == word.charset;
    require(!oneStream || !previous->padded,
            "a B word followed by a B word of its charset ends on a whole 3-byte group", text);
    out += word.text;
    previous = std::move(word);
  }
  return out;
}

std::string decodeBody(const Entity& part) {
  const std::string& encoding = part.value("Content-Transfer-Encoding");
  require(encoding == "base64" || encoding == "7bit", "a body is 7bit or base64", encoding);
  const std::string raw = encoding == "base64" ? base64Decode(part.body) : part.body;
  const std::string& type = part.value("Content-Type");
  if (type == "text/plain; charset=ISO-2022-JP")
    return withLfLineEnds(toUtf8(raw, "ISO-2022-JP", "an ISO-2022-JP body decodes"));
  if (type == "text/plain; charset=US-ASCII") return withLfLineEnds(toUtf8(raw, "ASCII", "a US-ASCII body is ASCII"));
  require(type == "text/plain; charset=UTF-8", "a body is US-ASCII, ISO-2022-JP or UTF-8", type);
  return withLfLineEnds(toUtf8(raw, "UTF-8", "a UTF-8 body is well-formed"));
}

std::string base64Decode(std::string_view text) {
  static const std::string kAlphabet = kAlphanumeric + "+/";
  std::string digits;
  std::copy_if(text.begin(), text.end(), std::back_inserter(digits), [](char c) { return c != '\r' && c != '\n'; });
  require(digits.size() % 4 == 0, "base64 comes in groups of four", digits);
  const std::size_t pad = digits.ends_with("==") ? 2 : digits.ends_with("=") ? 1 : 0;
  const std::string_view data = std::string_view(digits).substr(0, digits.size() - pad);
  require(data.find_first_not_of(kAlphabet) == std::string_view::npos, "base64 digits only, padding only at the end",
          digits);
  // Each digit after the first of a group of four completes a byte of the 6-bit values so far.
  std::string out;
  unsigned bits = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    bits = bits << 6 | static_cast<unsigned>(kAlphabet.find(data[i]));
    if (i % 4 != 0) out += static_cast<char>(bits >> (6 - 2 * (i % 4)) & 0xFF);
  }
  return out;
}

std::string withLfLineEnds(std::string_view text) {
  static const std::regex kLineEnd("\r\n?");
  return std::regex_replace(std::string(text), kLineEnd, "\n");
}

}  // namespace parupo::test
