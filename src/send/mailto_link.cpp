#include "send/mailto_link.h"

#include <vector>

#include "mailapi/text_encoding.h"
#include "platform/text_util.h"

namespace parupo {

namespace {

constexpr std::string_view kScheme = "mailto:";

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Percent escapes decoded; "+" stays "+" in a mailto: link. The bytes then read as UTF-8.
std::string percentDecoded(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int high = text[i] == '%' && i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? hexValue(text[i + 2]) : -1;
    if (low < 0) {
      bytes += text[i];
      continue;
    }
    bytes += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return mail::sanitizeUtf8(bytes);
}

// One line for a text box: every control character (CR and LF among them) a space.
std::string oneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  return out;
}

// The body with CR LF between its lines (a lone CR or LF counts as a break too), other
// control characters as spaces, and at most kLinkBodyLimit characters.
std::string bodyText(std::string_view text, bool& cut) {
  std::string out;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (characters == kLinkBodyLimit) {
      cut = true;
      break;
    }
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
      out += c == '\t' ? '\t' : ' ';
      ++i;
    } else {
      const std::size_t length = utf8CharLength(text.substr(i));
      out.append(text.substr(i, length));
      i += length;
    }
    ++characters;
  }
  return out;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

void addAddresses(std::string& recipients, std::string_view encoded) {
  for (std::string_view part : split(encoded, ',')) {
    const std::string address(trimBlanks(oneLine(percentDecoded(part))));
    if (address.empty()) continue;
    recipients += (recipients.empty() ? "" : ", ") + address;
  }
}

}  // namespace

bool isMailtoLink(std::string_view argument) {
  return argument.size() >= kScheme.size() && equalsIgnoringAsciiCase(argument.substr(0, kScheme.size()), kScheme);
}

std::optional<MailtoLink> readMailtoLink(std::string_view link) {
  if (!isMailtoLink(link)) return std::nullopt;
  link.remove_prefix(kScheme.size());
  link = link.substr(0, link.find('#'));
  const std::size_t query = link.find('?');
  MailtoLink out;
  addAddresses(out.recipients, link.substr(0, query));
  if (query == std::string_view::npos) return out;
  for (std::string_view field : split(link.substr(query + 1), '&')) {
    const std::size_t equals = field.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string name = asciiLower(percentDecoded(field.substr(0, equals)));
    const std::string_view value = field.substr(equals + 1);
    if (name == "to" || name == "cc") {
      addAddresses(out.recipients, value);
    } else if (name == "subject" && !out.subject) {
      out.subject = oneLine(percentDecoded(value));
    } else if (name == "body" && !out.body) {
      out.body = bodyText(percentDecoded(value), out.bodyCut);
    }
  }
  return out;
}

}  // namespace parupo
