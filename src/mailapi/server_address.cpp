#include "mailapi/server_address.h"

#include <algorithm>
#include <cctype>

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
    return std::all_of(name.begin() + 1, name.end() - 1, [](char c) {
      return std::isalnum(static_cast<unsigned char>(c)) || c == ':' || c == '.';
    });
  }
  return isHostName(name) && name.back() != '-';
}

}  // namespace

std::string withoutPassword(std::string_view field) {
  // A password runs from the colon after the user name to the last "@", whatever it
  // holds ("/", ":" and "@" included): what a refusal quotes never shows it.
  const std::size_t scheme = field.find("://");
  const std::size_t start = scheme == std::string_view::npos ? 0 : scheme + 3;
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

std::variant<ServerAddress, std::string> parseServerAddress(std::string_view field,
                                                            MailProtocol protocol) {
  const bool smtp = protocol == MailProtocol::Smtp;
  const std::string what = smtp ? "SMTPサーバー" : "POPサーバー";
  std::string text(trimBlanks(field, Blanks::WithIdeographic));
  if (text.empty()) return what + "が設定されていません。初期設定で入力してください。";
  if (hasControl(text)) return what + "の指定に使えない文字が含まれています。";
  // What a refusal quotes of the field: never its password.
  const std::string quoted = printable(withoutPassword(text));

  ServerAddress out;
  std::string_view rest = text;
  std::size_t sep = rest.find("://");
  if (sep != std::string_view::npos) {
    std::string scheme = asciiLower(rest.substr(0, sep));
    std::string plain = smtp ? "smtp" : "pop3";
    if (scheme == plain) {
      out.tlsFromStart = false;
    } else if (scheme == plain + "s") {
      out.tlsFromStart = true;
    } else {
      return what + "の指定が正しくありません（" + plain + "://、" + plain +
             "s:// またはサーバー名を指定してください）: " + quoted;
    }
    rest.remove_prefix(sep + 3);
    // The path names the EHLO name for SMTP, as it does for libcurl; POP3 has no use for it.
    std::size_t slash = rest.find('/');
    if (slash != std::string_view::npos) {
      out.helloName = percentDecode(rest.substr(slash + 1));
      if (!smtp) out.helloName.clear();
      if (!out.helloName.empty() && !isHelloName(out.helloName)) {
        return what + "の指定にあるEHLO名が正しくありません（ドメイン名か [IPアドレス] を指定してください）: " +
               quoted;
      }
      rest = rest.substr(0, slash);
    }
    std::size_t at = rest.rfind('@');
    if (at != std::string_view::npos) {
      std::string_view userinfo = rest.substr(0, at);
      rest.remove_prefix(at + 1);
      std::size_t colon = userinfo.find(':');
      out.hasLogin = true;
      out.user = percentDecode(userinfo.substr(0, colon));
      if (colon != std::string_view::npos) out.password = percentDecode(userinfo.substr(colon + 1));
      if (out.user.empty()) return what + "のユーザー名が空です: " + quoted;
      if (hasControl(out.user) || hasControl(out.password)) {
        return what + "のユーザー名またはパスワードに使えない文字が含まれています。";
      }
    }
  }

  std::string_view portText;
  if (!rest.empty() && rest.front() == '[') {
    std::size_t close = rest.find(']');
    if (close == std::string_view::npos) return what + "の指定が正しくありません: " + quoted;
    out.host = std::string(rest.substr(1, close - 1));
    std::string_view after = rest.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') return what + "の指定が正しくありません: " + quoted;
      portText = after.substr(1);
      if (portText.empty()) return what + "のポート番号が正しくありません: " + quoted;
    }
    if (!isIpv6Literal(out.host)) return what + "の指定が正しくありません: " + quoted;
  } else if (std::count(rest.begin(), rest.end(), ':') > 1) {
    // An IPv6 literal without brackets and so without a port.
    out.host = std::string(rest);
    if (!isIpv6Literal(out.host)) return what + "の指定が正しくありません: " + quoted;
  } else {
    std::size_t colon = rest.find(':');
    out.host = std::string(rest.substr(0, colon));
    if (colon != std::string_view::npos) {
      portText = rest.substr(colon + 1);
      if (portText.empty()) return what + "のポート番号が正しくありません: " + quoted;
    }
    if (!isHostName(out.host)) {
      return what + "の名前が正しくありません: " + quoted;
    }
  }

  if (!portText.empty()) {
    if (portText.size() > 5) return what + "のポート番号が正しくありません: " + quoted;
    int port = 0;
    for (char c : portText) {
      if (c < '0' || c > '9') return what + "のポート番号が正しくありません: " + quoted;
      port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return what + "のポート番号が正しくありません: " + quoted;
    out.port = port;
  }

  const int plainPort = smtp ? 25 : 110;
  const int tlsPort = smtp ? 465 : 995;
  if (out.port == 0) out.port = out.tlsFromStart ? tlsPort : plainPort;
  if (out.port == tlsPort) out.tlsFromStart = true;
  return out;
}

}  // namespace parupo::mail
