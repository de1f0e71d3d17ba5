// The decisions of a send by named rows: whom the first mail goes to and whom its To:
// names (read back the way the mail library reads it), whether the separate copy goes,
// the message log's recipient text and the copy's prefix.
#include "send/send_decisions.h"

#include <gtest/gtest.h>

#include <variant>

#include "mailapi/mail_address.h"

namespace parupo::test {
namespace {

using Strings = std::vector<std::string>;
using enum mail::MailErrorKind;

const std::string kMe = "自分 <me@x.jp>", kSubject = "件名";

struct Delivery {
  Strings named;     // To:
  Strings envelope;  // RCPT TO
  bool operator==(const Delivery&) const = default;
};

void PrintTo(const Delivery& d, std::ostream* os) {
  *os << "To:";
  for (const auto& a : d.named) *os << " " << a;
  *os << " / envelope:";
  for (const auto& a : d.envelope) *os << " " << a;
}

Delivery delivery(const std::string& recipients, const std::string& replyTo, const std::string& sender = "") {
  const auto read = mail::readEnvelope(recipients, replyTo, sender);
  const auto* envelope = std::get_if<mail::Envelope>(&read);
  if (envelope == nullptr) return {{"refused by the library"}, {}};
  Delivery d{.named = {}, .envelope = mail::deliveryAddresses(*envelope)};
  for (const auto& m : envelope->recipients) d.named.push_back(m.address);
  return d;
}

// One reply mode, Check1 ticked or not. In `list`, D stands for the dummy address, T for
// the recipient box as ToList carries it and M for the user's own address; `named` is the
// one of them that To: names. The dummy address is looked at only when the list holds it.
const struct {
  const char* name;
  ReplyMode mode;
  bool check1;
  std::string list;
  char named;
  bool copy;
  bool logEndsWithMe;
} kModes[] = {
    {"dont_send", ReplyDontSend, false, "T", 'T', false, false},
    {"dont_send_check1", ReplyDontSend, true, "T", 'T', false, false},
    {"copy", ReplySendCopy, false, "T\tM", 'T', false, false},
    {"copy_check1", ReplySendCopy, true, "T", 'T', false, false},
    {"dummy", ReplyToDummy, false, "D\tT\tM", 'D', false, false},
    {"dummy_check1", ReplyToDummy, true, "T", 'T', false, false},
    {"separate", ReplySeparate, false, "T", 'T', true, true},
    {"separate_check1", ReplySeparate, true, "T", 'T', false, true},
};

// The recipient box: as typed, as ToList carries it, and the addresses it names.
const struct {
  const char* name;
  std::string box, inList;
  Strings addresses;
} kBoxes[] = {
    {"empty", "", "", {}},
    {"with_name", "花子 <hanako@x.jp>", "花子 <hanako@x.jp>", {"hanako@x.jp"}},
    {"several", "a@x.jp\tb@x.jp、c@x.jp", "a@x.jp, b@x.jp、c@x.jp", {"a@x.jp", "b@x.jp", "c@x.jp"}},
};

TEST(SendDecisions, EveryReplyModeCheck1BoxAndDummyAddress) {
  const struct {
    const char* name;
    std::string address;
  } dummies[] = {{"dummy", "ダミー <d@x.jp>"}, {"dummy_without_at", "d.x.jp"}};
  for (const auto& m : kModes) {
    for (const auto& b : kBoxes) {
      for (const auto& d : dummies) {
        SCOPED_TRACE(std::string(m.name) + "/" + b.name + "/" + d.name);
        const auto toList = firstMailRecipients(m.mode, m.check1, b.box, kMe, d.address);
        const bool stops = m.list.find('D') != std::string::npos && d.address.find('@') == std::string::npos;
        ASSERT_EQ(toList.has_value(), !stops);
        if (stops) continue;
        std::string list;
        Delivery expected;
        for (char c : m.list) {
          list += c == 'D' ? d.address : c == 'T' ? b.inList : c == 'M' ? kMe : "\t";
          const Strings people = c == 'D'   ? Strings{"d@x.jp"}
                                 : c == 'T' ? b.addresses
                                 : c == 'M' ? Strings{"me@x.jp"}
                                            : Strings{};
          expected.envelope.insert(expected.envelope.end(), people.begin(), people.end());
          if (c == m.named) expected.named = people;
        }
        EXPECT_EQ(*toList, list);
        EXPECT_EQ(recipientRefusal(b.box),
                  b.addresses.empty() ? std::optional(mail::MailError{.kind = RecipientMissing}) : std::nullopt);
        EXPECT_EQ(sendsSeparateCopy(m.mode, m.check1), m.copy);
        const std::string log = logRecipientText(m.mode, *toList, kMe);
        EXPECT_EQ(log, m.logEndsWithMe ? list + " & " + kMe : list);
        EXPECT_EQ(copySubjectPrefix(std::nullopt, log), log);  // no PP3.dat
        if (b.addresses.empty()) continue;                     // refused before the library is called
        const SendVariables v{.ToList = *toList, .ReplyAdr = kMe, .SubjTxt = kSubject};
        EXPECT_EQ(delivery(firstMail(v).recipients, kMe), expected);
        const MailCall copy = separateCopy(v, log);
        EXPECT_EQ(copy.subject, log + kSubject);
        EXPECT_EQ(delivery(copy.recipients, copy.replyTo, copy.sender), (Delivery{{"me@x.jp"}, {"me@x.jp"}}));
      }
    }
  }
}

// Each row pins a fault these decisions once had.
TEST(SendDecisions, FaultsOnceFound) {
  const struct {
    const char* name;
    ReplyMode mode;
    std::string box;
    Delivery delivery;
  } rows[] = {
      {"pasted_cells_after_a_tab_went_blind",
       ReplyDontSend,
       "a@x.jp\tb@x.jp",
       {{"a@x.jp", "b@x.jp"}, {"a@x.jp", "b@x.jp"}}},
      {"pasted_cells_went_blind_beside_the_copy",
       ReplySendCopy,
       "a@x.jp\tb@x.jp",
       {{"a@x.jp", "b@x.jp"}, {"a@x.jp", "b@x.jp", "me@x.jp"}}},
      {"the_copy_to_oneself_was_named_in_to", ReplySendCopy, "a@x.jp", {{"a@x.jp"}, {"a@x.jp", "me@x.jp"}}},
      {"the_people_behind_the_dummy_were_named_in_to",
       ReplyToDummy,
       "a@x.jp\tb@x.jp",
       {{"d@x.jp"}, {"d@x.jp", "a@x.jp", "b@x.jp", "me@x.jp"}}},
      {"the_own_address_in_the_box_got_the_mail_twice", ReplySendCopy, "Me@X.jp", {{"Me@X.jp"}, {"Me@X.jp"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(delivery(firstMailRecipients(row.mode, false, row.box, kMe, "d@x.jp").value(), kMe), row.delivery);
  }
  // The dummy address gave an empty or blank box a To: and the mail went to the user alone.
  for (const std::string box : {"", " \t 、 ; "}) {
    EXPECT_EQ(recipientRefusal(box), mail::MailError{.kind = RecipientMissing}) << box;
  }
  EXPECT_EQ(recipientRefusal("no address"), std::nullopt);  // the library names the entry it refuses
  // The separate copy went out under the recipients' address.
  EXPECT_EQ(separateCopy({.ToList = "a@x.jp, b@x.jp", .ReplyAdr = kMe}, "").sender, kMe);
}

// The copy's prefix: PP3.dat's first field, read as a comma-delimited field, when the file is there.
TEST(SendDecisions, TheCopysPrefixIsPP3sFirstFieldOrElseTheLogText) {
  using Lines = std::optional<Strings>;
  const struct {
    const char* name;
    Lines pp3;
    std::string log, prefix;
  } rows[] = {
      {"pp3_first_field", Strings{"abc,def", "xyz"}, "ta & me", "abc"},
      {"pp3_quoted_field", Strings{"  \"[山田, copy] \",rest"}, "ta & me", "[山田, copy] "},
      {"pp3_empty", Strings{}, "ta & me", ""},
      {"no_pp3_log_off", std::nullopt, "", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(copySubjectPrefix(row.pp3, row.log), row.prefix) << row.name;
}

}  // namespace
}  // namespace parupo::test
