#include "mailapi/text_encoding.h"

#include <cstdint>

#include "platform/charset.h"
#include "platform/text_util.h"

namespace parupo::mail {

std::string sanitizeUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp;
    std::size_t len = decodeUtf8(text, i, cp);
    if (len == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(text.substr(i, len));
      i += len;
    }
  }
  return out;
}

std::string mapWindowsForms(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp;
    std::size_t len = decodeUtf8(utf8, i, cp);
    if (len == 0) {
      out += utf8[i++];
      continue;
    }
    switch (cp) {
      case 0xFF5E: appendUtf8(out, 0x301C); break;  // FULLWIDTH TILDE -> WAVE DASH
      case 0xFF0D: appendUtf8(out, 0x2212); break;  // FULLWIDTH HYPHEN-MINUS -> MINUS SIGN
      case 0x2225: appendUtf8(out, 0x2016); break;  // PARALLEL TO -> DOUBLE VERTICAL LINE
      case 0xFFE0: appendUtf8(out, 0x00A2); break;  // FULLWIDTH CENT SIGN
      case 0xFFE1: appendUtf8(out, 0x00A3); break;  // FULLWIDTH POUND SIGN
      case 0xFFE2: appendUtf8(out, 0x00AC); break;  // FULLWIDTH NOT SIGN
      default: out.append(utf8.substr(i, len));
    }
    i += len;
  }
  return out;
}

std::optional<std::string> toIso2022jp(std::string_view utf8) {
  auto jis = convertCharset(utf8, "UTF-8", "ISO-2022-JP", Unconvertible::Fail);
  if (!jis) return std::nullopt;
  auto back = fromIso2022jp(*jis);
  if (!back || *back != utf8) return std::nullopt;
  return jis;
}

std::optional<std::string> fromIso2022jp(std::string_view jis) {
  return convertCharset(jis, "ISO-2022-JP", "UTF-8", Unconvertible::Fail);
}

bool isAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

char* base64Into(std::string_view bytes, char* out) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::size_t i = 0;
  auto b = [&](std::size_t k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k])); };
  for (; i + 3 <= bytes.size(); i += 3) {
    std::uint32_t v = (b(i) << 16) | (b(i + 1) << 8) | b(i + 2);
    *out++ = kAlphabet[(v >> 18) & 63];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = kAlphabet[(v >> 6) & 63];
    *out++ = kAlphabet[v & 63];
  }
  std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    std::uint32_t v = b(i) << 16;
    if (rest == 2) v |= b(i + 1) << 8;
    *out++ = kAlphabet[(v >> 18) & 63];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    *out++ = '=';
  }
  return out;
}

std::string base64(std::string_view bytes) {
  std::string out(base64Length(bytes.size()), '\0');
  base64Into(bytes, out.data());
  return out;
}

}  // namespace parupo::mail
