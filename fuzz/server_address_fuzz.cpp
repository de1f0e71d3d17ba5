// The server fields Text2 (SMTP) and Text8 (POP), as PP1.dat hands them over. An
// accepted field gives a usable port, and a URL for libcurl that carries neither
// credentials nor anything that could end or split it; a refused one is never quoted
// with its password.
#include <cctype>
#include <string>

#include "fuzz_support.h"
#include "mailapi/server_address.h"

using namespace parupo;
using parupo::mail::MailProtocol;

namespace {

void check(std::string_view field, MailProtocol protocol) {
  const auto parsed = mail::parseServerAddress(field, protocol);
  if (const auto* error = std::get_if<mail::MailError>(&parsed)) {
    const std::string text = mail::mailErrorText(*error);
    fuzz::require(!text.empty() && text.find_first_of("\r\n") == std::string::npos, "a refusal is one non-empty line",
                  text);
    return;
  }
  const mail::ServerAddress& server = std::get<mail::ServerAddress>(parsed);
  fuzz::require(!server.host.empty(), "an accepted field names a host");
  fuzz::require(server.port >= 1 && server.port <= 65535, "the port is 1 to 65535");
  fuzz::require(server.hasLogin || (server.user.empty() && server.password.empty()), "credentials only with a login");
  fuzz::require(protocol == MailProtocol::Smtp || server.helloName.empty(), "an EHLO name only for SMTP");

  // The URL's path carries the EHLO name, and nothing else: only unreserved characters
  // and %XX, which libcurl decodes back to the name.
  const std::string url = server.curlUrl(protocol, server.helloName);
  for (char c : url) {
    const auto u = static_cast<unsigned char>(c);
    fuzz::require(u > 0x20 && u < 0x7F, "the URL is printable ASCII without blanks", url);
  }
  fuzz::require(url.find('@') == std::string::npos, "the URL carries no credentials", url);
  const std::size_t slash = url.find('/', url.find("://") + 3);
  fuzz::require(slash != std::string::npos, "the URL has a path", url);
  std::string path;
  for (std::size_t i = slash + 1; i < url.size(); ++i) {
    const char c = url[i];
    if (c == '%') {
      fuzz::require(i + 2 < url.size() && std::isxdigit(static_cast<unsigned char>(url[i + 1])) &&
                        std::isxdigit(static_cast<unsigned char>(url[i + 2])),
                    "a % in the path starts two hex digits", url);
      path += static_cast<char>(std::stoi(url.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      fuzz::require(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_',
                    "the path holds unreserved characters only", url);
      path += c;
    }
  }
  fuzz::require(path == server.helloName, "the path decodes to the EHLO name", url);
}

// The input with a login of its own put in, in four forms: "PREFIX://u:SECRET MIDDLE@REST",
// the same without a scheme before the login ("u:SECRET MIDDLE@REST"), and both with a
// "://" inside the password ("u:a://SECRET ..."). Whatever else the field holds, no text
// the program makes of it shows the password: neither the field as quoted, nor a
// refusal's sentence, nor an accepted field's URL and display.
void checkPasswordHidden(std::string_view input, MailProtocol protocol) {
  static constexpr std::string_view kSecret = "Pw7Secret";
  const std::string_view prefix = input.substr(0, input.size() / 3);
  const std::string_view middle = input.substr(prefix.size(), input.size() / 3);
  const std::string_view rest = input.substr(prefix.size() + middle.size());
  // A secret the input itself holds outside the password may rightly be quoted.
  if (input.find(kSecret) != std::string_view::npos) return;
  const std::string tail = std::string(kSecret) + std::string(middle) + "@" + std::string(rest);
  for (const std::string& field :
       {std::string(prefix) + "://u:" + tail, "u:" + tail, std::string(prefix) + "://u:a://" + tail, "u:a://" + tail}) {
    fuzz::require(mail::withoutPassword(field).find(kSecret) == std::string::npos,
                  "the field is quoted without its password", field);
    const auto parsed = mail::parseServerAddress(field, protocol);
    if (const auto* error = std::get_if<mail::MailError>(&parsed)) {
      const std::string text = mail::mailErrorText(*error);
      fuzz::require(text.find(kSecret) == std::string::npos, "a refusal never quotes the password", text);
      continue;
    }
    const mail::ServerAddress& server = std::get<mail::ServerAddress>(parsed);
    const std::string shown = server.curlUrl(protocol, server.helloName) + " " + server.display();
    fuzz::require(shown.find(kSecret) == std::string::npos, "the URL and the display never hold the password", shown);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view field = fuzz::bytesOf(data, size);
  for (const MailProtocol protocol : {MailProtocol::Smtp, MailProtocol::Pop3}) {
    check(field, protocol);
    checkPasswordHidden(field, protocol);
  }
  return 0;
}
