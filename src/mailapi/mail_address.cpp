#include "mailapi/mail_address.h"

#include "mailapi/text_encoding.h"
#include "platform/text_util.h"

namespace parupo::mail {

bool isValidAddress(std::string_view address) {
  if (address.empty() || address.size() > 254) return false;
  std::size_t at = std::string_view::npos;
  for (std::size_t i = 0; i < address.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(address[i]);
    if (c <= 0x20 || c >= 0x7F) return false;
    if (std::string_view("<>(),;:\\\"[]").find(static_cast<char>(c)) != std::string_view::npos) {
      return false;
    }
    if (c == '@') {
      if (at != std::string_view::npos) return false;
      at = i;
    }
  }
  return at != std::string_view::npos && at > 0 && at + 1 < address.size();
}

std::vector<std::string> splitRecipients(std::string_view list) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t tab = list.find('\t', start);
    if (tab == std::string_view::npos) tab = list.size();
    std::string one(trimBlanks(list.substr(start, tab - start), Blanks::WithIdeographic));
    if (!one.empty()) out.push_back(std::move(one));
    start = tab + 1;
  }
  return out;
}

std::string printable(std::string_view text, std::size_t maxBytes) {
  std::string clean = sanitizeUtf8(text);
  std::string out;
  for (std::size_t i = 0; i < clean.size();) {
    std::size_t len = utf8CharLength(clean, i);
    if (out.size() + len > maxBytes) {
      out += "…";
      break;
    }
    unsigned char c = static_cast<unsigned char>(clean[i]);
    if (len == 1 && (c < 0x20 || c == 0x7F)) {
      out += '?';
    } else {
      out.append(clean, i, len);
    }
    i += len;
  }
  return out;
}

}  // namespace parupo::mail
