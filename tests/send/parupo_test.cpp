#include "send/parupo.h"

#include <optional>
#include <stdexcept>

#include "send/send_fixture.h"

namespace parupo::test {
namespace {

namespace fs = std::filesystem;
using ParupoTest = SendFixture;
const Events kSent = {"disable", "caption:送信中", "caption:送信完了", "enable", "recordRecipient"};
const Events kFailed = {"disable", "caption:送信中", "caption:送信エラー", "enable"};

Events fields(const SendMailCall& s) { return {s.server, s.recipients, s.replyTo, s.subject, s.body, s.attachment}; }

TEST_F(ParupoTest, RecipientListFollowsTheReplyModeUnlessCheck1IsTicked) {
  const std::string dummy = "dummy@example.jp";
  const struct { int mode; bool noCopy; std::string dummy, toList; } cases[] = {
      {NoReplyMode, false, dummy, "ta@example.jp"},
      {ReplyDontSend, false, dummy, "ta@example.jp"},
      {ReplySendCopy, false, dummy, "ta@example.jp\tme@example.jp"},
      {ReplySendCopy, true, dummy, "ta@example.jp"},
      {ReplyToDummy, false, dummy, "dummy@example.jp\tta@example.jp\tme@example.jp"},
      {ReplyToDummy, true, "", "ta@example.jp"},
      {ReplyToDummy, false, "", ""},  // "" : stopped before anything is sent
      {ReplyToDummy, false, "dummy.example.jp", ""},
      {ReplySeparate, true, dummy, "ta@example.jp"},
      {42, false, dummy, "ta@example.jp"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.toList);
    window.noCopy = c.noCopy;
    window.options.dummyAddress = c.dummy;
    run(c.mode, true, false);
    if (c.toList.empty()) {
      EXPECT_TRUE(mail.sends.empty());
      EXPECT_EQ(dialogs.messages, Events{"ダミー送信用アドレスを入力してください"});
      EXPECT_EQ(window.events, (Events{"disable", "caption:送信中", "settingsPanel", "enable", "caption:!ぱるぽ"}));
      continue;
    }
    ASSERT_EQ(mail.sends.size(), 1u);
    EXPECT_EQ(fields(mail.sends[0]),
              (Events{"smtp.example.jp", c.toList, "me@example.jp", "件名です", "一行目\r\n二行目", ""}));
    EXPECT_EQ(window.events, kSent);
    EXPECT_TRUE(dialogs.messages.empty());
  }
  EXPECT_EQ(logNames().size(), 8u);
  EXPECT_FALSE(std::filesystem::exists(folder / "error.txt"));
}

TEST_F(ParupoTest, SeparateModeSendsASecondMailWithThePrefixAndQuits) {
  op.variables().TnpPath = "/tmp/a.pdf";
  const struct { bool saveLog; std::optional<std::string> pp3; std::string subject; } cases[] = {
      {true, std::nullopt, "ta@example.jp & me@example.jp件名です"},
      {false, std::nullopt, "件名です"},
      {true, "abc,def\r\nxyz\r\n", "abc件名です"},
      {false, "  \"[\x8e\x52\x93\x63, copy] \",rest\r\n", "[山田, copy] 件名です"},
      {true, "", "件名です"},
  };
  for (const auto& c : cases) {
    fs::remove(folder / "PP3.dat");
    if (c.pp3) writeBytes(folder / "PP3.dat", *c.pp3);
    run(ReplySeparate, c.saveLog, true);
    ASSERT_EQ(mail.sends.size(), 2u);
    EXPECT_EQ(fields(mail.sends[1]), (Events{"smtp.example.jp", "me@example.jp", "ta@example.jp", c.subject,
                                             "一行目\r\n二行目", "/tmp/a.pdf"}));
  }
  EXPECT_EQ(op.variables().SubjTxt, "件名です");
  EXPECT_EQ(window.events, (Events{"disable", "caption:送信中", "caption:返信先へ送信中", "caption:送信完了",
                                   "enable", "recordRecipient", "saveSettings", "endProgram"}));
  EXPECT_EQ(logNames().size(), 3u);  // one per send, none for the second mail
}

TEST_F(ParupoTest, AFailedMailIsReportedAndNothingIsLost) {
  window.body = "";
  mail.sendResults = {"550 ユーザーがいません"};
  run(ReplySeparate, true, true);
  EXPECT_EQ(mail.sends.size(), 1u);
  EXPECT_EQ(dialogs.messages, Events{"550 ユーザーがいません\r\nエラーが発生しました\r\n設定を確認してください。"});
  EXPECT_EQ(window.events, kFailed);
  EXPECT_EQ(logNames().size(), 1u);
  EXPECT_EQ(readBytes(folder / "error.txt"),
            "550 \x83\x86\x81\x5b\x83\x55\x81\x5b\x82\xaa\x82\xa2\x82\xdc\x82\xb9\x82\xf1\r\n\r\n"
            "\x88\xb6\x90\xe6 : ta@example.jp\r\n\x95\xd4\x90\x4d : me@example.jp\r\n"
            "\x8c\x8f\x96\xbc : \x8c\x8f\x96\xbc\x82\xc5\x82\xb7\r\n\x96\x7b\x95\xb6 : \r\n\r\n\r\n"
            "\x93\x59\x95\x74 : \r\n");

  // The second mail fails after the first went out: error.txt is replaced, no prefix.
  writeBytes(folder / "PP3.dat", "Copy: \r\n");
  mail.sendResults = {"", "421 busy"};
  run(ReplySeparate, false, true);
  EXPECT_EQ(mail.sends.size(), 2u);
  EXPECT_EQ(window.events, (Events{"disable", "caption:送信中", "caption:返信先へ送信中", "caption:送信エラー", "enable"}));
  const std::string error = readBytes(folder / "error.txt");
  EXPECT_EQ(error.substr(0, 12), "421 busy\r\n\r\n");
  EXPECT_NE(error.find(" : \x8c\x8f\x96\xbc\x82\xc5\x82\xb7\r\n"), std::string::npos);

  // A library that throws counts as a failed send and the button comes back.
  struct ThrowingMail : FakeMail {
    std::string SendMail(std::string&, std::string&, std::string&, std::string&, std::string&,
                         std::string&) override { throw std::runtime_error("boom"); }
  } throwing;
  window.events.clear();
  SendOperation{throwing, dialogs, clock, folder.path()}.Parupo(window);
  EXPECT_EQ(window.events, kFailed);
  EXPECT_NE(dialogs.messages.back().find("boom"), std::string::npos);
}

TEST_F(ParupoTest, DateSubjectAndOneLogPerSendEvenWithinASecond) {
  window.options.subjectIsDate = true;
  window.body = "一行目\n二行目\r\n";
  op.variables().TnpPath = "/data/添付.txt";
  run(ReplyDontSend, true, false);
  run(ReplyDontSend, true, false);
  clock.time.second = 10;
  run(ReplyDontSend, true, false);
  EXPECT_EQ(mail.sends[0].subject, "03/07 14:05");
  EXPECT_EQ(mail.sends[0].attachment, "/data/添付.txt");
  EXPECT_EQ(logNames(), (Events{"20260307-1405-09.txt", "20260307-1405-09_002.txt", "20260307-1405-10.txt"}));
  EXPECT_EQ(readBytes(folder / "log" / "20260307-1405-09.txt"),
            "\r\n\x88\xb6\x90\xe6 : ta@example.jp\r\n\x95\xd4\x90\x4d : me@example.jp\r\n"
            "\x8c\x8f\x96\xbc : 03/07 14:05\r\n\x96\x7b\x95\xb6 : \r\n"
            "\x88\xea\x8d\x73\x96\xda\r\n\x93\xf1\x8d\x73\x96\xda\r\n\r\n\r\n"
            "\x93\x59\x95\x74 : /data/\x93\x59\x95\x74.txt\r\n");
}

TEST_F(ParupoTest, AnUnwritableLogIsToldAfterTheSendWhoseOutcomeStands) {
  writeBytes(folder / "log", "a file where the log folder should be");
  run(ReplyDontSend, true, true);
  EXPECT_EQ(window.events, (Events{"disable", "caption:送信中", "caption:送信完了", "enable",
                                   "recordRecipient", "saveSettings", "endProgram"}));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find("送信記録"), std::string::npos);
}

}  // namespace
}  // namespace parupo::test
