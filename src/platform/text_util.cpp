#include "platform/text_util.h"

namespace parupo {

namespace {

constexpr std::string_view kIdeographicSpace = "\u3000";

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::size_t blankAt(std::string_view text, bool atEnd, Blanks blanks) {
  if (text.empty()) return 0;
  const char c = atEnd ? text.back() : text.front();
  if (c == ' ' || c == '\t') return 1;
  if (blanks == Blanks::WithIdeographic &&
      (atEnd ? text.ends_with(kIdeographicSpace) : text.starts_with(kIdeographicSpace))) {
    return kIdeographicSpace.size();
  }
  return 0;
}

}  // namespace

std::string_view trimBlanks(std::string_view text, Blanks blanks) {
  while (std::size_t n = blankAt(text, false, blanks)) text.remove_prefix(n);
  while (std::size_t n = blankAt(text, true, blanks)) text.remove_suffix(n);
  return text;
}

bool hasControl(std::string_view text) {
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

std::size_t utf8CharLength(std::string_view s) {
  if (s.empty()) return 0;
  const auto c = static_cast<unsigned char>(s[0]);
  std::size_t n = 1;
  if (c >= 0xF0 && c <= 0xF4) n = 4;
  else if (c >= 0xE0 && c <= 0xEF) n = 3;
  else if (c >= 0xC2 && c <= 0xDF) n = 2;
  std::size_t len = 1;
  while (len < n && len < s.size() && (static_cast<unsigned char>(s[len]) & 0xC0) == 0x80) ++len;
  return len;
}

std::size_t utf16Length(std::string_view text) {
  std::size_t units = 0;
  while (!text.empty()) {
    const std::size_t n = utf8CharLength(text);
    units += n == 4 ? 2 : 1;  // outside the Basic Multilingual Plane: a surrogate pair
    text.remove_prefix(n);
  }
  return units;
}

std::string asciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lower(c);
  return out;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

std::size_t decodeUtf8(std::string_view s, std::size_t pos, char32_t& cp) {
  auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  unsigned char c = b(pos);
  std::size_t len;
  char32_t min;
  if (c < 0x80) {
    cp = c;
    return 1;
  } else if ((c & 0xE0) == 0xC0) {
    len = 2, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4, cp = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (pos + len > s.size()) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    if ((b(pos + i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(pos + i) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace parupo
