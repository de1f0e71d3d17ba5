// Header fields of outgoing mail: RFC 2047 encoded words, folding, the address
// headers, the subject, the date and the attachment's name.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "mailapi/mail_address.h"

namespace parupo::mail {

// RFC 2047 encoded words for a header text, each a complete piece of text on its own
// (for ISO-2022-JP: escape sequences that end in ASCII; for UTF-8: whole characters).
// ISO-2022-JP when the text (after mapping the Windows forms) converts and converts back
// unchanged, otherwise UTF-8. The words are "B" encoded, and every word but the last
// carries a whole number of 3-byte groups (no "=" padding), as readers that decode
// adjacent words as one stream need; a stretch of text where no word of whole characters
// can end so goes in one "Q" word. The first word takes at most firstMax characters (what
// is left of its line; at least 40), every other at most restMax (75, the most a word
// may have).
std::vector<std::string> encodedWords(std::string_view utf8, std::size_t firstMax = 75, std::size_t restMax = 75);

// The complete "Subject:" header, folded, with its CR LF. Control characters become
// spaces, so a subject can never start a header of its own.
std::string subjectHeader(std::string_view subject);

// A complete address header ("To", "From", "Reply-To") with its CR LF: each mailbox as
// its bare address, or as `name <address>` with the name as it stands when it is
// plain words, quoted when it is ASCII with specials, otherwise in encoded words.
// Folded between words so that no line with an encoded word runs past 76 characters.
std::string addressHeader(std::string_view field, const std::vector<Mailbox>& mailboxes);

// "Sat, 07 Mar 2026 14:05:09 +0900": local time, English names whatever the locale.
std::string formatDate(std::chrono::system_clock::time_point when);

// The Content-Type and Content-Disposition headers of an attached file of that name.
std::string attachmentHeaders(std::string_view fileName);

}  // namespace parupo::mail
