// Character-set work for outgoing mail: UTF-8 clean-up, ISO-2022-JP through glibc
// iconv, and base64.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace parupo::mail {

// The text with every malformed UTF-8 sequence replaced by U+FFFD, so that later steps
// can walk it character by character.
std::string sanitizeUtf8(std::string_view text);

// Replaces the Windows forms of six characters with the forms JIS X 0208 holds
// (FULLWIDTH TILDE -> WAVE DASH and so on), as Japanese mailers do before encoding.
std::string mapWindowsForms(std::string_view utf8);

// The text in ISO-2022-JP, ending in ASCII, when every character converts and the
// result converts back to exactly the same text; otherwise nothing. Line breaks are
// not treated specially: convert one line at a time.
std::optional<std::string> toIso2022jp(std::string_view utf8);

// Back to UTF-8 (used by the round-trip check and by tests).
std::optional<std::string> fromIso2022jp(std::string_view jis);

bool isAscii(std::string_view text);

// Standard base64 with padding, no line breaks.
std::string base64(std::string_view bytes);
// The same written to out, which has room for base64Length(bytes.size()) characters;
// returns the end of what was written.
char* base64Into(std::string_view bytes, char* out);
// Length of the base64 text for n input bytes.
constexpr std::size_t base64Length(std::size_t n) { return (n + 2) / 3 * 4; }

}  // namespace parupo::mail
