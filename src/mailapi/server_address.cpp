#include "mailapi/server_address.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "mailapi/mail_address.h"
#include "platform/text_util.h"

namespace parupo::mail {

namespace {

// %XX sequences decoded; a "%" not followed by two hex digits stays as it is.
std::string percentDecode(std::string_view s) {
  auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
      out += static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

bool isHostName(std::string_view h) {
  if (h.empty() || h.size() > 253) return false;
  for (char c : h) {
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_')) {
      return false;
    }
  }
  return h.front() != '-' && h.front() != '.';
}

bool isIpv6Literal(std::string_view h) {
  if (h.size() < 2 || h.find(':') == std::string_view::npos) return false;
  for (char c : h) {
    if (!(std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.')) return false;
  }
  return true;
}

// A name for EHLO: a domain, or an address literal such as "[192.0.2.1]" or "[IPv6:::1]".
bool isHelloName(std::string_view name) {
  if (name.size() > 2 && name.front() == '[' && name.back() == ']') {
    return std::all_of(name.begin() + 1, name.end() - 1,
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == ':' || c == '.'; });
  }
  return isHostName(name) && name.back() != '-';
}

// Where "scheme://" ends, or 0: a "://" counts only after a scheme's name (a letter, then
// letters, digits, "+", "." and "-"), never one after the login or inside the password.
std::size_t afterScheme(std::string_view field) {
  const std::size_t sep = field.find("://");
  if (sep == std::string_view::npos || sep == 0 || !std::isalpha(static_cast<unsigned char>(field[0]))) return 0;
  const bool named = std::all_of(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(sep), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '.' || c == '-';
  });
  return named ? sep + 3 : 0;
}

}  // namespace

std::string withoutPassword(std::string_view field) {
  // A password runs from the colon after the user name to the last "@", whatever it
  // holds ("/", ":", "://" and "@" included): what a refusal quotes never shows it.
  const std::size_t start = afterScheme(field);
  const std::size_t at = field.rfind('@');
  if (at == std::string_view::npos || at < start) return std::string(field);
  const std::size_t colon = field.find(':', start);
  if (colon == std::string_view::npos || colon > at) return std::string(field);
  return std::string(field.substr(0, colon + 1)) + "***" + std::string(field.substr(at));
}

std::string ServerAddress::curlUrl(MailProtocol protocol, std::string_view hello) const {
  std::string scheme = protocol == MailProtocol::Smtp ? "smtp" : "pop3";
  if (tlsFromStart) scheme += 's';
  std::string url = scheme + "://" + display() + "/";
  if (protocol != MailProtocol::Smtp) return url;
  // libcurl decodes the path before it uses it; "[", "]" and ":" must not reach its URL parser.
  for (char c : hello) {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_') {
      url += c;
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      url += {'%', kHex[static_cast<unsigned char>(c) >> 4], kHex[c & 15]};
    }
  }
  return url;
}

std::string ServerAddress::display() const {
  bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

namespace {

using enum MailErrorKind;

// The URL form's scheme, user, password and EHLO name; `rest` is left at "host[:port]".
std::optional<MailErrorKind> readUrlPart(std::string_view& rest, MailProtocol protocol, ServerAddress& out) {
  const std::size_t sep = rest.find("://");
  if (sep == std::string_view::npos) return std::nullopt;
  const bool smtp = protocol == MailProtocol::Smtp;
  const std::string scheme = asciiLower(rest.substr(0, sep));
  const std::string plain = smtp ? "smtp" : "pop3";
  if (scheme != plain && scheme != plain + "s") return ServerUnknownScheme;
  out.tlsFromStart = scheme != plain;
  rest.remove_prefix(sep + 3);
  // The path names the EHLO name for SMTP, as it does for libcurl; POP3 has no use for it.
  const std::size_t slash = rest.find('/');
  if (slash != std::string_view::npos) {
    if (smtp) out.helloName = percentDecode(rest.substr(slash + 1));
    if (!out.helloName.empty() && !isHelloName(out.helloName)) return ServerBadHelloName;
    rest = rest.substr(0, slash);
  }
  const std::size_t at = rest.rfind('@');
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view userinfo = rest.substr(0, at);
  rest.remove_prefix(at + 1);
  const std::size_t colon = userinfo.find(':');
  out.hasLogin = true;
  out.user = percentDecode(userinfo.substr(0, colon));
  if (colon != std::string_view::npos) out.password = percentDecode(userinfo.substr(colon + 1));
  if (out.user.empty()) return ServerEmptyUser;
  if (hasControl(out.user) || hasControl(out.password)) return ServerLoginControlCharacters;
  return std::nullopt;
}

// "1" to "65535" only.
std::optional<int> readPort(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + (c - '0');
  }
  if (port < 1 || port > 65535) return std::nullopt;
  return port;
}

// "host", "host:port", "[v6]", "[v6]:port" or a bare IPv6 literal (then without a port).
std::optional<MailErrorKind> readHostAndPort(std::string_view rest, ServerAddress& out) {
  std::optional<std::string_view> portText;
  if (!rest.empty() && rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos) return ServerMalformed;
    out.host = std::string(rest.substr(1, close - 1));
    const std::string_view after = rest.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') return ServerMalformed;
      portText = after.substr(1);
      if (portText->empty()) return ServerBadPort;
    }
    if (!isIpv6Literal(out.host)) return ServerMalformed;
  } else if (std::count(rest.begin(), rest.end(), ':') > 1) {
    out.host = std::string(rest);
    if (!isIpv6Literal(out.host)) return ServerMalformed;
  } else {
    const std::size_t colon = rest.find(':');
    out.host = std::string(rest.substr(0, colon));
    if (colon != std::string_view::npos) portText = rest.substr(colon + 1);
    if (portText && portText->empty()) return ServerBadPort;
    if (!isHostName(out.host)) return ServerBadName;
  }
  if (!portText) return std::nullopt;
  const std::optional<int> port = readPort(*portText);
  if (!port) return ServerBadPort;
  out.port = *port;
  return std::nullopt;
}

}  // namespace

std::variant<ServerAddress, MailError> parseServerAddress(std::string_view field, MailProtocol protocol) {
  const std::string text(trimBlanks(field, Blanks::WithIdeographic));
  auto refused = [&](MailErrorKind kind) {
    return MailError{kind, protocol, printable(withoutPassword(text)), {}, {}};
  };
  if (text.empty()) return refused(ServerMissing);
  if (hasControl(text)) return refused(ServerControlCharacters);

  ServerAddress out;
  std::string_view rest = text;
  if (auto wrong = readUrlPart(rest, protocol, out)) return refused(*wrong);
  if (auto wrong = readHostAndPort(rest, out)) return refused(*wrong);

  const bool smtp = protocol == MailProtocol::Smtp;
  const int plainPort = smtp ? 25 : 110;
  const int tlsPort = smtp ? 465 : 995;
  if (out.port == 0) out.port = out.tlsFromStart ? tlsPort : plainPort;
  if (out.port == tlsPort) out.tlsFromStart = true;
  return out;
}

}  // namespace parupo::mail
