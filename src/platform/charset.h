// Conversion between character sets through glibc iconv: the one place the program
// calls it (CP932 data files, ISO-2022-JP mail).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace parupo {

enum class Unconvertible {
  Fail,     // the whole conversion gives nothing
  Replace,  // the sequence becomes "?" (U+FFFD when converting to UTF-8)
};

// `text` from one iconv character set to another, ending in the target's initial
// shift state. With Replace, a character the target cannot hold or a byte sequence the
// source does not hold is replaced: a whole UTF-8 character of the source at a time,
// otherwise a single byte. Nothing when iconv does not know either character set.
[[nodiscard]] std::optional<std::string> convertCharset(std::string_view text, const char* from, const char* to,
                                                        Unconvertible policy);

}  // namespace parupo
