#include "platform/cp932_text.h"

#include <cstdio>
#include <optional>

#include "platform/charset.h"
#include "platform/text_util.h"

namespace parupo {

namespace {

constexpr std::string_view kReferenceStart = "&#x";

bool cp932Holds(std::string_view character) {
  return convertCharset(character, "UTF-8", "CP932", Unconvertible::Fail).has_value();
}

// The code point of one whole, well-formed UTF-8 character; nothing for a broken one.
std::optional<char32_t> codePoint(std::string_view character) {
  char32_t cp = 0;
  if (character.empty() || decodeUtf8(character, 0, cp) != character.size()) return std::nullopt;
  return cp;
}

std::string reference(char32_t cp) {
  char text[16];
  std::snprintf(text, sizeof text, "&#x%04X;", static_cast<unsigned>(cp));
  return text;
}

// The character that a reference at the start of `text` names, and the reference's
// length; nothing when the text does not begin with one.
std::optional<std::pair<char32_t, std::size_t>> referenceAt(std::string_view text) {
  if (!text.starts_with(kReferenceStart)) return std::nullopt;
  char32_t cp = 0;
  std::size_t i = kReferenceStart.size();
  for (; i < text.size() && i - kReferenceStart.size() < 6; ++i) {
    const char c = text[i];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) break;
    cp = cp * 16 + static_cast<char32_t>(digit);
  }
  const bool named = i > kReferenceStart.size() && i < text.size() && text[i] == ';';
  const bool character = cp >= 0x20 && cp != 0x7F && (cp < 0xD800 || cp > 0xDFFF) && cp <= 0x10FFFF;
  if (!named || !character) return std::nullopt;
  return std::pair{cp, i + 1};
}

}  // namespace

std::string charactersCp932Lacks(std::string_view utf8) {
  std::string lacking;
  if (cp932Holds(utf8)) return lacking;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::string_view character = utf8.substr(at, utf8CharLength(utf8.substr(at)));
    at += character.size();
    if (codePoint(character) && !cp932Holds(character) && lacking.find(character) == std::string::npos) {
      lacking += character;
    }
  }
  return lacking;
}

std::string unsavableTextMessage(std::string_view utf8) {
  const std::string lacking = charactersCp932Lacks(utf8);
  return lacking.empty() ? "" : "「" + lacking + "」は保存できない文字です。別の文字にしてください。";
}

std::string withCharacterReferences(std::string_view utf8) {
  if (utf8.find(kReferenceStart) == std::string_view::npos && cp932Holds(utf8)) return std::string(utf8);
  std::string out;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::string_view character = utf8.substr(at, utf8CharLength(utf8.substr(at)));
    at += character.size();
    const std::optional<char32_t> cp = codePoint(character);
    if (character == "&" && utf8.substr(at - 1).starts_with(kReferenceStart)) {
      out += "&#x26;";
    } else if (cp && !cp932Holds(character)) {
      out += reference(*cp);
    } else {
      out += character;  // a broken sequence is left to the file's own conversion
    }
  }
  return out;
}

std::string withoutCharacterReferences(std::string_view utf8) {
  std::string out;
  std::size_t from = 0;
  for (std::size_t at = utf8.find(kReferenceStart); at != std::string_view::npos; at = utf8.find(kReferenceStart, at)) {
    const auto found = referenceAt(utf8.substr(at));
    if (!found) {
      ++at;
      continue;
    }
    out.append(utf8, from, at - from);
    appendUtf8(out, found->first);
    at += found->second;
    from = at;
  }
  out.append(utf8, from);
  return out;
}

}  // namespace parupo
