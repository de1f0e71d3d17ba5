// A mailto: link (a browser's link, xdg-email) read into what the compose boxes take.
// Plain C++: the start-up and the running program's hand-over both use it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace parupo {

struct MailtoLink {
  std::string recipients;              // the link's addresses, to= and cc= added, ", " between
  std::optional<std::string> subject;  // only when the link gives one
  std::optional<std::string> body;     // lines separated by CR LF
  bool bodyCut = false;                // the body was longer than a body box takes
};

// The most characters a link's body brings into the body box.
inline constexpr std::size_t kLinkBodyLimit = 30000;

// Whether the argument is a mailto: link (the scheme in any case).
bool isMailtoLink(std::string_view argument);

// Reads the link: percent escapes decoded as UTF-8 (a broken sequence becomes U+FFFD, a
// broken escape stays as it is written), the addresses of the path, to= and cc=; subject=
// and body= once each, the first one counting. bcc= and every other field (attachments
// among them) are ignored. Control characters become spaces in the addresses and the
// subject; in the body only line breaks stay. Nothing when it is no mailto: link.
std::optional<MailtoLink> readMailtoLink(std::string_view link);

}  // namespace parupo
