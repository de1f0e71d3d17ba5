#include "send/parupo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "send/fake_send_window.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::writeBytes;

std::vector<std::string> logNames(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder / "log", ec)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class ParupoTest : public ::testing::Test {
 protected:
  ParupoTest() {
    window.recipient = "ta@example.jp";
    window.subject = "件名です";
    window.body = "一行目\r\n二行目";
    window.options.smtpServer = "smtp.example.jp";
    window.options.replyTo = "me@example.jp";
    window.options.dummyAddress = "dummy@example.jp";
    window.options.quitAfterSend = false;
    window.options.replyMode = ReplyDontSend;
  }

  test::TempFolder folder;
  test::FakeMail mail;
  test::FakeDialogs dialogs;
  test::FakeClock clock;
  test::FakeSendWindow window;
  SendOperation op{mail, dialogs, clock, folder.path()};
};

TEST_F(ParupoTest, RecipientListFollowsTheReplyModeUnlessCheck1IsTicked) {
  struct Case {
    int mode;
    bool noCopy;
    std::string toList;
  };
  const std::vector<Case> cases = {
      {NoReplyMode, false, "ta@example.jp"},
      {ReplyDontSend, false, "ta@example.jp"},
      {ReplySendCopy, false, "ta@example.jp\tme@example.jp"},
      {ReplySendCopy, true, "ta@example.jp"},
      {ReplyToDummy, false, "dummy@example.jp\tta@example.jp\tme@example.jp"},
      {ReplyToDummy, true, "ta@example.jp"},
      {ReplySeparate, true, "ta@example.jp"},
      {42, false, "ta@example.jp"},  // an index outside the menu counts as none checked
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode) + (c.noCopy ? " Check1" : ""));
    mail.sends.clear();
    window.events.clear();
    window.options.replyMode = c.mode;
    window.noCopy = c.noCopy;
    op.Parupo(window);
    ASSERT_EQ(mail.sends.size(), 1u);
    const auto& s = mail.sends[0];
    EXPECT_EQ(s.server, "smtp.example.jp");
    EXPECT_EQ(s.recipients, c.toList);
    EXPECT_EQ(s.replyTo, "me@example.jp");
    EXPECT_EQ(s.subject, "件名です");
    EXPECT_EQ(s.body, "一行目\r\n二行目");
    EXPECT_EQ(s.attachment, "");
    EXPECT_EQ(op.variables().ToList, c.toList);
    EXPECT_EQ(window.events, (std::vector<std::string>{"disable", "caption:送信中", "caption:送信完了",
                                                      "enable", "recordRecipient"}));
    EXPECT_TRUE(dialogs.messages.empty());
  }
  EXPECT_FALSE(fs::exists(folder / "log"));  // the log is off
}

TEST_F(ParupoTest, DummyModeWithoutAnAddressStopsBeforeAnythingIsSent) {
  window.options.replyMode = ReplyToDummy;
  window.options.saveLog = true;
  window.options.quitAfterSend = true;
  for (const std::string dummy : {"", "dummy.example.jp"}) {
    window.events.clear();
    dialogs.messages.clear();
    window.options.dummyAddress = dummy;
    op.Parupo(window);
    EXPECT_TRUE(mail.sends.empty());
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"ダミー送信用アドレスを入力してください"});
    EXPECT_EQ(window.events, (std::vector<std::string>{"disable", "caption:送信中", "settingsPanel",
                                                      "enable", "caption:!ぱるぽ"}));
  }
  EXPECT_FALSE(fs::exists(folder / "log"));
  EXPECT_FALSE(fs::exists(folder / "error.txt"));
}

TEST_F(ParupoTest, SeparateModeSendsASecondMailWithThePrefix) {
  window.options.replyMode = ReplySeparate;
  window.options.saveLog = true;
  window.options.quitAfterSend = true;
  op.variables().TnpPath = "/tmp/a.pdf";
  op.Parupo(window);
  ASSERT_EQ(mail.sends.size(), 2u);
  EXPECT_EQ(mail.sends[0].recipients, "ta@example.jp");
  const auto& second = mail.sends[1];
  EXPECT_EQ(second.server, "smtp.example.jp");
  EXPECT_EQ(second.recipients, "me@example.jp");
  EXPECT_EQ(second.replyTo, "ta@example.jp");
  // No PP3.dat and the log on: the log's recipient text is the prefix.
  EXPECT_EQ(second.subject, "ta@example.jp & me@example.jp件名です");
  EXPECT_EQ(second.body, "一行目\r\n二行目");
  EXPECT_EQ(second.attachment, "/tmp/a.pdf");
  EXPECT_EQ(op.variables().SubjTxt, "件名です");  // the prefixed subject is not kept
  EXPECT_EQ(window.events,
            (std::vector<std::string>{"disable", "caption:送信中", "caption:返信先へ送信中",
                                      "caption:送信完了", "enable", "recordRecipient",
                                      "saveSettings", "endProgram"}));
  EXPECT_EQ(logNames(folder.path()).size(), 1u);  // no log for the second mail

  struct Case {
    bool saveLog;
    std::optional<std::string> pp3Bytes;
    std::string subject;
  };
  const std::vector<Case> cases = {
      {false, std::nullopt, "件名です"},
      {true, "abc,def\r\nxyz\r\n", "abc件名です"},
      {false, "  \"[\x8e\x52\x93\x63, copy] \",rest\r\n", "[山田, copy] 件名です"},
      {true, "", "件名です"},  // an empty PP3.dat gives no prefix
  };
  for (const Case& c : cases) {
    mail.sends.clear();
    window.options.saveLog = c.saveLog;
    fs::remove(folder / "PP3.dat");
    if (c.pp3Bytes) writeBytes(folder / "PP3.dat", *c.pp3Bytes);
    op.Parupo(window);
    ASSERT_EQ(mail.sends.size(), 2u);
    EXPECT_EQ(mail.sends[1].subject, c.subject);
  }

  // Check1 ticked: one mail only, but the log still names the reply-to address.
  fs::remove_all(folder / "log");
  mail.sends.clear();
  window.noCopy = true;
  window.options.saveLog = true;
  op.Parupo(window);
  EXPECT_EQ(mail.sends.size(), 1u);
  const auto names = logNames(folder.path());
  ASSERT_EQ(names.size(), 1u);
  EXPECT_NE(readBytes(folder / "log" / names[0]).find("ta@example.jp & me@example.jp\r\n"),
            std::string::npos);
}

TEST_F(ParupoTest, AFailedFirstMailReportsAndKeepsTheProgramRunning) {
  window.options.replyMode = ReplySeparate;
  window.options.saveLog = true;
  window.options.quitAfterSend = true;
  window.body = "";
  mail.sendResults = {"550 ユーザーがいません"};
  op.Parupo(window);
  EXPECT_EQ(mail.sends.size(), 1u);
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"550 ユーザーがいません\r\nエラーが発生しました\r\n"
                                                       "設定を確認してください。"});
  EXPECT_EQ(window.caption, "送信エラー");
  EXPECT_TRUE(window.sendEnabled);
  EXPECT_EQ(window.count("recordRecipient"), 0);
  EXPECT_EQ(window.count("saveSettings"), 0);
  EXPECT_EQ(window.count("endProgram"), 0);
  EXPECT_EQ(op.variables().SendRet, "550 ユーザーがいません");
  // The message log exists for the failed mail; error.txt begins with the error text
  // and an empty line, and names the recipient list without the " & " part.
  EXPECT_EQ(logNames(folder.path()).size(), 1u);
  EXPECT_EQ(readBytes(folder / "error.txt"),
            "550 \x83\x86\x81\x5b\x83\x55\x81\x5b\x82\xaa\x82\xa2\x82\xdc\x82\xb9\x82\xf1\r\n\r\n"
            "\x88\xb6\x90\xe6 : ta@example.jp\r\n"
            "\x95\xd4\x90\x4d : me@example.jp\r\n"
            "\x8c\x8f\x96\xbc : \x8c\x8f\x96\xbc\x82\xc5\x82\xb7\r\n"
            "\x96\x7b\x95\xb6 : \r\n\r\n\r\n"
            "\x93\x59\x95\x74 : \r\n");

  // A later failure replaces error.txt.
  mail.sendResults = {"second"};
  op.Parupo(window);
  EXPECT_EQ(readBytes(folder / "error.txt").substr(0, 10), "second\r\n\r\n");
}

TEST_F(ParupoTest, AFailedSecondMailReportsAfterTheFirstWentOut) {
  window.options.replyMode = ReplySeparate;
  window.options.quitAfterSend = true;
  writeBytes(folder / "PP3.dat", "Copy: \r\n");
  mail.sendResults = {"", "421 busy"};
  op.Parupo(window);
  EXPECT_EQ(mail.sends.size(), 2u);
  EXPECT_EQ(window.captions,
            (std::vector<std::string>{"送信中", "返信先へ送信中", "送信エラー"}));
  EXPECT_EQ(window.count("recordRecipient"), 0);
  EXPECT_EQ(window.count("endProgram"), 0);
  EXPECT_TRUE(window.sendEnabled);
  const std::string error = readBytes(folder / "error.txt");
  EXPECT_EQ(error.substr(0, 12), "421 busy\r\n\r\n");
  // The recipient list of the first mail, and the subject without the prefix.
  EXPECT_NE(error.find(" : ta@example.jp\r\n"), std::string::npos);
  EXPECT_NE(error.find(" : \x8c\x8f\x96\xbc\x82\xc5\x82\xb7\r\n"), std::string::npos);
}

TEST_F(ParupoTest, AThrowingMailLibraryCountsAsAFailedSend) {
  struct ThrowingMail : test::FakeMail {
    std::string SendMail(std::string&, std::string&, std::string&, std::string&, std::string&,
                         std::string&) override {
      throw std::runtime_error("boom");
    }
  } throwing;
  SendOperation throwingOp{throwing, dialogs, clock, folder.path()};
  throwingOp.Parupo(window);
  EXPECT_EQ(window.caption, "送信エラー");
  EXPECT_TRUE(window.sendEnabled);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find("boom"), std::string::npos);
}

TEST_F(ParupoTest, DateSubjectAttachmentAndLogOfEachSend) {
  window.options.subjectIsDate = true;
  window.options.saveLog = true;
  op.variables().TnpPath = "/data/添付.txt";
  op.Parupo(window);
  op.Parupo(window);  // the same second: the first log stays
  clock.time.second = 10;
  op.Parupo(window);

  EXPECT_EQ(window.subject, "03/07 14:05");
  ASSERT_EQ(mail.sends.size(), 3u);
  for (const auto& s : mail.sends) {
    EXPECT_EQ(s.subject, "03/07 14:05");
    EXPECT_EQ(s.attachment, "/data/添付.txt");  // a chosen attachment goes with every send
  }
  EXPECT_EQ(logNames(folder.path()),
            (std::vector<std::string>{"20260307-1405-09.txt", "20260307-1405-09_002.txt",
                                      "20260307-1405-10.txt"}));
  EXPECT_EQ(readBytes(folder / "log" / "20260307-1405-09.txt"),
            "\r\n"
            "\x88\xb6\x90\xe6 : ta@example.jp\r\n"
            "\x95\xd4\x90\x4d : me@example.jp\r\n"
            "\x8c\x8f\x96\xbc : 03/07 14:05\r\n"
            "\x96\x7b\x95\xb6 : \r\n"
            "\x88\xea\x8d\x73\x96\xda\r\n\x93\xf1\x8d\x73\x96\xda\r\n\r\n"
            "\x93\x59\x95\x74 : /data/\x93\x59\x95\x74.txt\r\n");
}

TEST_F(ParupoTest, ALogThatCannotBeWrittenIsToldAfterTheSendWhoseOutcomeStands) {
  window.options.saveLog = true;
  window.options.quitAfterSend = true;
  writeBytes(folder / "log", "a file where the log folder should be");
  op.Parupo(window);
  EXPECT_EQ(mail.sends.size(), 1u);
  EXPECT_EQ(window.events,
            (std::vector<std::string>{"disable", "caption:送信中", "caption:送信完了", "enable",
                                      "recordRecipient", "saveSettings", "endProgram"}));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find("送信記録"), std::string::npos);

  // A failing send whose error.txt cannot be written either: the error box first, then
  // one box naming both files; the caption still tells the failure.
  dialogs.messages.clear();
  window.events.clear();
  fs::create_directory(folder / "error.txt");
  mail.sendResults = {"refused"};
  op.Parupo(window);
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].substr(0, 9), "refused\r\n");
  EXPECT_NE(dialogs.messages[1].find("送信記録"), std::string::npos);
  EXPECT_NE(dialogs.messages[1].find("error.txt"), std::string::npos);
  EXPECT_EQ(window.caption, "送信エラー");
  EXPECT_TRUE(window.sendEnabled);
  EXPECT_EQ(window.count("endProgram"), 0);
}

}  // namespace
}  // namespace parupo
