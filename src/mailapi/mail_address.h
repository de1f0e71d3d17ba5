// Mail addresses as the send takes them: checked before anything goes on the wire.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace parupo::mail {

// A bare address the way SMTP carries it in MAIL FROM and RCPT TO: printable ASCII
// without blanks, exactly one "@" with text on both sides, none of <>(),;:\"[] .
// Anything else (a CR LF in particular) could smuggle commands onto the wire.
bool isValidAddress(std::string_view address);

// Splits the TAB-separated recipient list; blanks around each address are dropped and
// so are empty entries (a copy to an empty reply-to field adds a trailing TAB).
std::vector<std::string> splitRecipients(std::string_view list);

// A user's text made safe to quote inside an error message: control characters
// become "?" and very long texts are cut.
std::string printable(std::string_view text, std::size_t maxBytes = 200);

}  // namespace parupo::mail
