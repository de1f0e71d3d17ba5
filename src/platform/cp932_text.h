// What the CP932 data files can keep of the user's text, and what they cannot. The mail
// itself carries any text; a data file either refuses a character CP932 lacks (where
// the user edits it: the settings, the address book) or keeps it as a reference that
// the program reads back (the recipient history, the message logs). Every character
// CP932 holds is written byte for byte either way.
#pragma once

#include <string>
#include <string_view>

namespace parupo {

// The characters of `utf8` that CP932 cannot hold (♥, 𠮷, é, emoji ...), each once, in
// the order they first come; "" when the whole text can be written.
std::string charactersCp932Lacks(std::string_view utf8);

// The refusal a window shows when the text is to go into a data file that keeps only
// CP932: "「𠮷♥」は保存できない文字です。別の文字にしてください。"; "" when every character
// can be kept.
std::string unsavableTextMessage(std::string_view utf8);

// The text with every character CP932 lacks written as "&#xHHHH;" (its code point in
// hexadecimal), and the "&" of a "&#x" that the text itself holds written as "&#x26;",
// so that a typed "&#x2665;" does not read back as ♥. Everything else is unchanged:
// a text that CP932 holds and that holds no "&#x" comes back as it is.
std::string withCharacterReferences(std::string_view utf8);

// The text as withCharacterReferences had it: every "&#x" followed by one to six hex
// digits and ";" that names a character (not a control character, not a surrogate)
// becomes that character. Text without such references, as every file of the original
// Windows program, comes back as it is.
std::string withoutCharacterReferences(std::string_view utf8);

}  // namespace parupo
