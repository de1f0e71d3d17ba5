// mailto: links as browsers and xdg-email hand them over: the examples of RFC 6068 and
// links made to harm.
#include <gtest/gtest.h>

#include <string>

#include "send/mailto_link.h"

namespace parupo {
namespace {

struct Row {
  const char* name;
  std::string link;
  std::string recipients;
  std::optional<std::string> subject = std::nullopt;
  std::optional<std::string> body = std::nullopt;
};

class MailtoRows : public testing::TestWithParam<Row> {};

std::string rowName(const testing::TestParamInfo<Row>& info) { return info.param.name; }

TEST_P(MailtoRows, FillsTheBoxes) {
  const Row& row = GetParam();
  const std::optional<MailtoLink> link = readMailtoLink(row.link);
  ASSERT_TRUE(link.has_value());
  EXPECT_EQ(link->recipients, row.recipients);
  EXPECT_EQ(link->subject, row.subject);
  EXPECT_EQ(link->body, row.body);
  EXPECT_FALSE(link->bodyCut);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rfc6068, MailtoRows, testing::Values(
    Row{"plain", "mailto:chris@example.com", "chris@example.com"},
    Row{"subject", "mailto:infobot@example.com?subject=current-issue", "infobot@example.com", "current-issue"},
    Row{"body_lines", "mailto:infobot@example.com?body=send%20current-issue%0D%0Asend%20index",
        "infobot@example.com", std::nullopt, "send current-issue\r\nsend index"},
    Row{"other_header_ignored", "mailto:list@example.org?In-Reply-To=%3C3469A91.D10AF4C@example.com%3E",
        "list@example.org"},
    Row{"cc_added", "mailto:joe@example.com?cc=bob@example.com&body=hello", "joe@example.com, bob@example.com",
        std::nullopt, "hello"},
    Row{"escaped_percent", "mailto:gorby%25kremvax@example.com", "gorby%kremvax@example.com"},
    Row{"escaped_question_mark", "mailto:unlikely%3Faddress@example.com?blat=foop", "unlikely?address@example.com"},
    Row{"quoted_local_part", "mailto:%22not%40me%22@example.org", "\"not@me\"@example.org"},
    Row{"utf8_subject", "mailto:user@example.org?subject=caf%C3%A9", "user@example.org", "café"},
    Row{"broken_utf8_replaced", "mailto:user@example.org?subject=%FEx", "user@example.org", "\xEF\xBF\xBDx"},
    Row{"idn_domain", "mailto:user@%E7%B4%8D%E8%B1%86.example.org?subject=Test&body=NATTO",
        "user@納豆.example.org", "Test", "NATTO"},
    Row{"to_field_only", "mailto:?to=addr1@an.example,addr2@an.example", "addr1@an.example, addr2@an.example"},
    Row{"path_and_to", "mailto:addr1@an.example?to=addr2@an.example", "addr1@an.example, addr2@an.example"},
    Row{"japanese", "MAILTO:hanako@example.jp?subject=%E4%BB%B6%E5%90%8D&body=%E6%9C%AC%E6%96%87",
        "hanako@example.jp", "件名", "本文"},
    Row{"plus_stays_plus", "mailto:a+b@example.jp?subject=1+1", "a+b@example.jp", "1+1"}), rowName);

// Links made to harm fill nothing that could: no line break in a one-line box, no blind
// copy, no attachment, nothing decoded twice.
INSTANTIATE_TEST_SUITE_P(Hostile, MailtoRows, testing::Values(
    Row{"bcc_and_attach_ignored", "mailto:a@example.jp?bcc=spy@example.jp&attach=/etc/passwd&attachment=~/.ssh/id_rsa",
        "a@example.jp"},
    Row{"crlf_in_subject", "mailto:a@example.jp?subject=x%0D%0ABcc:%20spy@example.jp", "a@example.jp",
        "x  Bcc: spy@example.jp"},
    Row{"crlf_in_address", "mailto:a@example.jp%0D%0ARCPT%20TO:spy@example.jp", "a@example.jp  RCPT TO:spy@example.jp"},
    Row{"nul_and_escape_in_body", "mailto:a@example.jp?body=a%00b%1Bc%09d", "a@example.jp", std::nullopt,
        "a b c\td"},
    Row{"broken_escapes_stay", "mailto:a@example.jp?subject=%G1%4%", "a@example.jp", "%G1%4%"},
    Row{"decoded_once", "mailto:a@example.jp?subject=%2541", "a@example.jp", "%41"},
    Row{"first_subject_counts", "mailto:a@example.jp?subject=one&subject=two", "a@example.jp", "one"},
    Row{"lone_line_feeds", "mailto:a@example.jp?body=1%0A2%0D3", "a@example.jp", std::nullopt, "1\r\n2\r\n3"}),
    rowName);
// clang-format on

TEST(MailtoLink, OnlyMailtoLinksAreRead) {
  EXPECT_FALSE(readMailtoLink("http://example.jp/").has_value());
  EXPECT_FALSE(readMailtoLink("mailto").has_value());
  EXPECT_TRUE(isMailtoLink("MailTo:x@example.jp"));
}

TEST(MailtoLink, AVeryLongBodyIsCutAtTheLimitAndSaysSo) {
  std::string link = "mailto:a@example.jp?body=";
  for (int i = 0; i < 1'000'000 / 9; ++i) link += "%E3%81%82";  // あ, about a megabyte
  const std::optional<MailtoLink> read = readMailtoLink(link);
  ASSERT_TRUE(read.has_value());
  EXPECT_TRUE(read->bodyCut);
  EXPECT_EQ(read->body->size(), kLinkBodyLimit * 3);
}

}  // namespace
}  // namespace parupo
