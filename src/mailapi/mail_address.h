// Mail addresses as people write them, checked before anything goes on the wire.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "mailapi/mail_error.h"

namespace parupo::mail {

// A bare address the way SMTP carries it in MAIL FROM and RCPT TO: printable ASCII
// without blanks, exactly one "@" with text on both sides, none of <>(),;:\"[] .
// Anything else (a CR LF in particular) could smuggle commands onto the wire.
bool isValidAddress(std::string_view address);

// One person of an address text: the name as written (quotes taken off; may be
// empty) and the bare address.
struct Mailbox {
  std::string name;
  std::string address;
  bool operator==(const Mailbox&) const = default;
};

// Reads `address`, `Name <address>` and `"Name, with comma" <address>` (names in any
// script), several of them separated by TAB, ",", "、" or ";" outside quotes and angle
// brackets. Blanks around an entry and empty entries are dropped. Gives the mailboxes,
// or the first entry that is no valid address (control characters, no "@", a quote or
// angle bracket left open, text after the ">") for the caller's error message.
std::variant<std::vector<Mailbox>, std::string> parseAddressList(std::string_view text);

// Who a mail is from, who gets it and whom an answer goes to.
struct Envelope {
  Mailbox sender;
  std::vector<Mailbox> recipients;   // named in To:
  std::vector<Mailbox> replyTo;      // empty: no Reply-To
  std::vector<Mailbox> blindCopies;  // get the mail, named in no header
};

// The addresses of a MailCall. The recipient text up to its first TAB is
// whom the mail is written to (To:); what follows that TAB (the copy to oneself, the
// people behind a dummy address) gets the mail blind. With an empty sender, the
// reply-to text is one address that both sends and is answered (the usual mail);
// otherwise the sender sends and the reply-to text, a list like the recipients, is
// answered (the separate copy to oneself). Gives a Recipient... or ReplyTo... error
// when one is missing or not an address (about: the entry refused).
[[nodiscard]] std::variant<Envelope, MailError> readEnvelope(std::string_view recipients, std::string_view replyTo,
                                                             std::string_view sender);

// The bare addresses for RCPT TO: the recipients, then the blind copies, each address
// once (an address written twice would otherwise get the mail twice).
std::vector<std::string> deliveryAddresses(const Envelope& envelope);

// A user's text made safe to quote inside an error message: control characters
// become "?" and very long texts are cut.
std::string printable(std::string_view text, std::size_t maxBytes = 200);

}  // namespace parupo::mail
