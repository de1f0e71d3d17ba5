#include "mailapi/mail_address.h"

#include <gtest/gtest.h>

namespace parupo::mail {
namespace {

TEST(MailAddress, OnlyBareAddressesThatCannotCarryCommandsPass) {
  EXPECT_TRUE(isValidAddress("a@b"));
  EXPECT_TRUE(isValidAddress("taro.yamada+tag@mail.example.jp"));
  EXPECT_TRUE(isValidAddress("o'neil@example.com"));
  for (const char* bad :
       {"", "@example.jp", "taro@", "taro", "a@b@c", "a b@c", "a@b\r\nRCPT TO:<evil@x>",
        "a@b\n", "<a@b>", "Taro <a@b>", "a@b,c@d", "a@b;c@d", "\"a\"@b", "a@[1.2.3.4]",
        "a(b)@c", "a\\b@c", "a:b@c", "tarō@example.jp", "a\x7f@b"}) {
    EXPECT_FALSE(isValidAddress(bad)) << bad;
  }
  EXPECT_FALSE(isValidAddress(std::string(250, 'a') + "@b.jp"));
}

TEST(MailAddress, RecipientListDropsBlanksAndEmptyEntries) {
  EXPECT_EQ(splitRecipients("a@b"), std::vector<std::string>{"a@b"});
  EXPECT_EQ(splitRecipients(" a@b \t　c@d　\t\t"), (std::vector<std::string>{"a@b", "c@d"}));
  EXPECT_TRUE(splitRecipients("\t \t").empty());
  EXPECT_TRUE(splitRecipients("").empty());
}

TEST(MailAddress, PrintableQuotesUserTextSafely) {
  EXPECT_EQ(printable("a\r\nb\tc"), "a??b?c");
  EXPECT_EQ(printable("宛先"), "宛先");
  std::string cut = printable(std::string(100, 'x') + "あいう", 102);
  EXPECT_EQ(cut, std::string(100, 'x') + "…");
  EXPECT_EQ(printable("\xff"), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace parupo::mail
