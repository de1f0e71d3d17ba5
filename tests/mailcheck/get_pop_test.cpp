#include "mailcheck/get_pop.h"

#include <stdexcept>

#include "send/send_fixture.h"

namespace parupo::test {
namespace {

using GetPOPTest = SendFixture;

TEST_F(GetPOPTest, ChecksTheMailboxFirstWhenAskedAndNeverStopsTheSend) {
  window.options.popServer = " pop.example.jp:110";
  window.options.popUser = "user ";
  window.options.popPassword = "p@ss,word";
  run(ReplyDontSend, false, false);
  EXPECT_EQ(mail.eventLog, Events{"SendMail"});

  window.options.receiveFirst = true;
  run(ReplyDontSend, false, false);
  EXPECT_EQ(mail.eventLog, (Events{"RcvMail", "SendMail"}));
  const auto& r = mail.receives.at(0);
  EXPECT_EQ((Events{r.server, r.user, r.password, r.command, r.folder}),
            (Events{" pop.example.jp:110", "user ", "p@ss,word", "STAT", folder.path()}));
  const Events sent = {"disable", "caption:受信チェック中", "caption:送信中", "caption:送信完了", "enable", "recordRecipient"};
  EXPECT_EQ(window.events, sent);

  struct ThrowingPop : FakeMail {
    std::string RcvMail(std::string&, std::string&, std::string&, std::string&, std::string&) override {
      throw std::runtime_error("no server");
    }
  } throwing;
  window.events.clear();
  SendOperation{throwing, dialogs, clock, folder.path()}.Parupo(window);
  EXPECT_EQ(throwing.sends.size(), 1u);
  EXPECT_EQ(window.events, sent);
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace parupo::test
