#include "mailapi/mail_headers.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <utility>

#include "mailapi/text_encoding.h"
#include "platform/text_util.h"

namespace parupo::mail {

namespace {

constexpr std::size_t kMaxEncodedWord = 75;
constexpr std::size_t kMaxEncodedLine = 76;  // a header line that holds an encoded word
constexpr std::size_t kMinFirstWord = 40;    // room enough for one character in any charset
constexpr std::size_t kMaxLine = 998;

// Control characters (C0, DEL, C1) of a UTF-8 text replaced by a space.
std::string controlsToSpaces(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t len = utf8CharLength(utf8.substr(i));
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    bool c1 = len == 2 && c == 0xC2 && static_cast<unsigned char>(utf8[i + 1]) < 0xA0;
    if ((len == 1 && (c < 0x20 || c == 0x7F)) || c1) {
      out += ' ';
    } else {
      out.append(utf8, i, len);
    }
    i += len;
  }
  return out;
}

// The "Q" form of an encoded word's bytes: letters, digits and "!*+-/" as they are, a
// blank as "_", everything else as =XX, which is safe in any header, also in a name.
std::string qEncoded(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (std::isalnum(c) != 0 || std::strchr("!*+-/", c) != nullptr) {
      out += ch;
    } else if (c == ' ') {
      out += '_';
    } else {
      out += {'=', kHex[c >> 4], kHex[c & 15]};
    }
  }
  return out;
}

struct Run {
  std::size_t end;
  std::string bytes;
};

// From pos, the longest run of whole characters whose bytes `fit`, and the longest of
// those that is a whole number of 3-byte groups (base64 without "=" padding).
template <typename Encode, typename Fits>
std::pair<Run, Run> longestRuns(std::string_view text, std::size_t pos, Encode& encode, Fits fits) {
  Run longest{pos, {}}, grouped{pos, {}};
  for (std::size_t end = pos; end < text.size();) {
    end += utf8CharLength(text.substr(end));
    std::optional<std::string> bytes = encode(text.substr(pos, end - pos));
    if (!bytes || !fits(*bytes)) break;
    if (bytes->size() % 3 == 0) grouped = {end, *bytes};
    longest = {end, std::move(*bytes)};
  }
  return {std::move(longest), std::move(grouped)};
}

// RFC 2047 words in the given charset over whole characters of the text, each word
// holding as many as fit in its limit. `encode` gives a piece's bytes in that charset,
// or nothing when the piece does not convert.
// Readers such as GMime (notmuch) decode the base64 of adjacent "B" words of one charset
// as one stream and stop at the first "=" padding, so every word but the last ends on a
// whole 3-byte group. Where no run of whole characters does within one word, that word
// goes "Q" encoded, which those readers decode on its own, and the groups count afresh.
template <typename Encode>
std::vector<std::string> wordsIn(std::string_view charset, std::string_view text, Encode encode, std::size_t firstMax,
                                 std::size_t restMax) {
  const std::string start = "=?" + std::string(charset);
  std::vector<std::string> words;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t limit = std::min(words.empty() ? firstMax : restMax, kMaxEncodedWord);
    const std::size_t room = limit - start.size() - 5;  // "?B?" and "?="
    auto [longest, grouped] = longestRuns(
        text, pos, encode, [room](const std::string& bytes) { return base64Length(bytes.size()) <= room; });
    if (longest.end == pos) return {};
    if (longest.end == text.size() || grouped.end > pos) {
      const Run& run = longest.end == text.size() ? longest : grouped;
      words.push_back(start + "?B?" + base64(run.bytes) + "?=");
      pos = run.end;
      continue;
    }
    Run quoted = longestRuns(text, pos, encode, [room](const std::string& bytes) {
                   return qEncoded(bytes).size() <= room;
                 }).first;
    if (quoted.end == pos) {  // not even one character fits quoted: padding it is
      words.push_back(start + "?B?" + base64(longest.bytes) + "?=");
      pos = longest.end;
    } else {
      words.push_back(start + "?Q?" + qEncoded(quoted.bytes) + "?=");
      pos = quoted.end;
    }
  }
  return words;
}

std::string joinFolded(const std::vector<std::string>& words) {
  std::string out;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) out += "\r\n ";
    out += words[i];
  }
  return out;
}

// One header field built from pieces, each after a blank, with a fold (CR LF SP) before
// a piece that would run the line past kMaxEncodedLine. A piece longer than a line (a
// very long address) stands alone on its line.
class FoldedHeader {
 public:
  explicit FoldedHeader(std::string_view field) : out_(std::string(field) + ":"), line_(out_.size()) {}

  // reserve: characters that will be glued after the piece (a comma).
  void add(std::string_view piece, std::size_t reserve = 0) {
    if (pieces_ > 0 && line_ + 1 + piece.size() + reserve > kMaxEncodedLine) {
      out_ += "\r\n";
      line_ = 0;
    }
    out_ += ' ';
    out_.append(piece);
    line_ += 1 + piece.size();
    ++pieces_;
  }
  void glue(std::string_view text) {
    out_.append(text);
    line_ += text.size();
  }
  // The text as encoded words, the first filling what is left of the line.
  void addWords(std::string_view utf8) {
    std::size_t room = line_ + 1 < kMaxEncodedLine ? kMaxEncodedLine - line_ - 1 : 0;
    if (room < kMinFirstWord) room = kMaxEncodedWord;  // it goes on a new line
    for (const std::string& word : encodedWords(utf8, room)) add(word);
  }
  std::string finish() const { return out_ + "\r\n"; }

 private:
  std::string out_;
  std::size_t line_;
  std::size_t pieces_ = 0;
};

// RFC 5322 atom characters: a name of these and blanks needs no quotes.
bool isAtomChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::strchr("!#$%&'*+-/=?^_`{|}~", c) != nullptr;
}

// A display name in a header: plain words as they stand, other ASCII as a quoted string,
// anything else (and a name that could pass for an encoded word) as encoded words.
void addName(FoldedHeader& header, std::string_view name) {
  constexpr std::size_t kLongestQuoted = 60;
  std::string text = controlsToSpaces(sanitizeUtf8(name));
  if (!isAscii(text) || text.find("=?") != std::string::npos || text.size() > kLongestQuoted) {
    header.addWords(text);
    return;
  }
  bool atoms = true;
  for (char c : text) atoms = atoms && (c == ' ' || isAtomChar(static_cast<unsigned char>(c)));
  if (atoms) {
    header.add(text);
    return;
  }
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  header.add(quoted + "\"");
}

// RFC 2231 attribute characters, which need no percent encoding.
bool isAttributeChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::strchr("!#$&+-.^_`|~", c) != nullptr;
}

std::string percentEncode(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : bytes) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (isAttributeChar(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

bool isSimpleFileName(std::string_view name) {
  // Mailers decode encoded words inside name="...": a name that merely looks like one
  // ("=?UTF-8?B?...?=") would be shown as something else, so it goes encoded itself.
  if (name.size() > 60 || name.find("=?") != std::string_view::npos) return false;
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> encodedWords(std::string_view utf8, std::size_t firstMax, std::size_t restMax) {
  std::string text = sanitizeUtf8(utf8);
  std::string mapped = mapWindowsForms(text);
  if (toIso2022jp(mapped)) {
    auto words = wordsIn("ISO-2022-JP", mapped, toIso2022jp, firstMax, restMax);
    if (!words.empty() || mapped.empty()) return words;
  }
  return wordsIn(
      "UTF-8", text, [](std::string_view piece) { return std::optional<std::string>(piece); }, firstMax, restMax);
}

std::string subjectHeader(std::string_view subject) {
  std::string text = controlsToSpaces(sanitizeUtf8(subject));
  bool plain = isAscii(text) && text.find("=?") == std::string::npos;
  if (plain) {
    // Fold before blanks so no line runs far past 78 characters; a single run of
    // non-blank characters too long for one line goes encoded instead.
    std::string out = "Subject: ";
    std::size_t lineLength = out.size();
    std::size_t i = 0;
    while (i < text.size()) {
      std::size_t wordEnd = text.find(' ', i + 1);
      if (wordEnd == std::string::npos) wordEnd = text.size();
      std::size_t length = wordEnd - i;
      // A fold never leaves a line of blanks alone, which readers may take for the end
      // of the headers: a run of blanks stays on its line.
      if (lineLength + length > 78 && lineLength > 1 && text[i] == ' ' && length > 1) {
        out += "\r\n";
        lineLength = 0;
      }
      if (lineLength + length > kMaxLine) {
        plain = false;
        break;
      }
      out.append(text, i, length);
      lineLength += length;
      i = wordEnd;
    }
    if (plain) return out + "\r\n";
  }
  FoldedHeader header("Subject");
  header.addWords(text);
  return header.finish();
}

std::string addressHeader(std::string_view field, const std::vector<Mailbox>& mailboxes) {
  FoldedHeader header(field);
  for (std::size_t i = 0; i < mailboxes.size(); ++i) {
    const Mailbox& m = mailboxes[i];
    const bool last = i + 1 == mailboxes.size();
    if (m.name.empty()) {
      header.add(m.address, last ? 0 : 1);
    } else {
      addName(header, m.name);
      header.add("<" + m.address + ">", last ? 0 : 1);
    }
    if (!last) header.glue(",");
  }
  return header.finish();
}

std::string formatDate(std::chrono::system_clock::time_point when) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm tm{};
  localtime_r(&t, &tm);
  long offset = tm.tm_gmtoff / 60;
  char sign = offset < 0 ? '-' : '+';
  if (offset < 0) offset = -offset;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", kDays[tm.tm_wday % 7], tm.tm_mday,
                kMonths[tm.tm_mon % 12], tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec, sign, offset / 60,
                offset % 60);
  return buf;
}

std::string attachmentHeaders(std::string_view fileName) {
  std::string name = controlsToSpaces(sanitizeUtf8(fileName));
  if (trimBlanks(name, Blanks::WithIdeographic).empty()) name = "attachment";
  if (isSimpleFileName(name)) {
    return "Content-Type: application/octet-stream; name=\"" + name +
           "\"\r\nContent-Transfer-Encoding: base64\r\n"
           "Content-Disposition: attachment; filename=\"" +
           name + "\"\r\n";
  }
  // ' name="' before the first word and the closing quote after the last stay within
  // the line, also when one word is both.
  std::string out = "Content-Type: application/octet-stream;\r\n name=\"" +
                    joinFolded(encodedWords(name, kMaxEncodedLine - 8, kMaxEncodedLine - 2)) + "\"\r\n";
  out += "Content-Transfer-Encoding: base64\r\n";
  // filename* in pieces of whole characters, each line well under 78 characters.
  std::vector<std::string> pieces;
  std::string current;
  for (std::size_t i = 0; i < name.size();) {
    std::size_t len = utf8CharLength(std::string_view(name).substr(i));
    std::string encoded = percentEncode(std::string_view(name).substr(i, len));
    if (!current.empty() && current.size() + encoded.size() > 54) {
      pieces.push_back(std::move(current));
      current.clear();
    }
    current += encoded;
    i += len;
  }
  if (!current.empty()) pieces.push_back(std::move(current));
  out += "Content-Disposition: attachment";
  if (pieces.size() == 1) {
    out += ";\r\n filename*=UTF-8''" + pieces[0];
  } else {
    for (std::size_t k = 0; k < pieces.size(); ++k) {
      out += ";\r\n filename*" + std::to_string(k) + "*=" + (k == 0 ? "UTF-8''" : "") + pieces[k];
    }
  }
  return out + "\r\n";
}

}  // namespace parupo::mail
