#include "mailapi/mail_address.h"

#include <algorithm>
#include <optional>

#include "mailapi/text_encoding.h"
#include "platform/text_util.h"

namespace parupo::mail {

namespace {

constexpr std::string_view kIdeographicComma = "\u3001";

// The entries of an address text: cut at TAB, ",", "、" and ";" outside quotes and angle
// brackets. A quote or bracket left open runs to the end, where the entry is refused.
std::vector<std::string_view> splitEntries(std::string_view text) {
  std::vector<std::string_view> entries;
  bool quoted = false;
  bool angled = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    std::size_t separator = 0;
    if (quoted) {
      if (c == '\\' && i + 1 < text.size()) ++i;
      else if (c == '"') quoted = false;
    } else if (angled) {
      angled = c != '>';
    } else if (c == '"') {
      quoted = true;
    } else if (c == '<') {
      angled = true;
    } else if (c == '\t' || c == ',' || c == ';') {
      separator = 1;
    } else if (text.substr(i).starts_with(kIdeographicComma)) {
      separator = kIdeographicComma.size();
    }
    if (separator == 0) {
      ++i;
      continue;
    }
    entries.push_back(text.substr(start, i - start));
    i += separator;
    start = i;
  }
  entries.push_back(text.substr(start));
  return entries;
}

// Where the "<" of `Name <address>` stands: the first one outside a quoted name.
std::size_t openingBracket(std::string_view entry) {
  bool quoted = false;
  for (std::size_t i = 0; i < entry.size(); ++i) {
    if (quoted && entry[i] == '\\') ++i;
    else if (entry[i] == '"') quoted = !quoted;
    else if (!quoted && entry[i] == '<') return i;
  }
  return std::string_view::npos;
}

// The name as written: a quoted name loses its quotes and backslash escapes; a name
// without quotes may hold no quote or angle bracket.
std::optional<std::string> displayName(std::string_view name) {
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
    std::string out;
    for (std::size_t i = 1; i + 1 < name.size(); ++i) {
      if (name[i] == '"') return std::nullopt;
      if (name[i] == '\\' && ++i + 1 == name.size()) return std::nullopt;  // escapes the closing quote
      out += name[i];
    }
    return out;
  }
  if (name.find_first_of("\"<>") != std::string_view::npos) return std::nullopt;
  return std::string(name);
}

std::optional<Mailbox> parseMailbox(std::string_view entry) {
  if (hasControl(entry)) return std::nullopt;
  if (!entry.ends_with('>')) {
    if (!isValidAddress(entry)) return std::nullopt;
    return Mailbox{"", std::string(entry)};
  }
  const std::size_t open = openingBracket(entry);
  if (open == std::string_view::npos) return std::nullopt;
  const std::string_view address = trimBlanks(entry.substr(open + 1, entry.size() - open - 2));
  std::optional<std::string> name = displayName(trimBlanks(entry.substr(0, open), Blanks::WithIdeographic));
  if (!name || !isValidAddress(address)) return std::nullopt;
  return Mailbox{std::move(*name), std::string(address)};
}

// Exactly one mailbox, or nothing.
std::optional<Mailbox> parseSingle(std::string_view text) {
  auto parsed = parseAddressList(text);
  auto* list = std::get_if<std::vector<Mailbox>>(&parsed);
  if (list == nullptr || list->size() != 1) return std::nullopt;
  return std::move(list->front());
}

}  // namespace

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

std::variant<std::vector<Mailbox>, std::string> parseAddressList(std::string_view text) {
  std::vector<Mailbox> out;
  for (std::string_view entry : splitEntries(text)) {
    entry = trimBlanks(entry, Blanks::WithIdeographic);
    if (entry.empty()) continue;
    std::optional<Mailbox> mailbox = parseMailbox(entry);
    if (!mailbox) return std::string(entry);
    out.push_back(std::move(*mailbox));
  }
  return out;
}

std::variant<Envelope, MailError> readEnvelope(std::string_view recipients, std::string_view replyTo,
                                               std::string_view sender) {
  using enum MailErrorKind;
  auto refused = [](MailErrorKind kind, std::string_view entry = {}) {
    return MailError{.kind = kind, .about = printable(entry)};
  };
  Envelope envelope;
  const std::size_t tab = recipients.find('\t');
  auto to = parseAddressList(recipients.substr(0, tab));
  if (auto* bad = std::get_if<std::string>(&to)) return refused(RecipientInvalid, *bad);
  envelope.recipients = std::get<std::vector<Mailbox>>(std::move(to));
  if (envelope.recipients.empty()) return refused(RecipientMissing);
  if (tab != std::string_view::npos) {
    auto blind = parseAddressList(recipients.substr(tab + 1));
    if (auto* bad = std::get_if<std::string>(&blind)) return refused(RecipientInvalid, *bad);
    envelope.blindCopies = std::get<std::vector<Mailbox>>(std::move(blind));
  }

  const std::string_view from = trimBlanks(sender.empty() ? replyTo : sender, Blanks::WithIdeographic);
  if (from.empty()) return refused(ReplyToMissing);
  std::optional<Mailbox> mailbox = parseSingle(from);
  if (!mailbox) return refused(ReplyToInvalid, from);
  envelope.sender = std::move(*mailbox);
  if (sender.empty()) {
    envelope.replyTo = {envelope.sender};
    return envelope;
  }
  auto answered = parseAddressList(replyTo);
  if (auto* bad = std::get_if<std::string>(&answered)) return refused(ReplyToInvalid, *bad);
  envelope.replyTo = std::get<std::vector<Mailbox>>(std::move(answered));
  return envelope;
}

std::vector<std::string> deliveryAddresses(const Envelope& envelope) {
  std::vector<std::string> out;
  auto add = [&out](const std::vector<Mailbox>& mailboxes) {
    for (const Mailbox& m : mailboxes) {
      if (std::none_of(out.begin(), out.end(),
                       [&m](const std::string& a) { return equalsIgnoringAsciiCase(a, m.address); })) {
        out.push_back(m.address);
      }
    }
  };
  add(envelope.recipients);
  add(envelope.blindCopies);
  return out;
}

std::string printable(std::string_view text, std::size_t maxBytes) {
  std::string clean = sanitizeUtf8(text);
  std::string out;
  for (std::size_t i = 0; i < clean.size();) {
    std::size_t len = utf8CharLength(std::string_view(clean).substr(i));
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
