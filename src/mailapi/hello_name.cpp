#include "mailapi/hello_name.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace parupo::mail {

namespace {

struct AddrInfoDeleter {
  void operator()(addrinfo* a) const { freeaddrinfo(a); }
};
using AddrInfo = std::unique_ptr<addrinfo, AddrInfoDeleter>;

AddrInfo resolve(const char* host, const char* service, int socketType, int flags) {
  addrinfo hints{};
  hints.ai_socktype = socketType;
  hints.ai_flags = flags;
  addrinfo* found = nullptr;
  if (getaddrinfo(host, service, &hints, &found) != 0) return nullptr;
  return AddrInfo(found);
}

std::string fullyQualifiedName() {
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return "";
  AddrInfo found = resolve(host, nullptr, SOCK_STREAM, AI_CANONNAME);
  if (!found) return "";
  if (isFullyQualified(host)) return host;
  const char* canonical = found->ai_canonname;
  return canonical != nullptr && isFullyQualified(canonical) ? canonical : "";
}

// The local address a connection to the server would leave from: a UDP socket
// "connected" to it sends nothing, but makes the kernel choose the route and address.
std::string localAddressLiteral(const std::string& serverHost, int serverPort) {
  const std::string port = std::to_string(serverPort);
  AddrInfo found = resolve(serverHost.c_str(), port.c_str(), SOCK_DGRAM, AI_NUMERICSERV);
  for (const addrinfo* a = found.get(); a != nullptr; a = a->ai_next) {
    int fd = socket(a->ai_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) continue;
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    bool known = connect(fd, a->ai_addr, a->ai_addrlen) == 0 &&
                 getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0;
    close(fd);
    if (known) return addressLiteral(reinterpret_cast<const sockaddr*>(&local));
  }
  return "";
}

}  // namespace

bool isFullyQualified(std::string_view name) {
  if (name.size() < 3 || name.size() > 253 || name.find('.') == std::string_view::npos) return false;
  if (name.front() == '.' || name.back() == '.' || name.front() == '-' || name.find("..") != std::string_view::npos ||
      name.starts_with("localhost")) {
    return false;
  }
  bool letter = false;  // "192.0.2.1" is an address, not a name
  for (char c : name) {
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-')) return false;
    letter = letter || std::isalpha(static_cast<unsigned char>(c));
  }
  return letter;
}

std::string addressLiteral(const sockaddr* address) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address->sa_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
    inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
    return "[" + std::string(text) + "]";
  }
  if (address->sa_family != AF_INET6) return "";
  const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
  if (IN6_IS_ADDR_V4MAPPED(&v6->sin6_addr)) {
    inet_ntop(AF_INET, v6->sin6_addr.s6_addr + 12, text, sizeof text);
    return "[" + std::string(text) + "]";
  }
  inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
  return "[IPv6:" + std::string(text) + "]";
}

std::string helloName(const std::string& serverHost, int serverPort) {
  std::string name = fullyQualifiedName();
  return name.empty() ? localAddressLiteral(serverHost, serverPort) : name;
}

}  // namespace parupo::mail
