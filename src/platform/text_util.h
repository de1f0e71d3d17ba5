// Small text helpers every layer uses, each written once. Texts are UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace parupo {

// Which characters count as blanks at the ends of a text.
enum class Blanks {
  Ascii,            // space and TAB: the data files' field rule
  WithIdeographic,  // also U+3000, which a Japanese keyboard types as its space
};

// The text without blanks at either end.
std::string_view trimBlanks(std::string_view text, Blanks blanks = Blanks::Ascii);

// Whether the text holds a C0 control character (CR, LF, TAB among them) or DEL.
bool hasControl(std::string_view text);

// The number of bytes of the UTF-8 character that starts the text (at least 1, at most
// the text's size); a broken sequence counts its lead byte with the continuation bytes
// that follow it.
std::size_t utf8CharLength(std::string_view text);

// Decodes one well-formed UTF-8 character at `pos` (no overlong form, no surrogate,
// nothing past U+10FFFF) into `cp`; returns its length, or 0 when it is malformed.
std::size_t decodeUtf8(std::string_view text, std::size_t pos, char32_t& cp);
// Appends the code point as UTF-8.
void appendUtf8(std::string& out, char32_t cp);

// The number of UTF-16 code units the text takes (what a text box counts as its length).
std::size_t utf16Length(std::string_view text);

// ASCII letters folded to lower case; other bytes unchanged.
std::string asciiLower(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace parupo
