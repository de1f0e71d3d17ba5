#include "send/parupo.h"

#include "send/message_log.h"
#include "mailapi/tls_trust.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "support/fakes.h"
#include "support/temp_folder.h"

namespace parupo::test {
namespace {

using Events = std::vector<std::string>;
using S = std::string&;

struct FakeSendWindow : SendWindow {
  std::string recipient = "ta@example.jp", subject = "件名です", body = "一行目\r\n二行目";
  bool noCopy = false;
  Settings options{.smtpServer = "smtp.example.jp", .replyTo = "me@example.jp", .specificAddress = {},
                   .dummyAddress = "dummy@example.jp", .popServer = " pop.example.jp:110", .popUser = "user ", .popPassword = "p@ss,word"};
  Events events;  // "disable", "enable", "caption:...", and the calls below
  std::string recipientText() const override { return recipient; }
  std::string subjectText() const override { return subject; }
  void setSubjectText(const std::string& text) override { subject = text; }
  std::string bodyText() const override { return body; }
  bool noCopyChecked() const override { return noCopy; }
  Settings settings() const override { return options; }
  void setCaption(const std::string& text) override { events.push_back("caption:" + text); }
  void setSendEnabled(bool on) override { events.push_back(on ? "enable" : "disable"); }
  void openSettingsPanel() override { events.push_back("settingsPanel"); }
  void recordRecipient() override { events.push_back("recordRecipient"); }
  void endProgram() override { events.push_back("endProgram"); }
};

struct SendFixture : ::testing::Test {
  SendOutcome run(int mode, bool saveLog, bool quit) {  // one send, after forgetting what earlier sends recorded
    window.options.checkedReplyMode = mode, window.options.saveLog = saveLog, window.options.quitAfterSend = quit;
    window.events = mail.eventLog = dialogs.messages = {}, mail.sends.clear();
    return op.Parupo(window);
  }
  Events logNames() const {
    Events names;
    for (const auto& e : std::filesystem::directory_iterator(folder / "log")) names.push_back(e.path().filename());
    std::ranges::sort(names);
    return names;
  }
  TempFolder folder;
  FakeMail mail;
  FakeDialogs dialogs;
  FakeClock clock;
  FakeSendWindow window;
  SendOperation op{mail, dialogs, clock, folder.path() / ""};  // a trailing separator too
};

const Events kSent = {"disable", "caption:送信中", "caption:送信完了", "enable", "recordRecipient"};
const Events kFailed = {"disable", "caption:送信中", "caption:送信エラー", "enable"};
const Events kNoDummy = {"disable", "caption:送信中", "settingsPanel", "enable", "caption:!ぱるぽ"};

Events fields(const SendMailCall& s) { return {s.server, s.recipients, s.replyTo, s.subject, s.body, s.attachment, s.sender}; }

TEST_F(SendFixture, RecipientListFollowsTheReplyModeUnlessCheck1IsTicked) {
  const struct { int mode; bool noCopy; std::string dummy, toList; } cases[] = {
      {ReplySendCopy, false, "dummy@example.jp", "ta@example.jp\tme@example.jp"},
      {ReplyToDummy, true, "", "ta@example.jp"},
      {ReplyToDummy, false, "", ""},  // "": stopped before anything is sent
      {ReplyToDummy, false, "dummy.example.jp", ""},
      {ReplySeparate, true, "dummy@example.jp", "ta@example.jp"},
  };
  for (const auto& c : cases) {
    window.noCopy = c.noCopy, window.options.dummyAddress = c.dummy;
    const SendOutcome outcome = run(c.mode, false, false);
    const bool stopped = c.toList.empty();
    EXPECT_EQ(outcome, stopped ? SendOutcome::NotSent : SendOutcome::Sent);
    EXPECT_EQ(window.events, stopped ? kNoDummy : kSent);
    EXPECT_EQ(dialogs.messages, stopped ? Events{"ダミー送信用アドレスを入力してください"} : Events{});
    EXPECT_EQ(mail.sends.size(), stopped ? 0u : 1u);
    for (const auto& sent : mail.sends)
      EXPECT_EQ(fields(sent), (Events{"smtp.example.jp", c.toList, "me@example.jp", "件名です", "一行目\r\n二行目", "", ""}));
  }
}

TEST_F(SendFixture, SeparateModeSendsASecondMailWithThePrefixAndQuits) {
  op.variables().TnpPath = "/tmp/a.pdf";
  const struct { bool saveLog; const char* pp3; std::string subject; } cases[] = {
      {true, nullptr, "ta@example.jp & me@example.jp件名です"},
      {false, nullptr, "件名です"},
      {false, "  \"[\x8e\x52\x93\x63, copy] \",rest\r\nxyz\r\n", "[山田, copy] 件名です"},
      {true, "", "件名です"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(folder / "PP3.dat");
    if (c.pp3) writeBytes(folder / "PP3.dat", c.pp3);
    run(ReplySeparate, c.saveLog, true);
    EXPECT_EQ(fields(mail.sends.at(1)), (Events{"smtp.example.jp", "me@example.jp", "ta@example.jp", c.subject, "一行目\r\n二行目", "/tmp/a.pdf",
                                            "me@example.jp"}));  // the copy goes out under the user's address
  }
  EXPECT_EQ(window.events, (Events{"disable", "caption:送信中", "caption:返信先へ送信中", "caption:送信完了", "enable",
                                   "recordRecipient", "endProgram"}));
  EXPECT_EQ(logNames().size(), 2u);  // one per send, none for the second mail
}

TEST_F(SendFixture, AFailedMailIsReportedAndNothingIsLost) {
  window.body = "";
  mail.sendResults = {"550 ユーザーがいません"};
  EXPECT_EQ(run(ReplySeparate, true, true), SendOutcome::Failed);
  EXPECT_EQ(dialogs.messages, Events{"550 ユーザーがいません\r\nエラーが発生しました\r\n設定を確認してください。"});
  EXPECT_EQ(window.events, kFailed);
  EXPECT_EQ(logNames().size(), 1u);
  EXPECT_EQ(readBytes(folder / "error.txt"),
            "550 \x83\x86\x81\x5b\x83\x55\x81\x5b\x82\xaa\x82\xa2\x82\xdc\x82\xb9\x82\xf1\r\n\r\n\x88\xb6\x90\xe6 : ta@example.jp\r\n"
            "\x95\xd4\x90\x4d : me@example.jp\r\n\x8c\x8f\x96\xbc : \x8c\x8f\x96\xbc\x82\xc5\x82\xb7\r\n\x96\x7b\x95\xb6 : \r\n\r\n\r\n\x93\x59\x95\x74 : \r\n");
  // The second mail fails after the first went out: error.txt is replaced.
  writeBytes(folder / "PP3.dat", "Copy: \r\n");
  mail.sendResults = {"", "421 busy"};
  EXPECT_EQ(run(ReplySeparate, false, true), SendOutcome::Failed);
  EXPECT_EQ(window.events, (Events{"disable", "caption:送信中", "caption:返信先へ送信中", "caption:送信エラー", "enable"}));
  EXPECT_EQ(readBytes(folder / "error.txt").substr(0, 12), "421 busy\r\n\r\n");
  struct : FakeMail { std::string SendMail(S, S, S, S, S, S, const std::string&) override { throw std::runtime_error("boom"); } } throwing;
  window.events.clear(), SendOperation{throwing, dialogs, clock, folder.path()}.Parupo(window);
  EXPECT_EQ(window.events, kFailed);
  EXPECT_NE(dialogs.messages.back().find("boom"), std::string::npos);
}

TEST_F(SendFixture, DateSubjectOneLogPerSendEvenWithinASecondAndAnUnwritableLogIsToldAfterTheSend) {
  window.options.subjectIsDate = true;
  window.body = "一行目\n二行目\r\n";
  op.variables().TnpPath = "/data/添付.txt";
  for (int second : {9, 9, 10}) clock.time.second = second, run(ReplyDontSend, true, false);
  EXPECT_EQ(logNames(), (Events{"20260307-1405-09.txt", "20260307-1405-09_002.txt", "20260307-1405-10.txt"}));
  EXPECT_EQ(readBytes(folder / "log" / "20260307-1405-09.txt"),
            "\r\n\x88\xb6\x90\xe6 : ta@example.jp\r\n\x95\xd4\x90\x4d : me@example.jp\r\n\x8c\x8f\x96\xbc : 03/07 14:05\r\n"
            "\x96\x7b\x95\xb6 : \r\n\x88\xea\x8d\x73\x96\xda\r\n\x93\xf1\x8d\x73\x96\xda\r\n\r\n\r\n\x93\x59\x95\x74 : /data/\x93\x59\x95\x74.txt\r\n");
  // The send's outcome stands; the failed log is told in one box.
  std::filesystem::remove_all(folder / "log");
  writeBytes(folder / "log", "a file where the log folder should be");
  run(ReplyDontSend, true, true);
  EXPECT_EQ(window.events, (Events{"disable", "caption:送信中", "caption:送信完了", "enable", "recordRecipient", "endProgram"}));
  EXPECT_NE(dialogs.messages.at(0).find("送信記録"), std::string::npos);
}

TEST(MessageLogName, AFolderThatCannotBeLookedIntoSaysWhyNotThatTheNamesAreTaken) {
  TempFolder folder;
  std::filesystem::create_symlink("loop", folder / "loop");
  std::filesystem::create_symlink("nowhere", folder / "20260307-1405-09.txt");  // a broken link still takes the name
  std::error_code error = std::make_error_code(std::errc::io_error);
  EXPECT_EQ(newMessageLogPath(folder.path(), FakeClock{}.time, error).filename(), "20260307-1405-09_002.txt");
  EXPECT_FALSE(error);
  EXPECT_TRUE(newMessageLogPath(folder / "loop", FakeClock{}.time, error).empty());
  EXPECT_EQ(error, std::errc::too_many_symbolic_link_levels);
}

TEST_F(SendFixture, GetPOPChecksTheMailboxFirstWhenAskedAndNeverStopsTheSend) {
  window.options.receiveFirst = true;
  run(ReplyDontSend, false, false);
  EXPECT_EQ(mail.eventLog, (Events{"RcvMail", "SendMail"}));
  const Events sent = {"disable", "caption:受信チェック中", "caption:送信中", "caption:送信完了", "enable", "recordRecipient"};
  EXPECT_EQ(window.events, sent);
  const auto& r = mail.receives.at(0);
  EXPECT_EQ((Events{r.server, r.user, r.password, r.command, r.folder}), (Events{" pop.example.jp:110", "user ", "p@ss,word", "STAT", folder.path()}));
  struct : FakeMail { std::string RcvMail(S, S, S, S, S) override { throw 1; } } throwing;
  window.events.clear(), SendOperation{throwing, dialogs, clock, folder.path()}.Parupo(window);
  EXPECT_EQ(window.events, sent);  // a failed check is silent
  EXPECT_TRUE(dialogs.messages.empty());
  // A check skipped to keep the password from going in clear is told, once per run.
  struct : FakeMail { std::string RcvMail(S, S, S, S, S) override { return std::string(mail::kPopCheckSkippedText); } } skipped;
  SendOperation op2{skipped, dialogs, clock, folder.path()};
  for (int i = 0; i < 2; ++i) EXPECT_EQ(op2.Parupo(window), SendOutcome::Sent) << i;
  EXPECT_EQ(dialogs.messages, Events{std::string(mail::kPopCheckSkippedText)});
}

}  // namespace
}  // namespace parupo::test
