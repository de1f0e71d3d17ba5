// The name this machine gives itself in EHLO. Servers set as strict providers set theirs
// refuse a short name such as "vm"; RFC 5321 asks for the fully qualified name or, for a
// machine without one, an address literal of the connection's local address.
#pragma once

#include <string>
#include <string_view>

struct sockaddr;

namespace parupo::mail {

// The machine's fully qualified name when it has one (its host name, or the canonical
// name it resolves to, with a dot and not a "localhost" name); otherwise the literal of
// the local address the kernel would use to reach the server. Empty when neither can be
// learnt (the server's name does not resolve): libcurl then falls back to the host name.
std::string helloName(const std::string& serverHost, int serverPort);

// A name fit for EHLO as this machine's fully qualified name.
bool isFullyQualified(std::string_view name);

// "[192.0.2.10]", "[IPv6:2001:db8::1]"; an IPv4 address mapped into IPv6 is written as
// IPv4. Empty for other address families.
std::string addressLiteral(const sockaddr* address);

}  // namespace parupo::mail
