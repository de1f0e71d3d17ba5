// The server fields Text2 (SMTP) and Text8 (POP), as PP1.dat hands them over. An
// accepted field gives a usable port, and a URL for libcurl that carries neither
// credentials nor anything that could end or split it.
#include "fuzz_support.h"
#include "mailapi/server_address.h"

using namespace parupo;
using parupo::mail::MailProtocol;

namespace {

void check(std::string_view field, MailProtocol protocol) {
  const auto parsed = mail::parseServerAddress(field, protocol);
  if (const auto* error = std::get_if<std::string>(&parsed)) {
    fuzz::require(!error->empty() && error->find_first_of("\r\n") == std::string::npos,
                  "a refusal is one non-empty line", *error);
    return;
  }
  const mail::ServerAddress& server = std::get<mail::ServerAddress>(parsed);
  fuzz::require(!server.host.empty(), "an accepted field names a host");
  fuzz::require(server.port >= 1 && server.port <= 65535, "the port is 1 to 65535");
  fuzz::require(server.hasLogin || (server.user.empty() && server.password.empty()),
                "credentials only with a login");
  const std::string url = server.curlUrl(protocol);
  for (char c : url) {
    const auto u = static_cast<unsigned char>(c);
    fuzz::require(u > 0x20 && u < 0x7F, "the URL is printable ASCII without blanks", url);
  }
  fuzz::require(url.find('@') == std::string::npos, "the URL carries no credentials", url);
  fuzz::require(url.find('/', url.find("://") + 3) == url.size() - 1, "the URL has no path but its last slash",
                url);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view field = fuzz::bytesOf(data, size);
  check(field, MailProtocol::Smtp);
  check(field, MailProtocol::Pop3);
  return 0;
}
