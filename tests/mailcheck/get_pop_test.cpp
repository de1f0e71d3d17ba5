#include "mailcheck/get_pop.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "send/fake_send_window.h"
#include "send/parupo.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

TEST(GetPOP, ChecksTheMailboxBeforeTheSendWhenAsked) {
  test::TempFolder folder;
  test::FakeMail mail;
  test::FakeDialogs dialogs;
  test::FakeClock clock;
  test::FakeSendWindow window;
  window.recipient = "ta@example.jp";
  window.options.quitAfterSend = false;
  SendOperation op{mail, dialogs, clock, folder.path() / ""};  // a trailing separator too

  op.Parupo(window);
  EXPECT_EQ(mail.eventLog, std::vector<std::string>{"SendMail"});

  mail.eventLog.clear();
  window.captions.clear();
  window.options.receiveFirst = true;
  op.Parupo(window);
  EXPECT_EQ(mail.eventLog, (std::vector<std::string>{"RcvMail", "SendMail"}));
  ASSERT_EQ(mail.receives.size(), 1u);
  const auto& r = mail.receives[0];
  EXPECT_EQ(r.server, "");
  EXPECT_EQ(r.user, "");
  EXPECT_EQ(r.password, "");
  EXPECT_EQ(r.command, "STAT");
  EXPECT_EQ(r.folder, folder.path().string());
  EXPECT_EQ(window.captions, (std::vector<std::string>{"受信チェック中", "送信中", "送信完了"}));

  // The fields go as they stand, blanks included.
  window.options.popServer = " pop.example.jp:110";
  window.options.popUser = "user ";
  window.options.popPassword = "p@ss,word";
  GetPOP(window, mail, "/");
  EXPECT_EQ(mail.receives.back().server, " pop.example.jp:110");
  EXPECT_EQ(mail.receives.back().user, "user ");
  EXPECT_EQ(mail.receives.back().password, "p@ss,word");
  EXPECT_EQ(mail.receives.back().folder, "/");
}

TEST(GetPOP, AFailingCheckNeverStopsTheSend) {
  struct ThrowingPop : test::FakeMail {
    std::string RcvMail(std::string&, std::string&, std::string&, std::string&,
                        std::string&) override {
      throw std::runtime_error("no server");
    }
  } mail;
  test::TempFolder folder;
  test::FakeDialogs dialogs;
  test::FakeClock clock;
  test::FakeSendWindow window;
  window.options.receiveFirst = true;
  window.options.quitAfterSend = false;
  SendOperation op{mail, dialogs, clock, folder.path()};
  EXPECT_NO_THROW(op.Parupo(window));
  EXPECT_EQ(mail.sends.size(), 1u);
  EXPECT_EQ(window.caption, "送信完了");
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace parupo
