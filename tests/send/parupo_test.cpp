#include "send/parupo.h"

#include "send/message_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <stdexcept>

#include "mailapi/mail_error.h"
#include "support/fake_main_window.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace parupo::test {
namespace {

using Events = std::vector<std::string>;
using mail::MailError;
using enum mail::MailErrorKind;

struct SendFixture : ::testing::Test {
  SendFixture() {
    window.to = "ta@example.jp", window.subj = "件名です", window.text = "一行目\r\n二行目";
    window.options = {.smtpServer = "smtp.example.jp",
                      .replyTo = "me@example.jp",
                      .dummyAddress = "dummy@example.jp",
                      .popServer = " pop.example.jp:110",
                      .popUser = "user ",
                      .popPassword = "p@ss,word"};
  }
  SendOutcome run(int mode, bool saveLog, bool quit) {  // one send, after forgetting what earlier sends recorded
    window.options.checkedReplyMode = mode, window.options.saveLog = saveLog, window.quit = quit;
    window.events = dialogs.messages = {}, mail.sends.clear();
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
  FakeMainWindow window;
  SendOperation op{mail, dialogs, clock, folder.path() / ""};  // a trailing separator too
};

const Events kFailed = {"disable", "caption:送信中", "caption:送信エラー", "enable"};

TEST_F(SendFixture, ADummyModeWithoutADummyAddressSendsNothingAndOpensTheSettings) {
  window.options.dummyAddress = "";
  EXPECT_EQ(run(ReplyToDummy, true, false), SendOutcome::NotSent);
  EXPECT_EQ(window.events, (Events{"disable", "caption:送信中", "settingsPanel", "enable", "caption:!ぱるぽ"}));
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(mail.sends.empty());
}

// A box that names nobody is refused in every reply mode as the library refuses it, never handed to it: the dummy
// mode no longer mails the dummy address and the user alone.
TEST_F(SendFixture, AnEmptyOrBlankRecipientIsRefusedInEveryModeThroughTheErrorBoxErrorTxtAndLog) {
  const MailError missing{.kind = RecipientMissing};
  for (const int mode : {ReplyDontSend, ReplySendCopy, ReplyToDummy, ReplySeparate}) {
    for (const std::string to : {"", " 、 "}) {
      SCOPED_TRACE(std::to_string(mode) + "[" + to + "]");
      std::filesystem::remove_all(folder / "log");
      window.to = to;
      EXPECT_EQ(run(mode, true, true), SendOutcome::Failed);
      EXPECT_EQ(window.events, kFailed);
      EXPECT_EQ(dialogs.messages, Events{mail::sendErrorMessage(missing)});
      EXPECT_TRUE(mail.sends.empty());
      EXPECT_TRUE(
          readBytes(folder / "error.txt").starts_with(cp932(mail::sendResultText(missing) + "\r\n\r\n宛先 : ")));
      EXPECT_EQ(logNames().size(), 1u);
    }
  }
}

TEST_F(SendFixture, SeparateModeSendsASecondMailWithThePrefixAndQuits) {  // from the log's text, then from PP3.dat
  op.setAttachment("/tmp/a.pdf");
  run(ReplySeparate, true, true);
  expectSent(mail.sends.at(1), {.server = "smtp.example.jp",
                                .recipients = "me@example.jp",
                                .replyTo = "ta@example.jp",
                                .subject = "ta@example.jp & me@example.jp件名です",
                                .body = "一行目\r\n二行目",
                                .attachment = "/tmp/a.pdf",
                                .sender = "me@example.jp"});  // under the user's address
  EXPECT_EQ(window.events, (Events{"disable", "caption:送信中", "caption:返信先へ送信中", "caption:送信完了", "enable",
                                   "recordRecipient", "endProgram"}));
  EXPECT_EQ(logNames().size(), 1u);  // none for the second mail
  writeBytes(folder / "PP3.dat", cp932("[山田] ,rest\r\n"));
  run(ReplySeparate, false, true);
  EXPECT_EQ(mail.sends.at(1).subject, "[山田] 件名です");
}

// A stop the user chose is told as a stop: its sentence alone, and the caption "送信中止".
TEST_F(SendFixture, AFailedOrStoppedMailIsToldWrittenToErrorTxtAndLogged) {
  const Events copyFailed = {"disable", "caption:送信中", "caption:返信先へ送信中", "caption:送信エラー", "enable"};
  const Events stopped = {"disable", "caption:送信中", "caption:送信中止", "enable"};
  const MailError refused = refusal("550 5.1.1 no such user"), busy = refusal("421 busy"), stop{.kind = Stopped},
                  late{.kind = StoppedAfterUpload};
  const struct {
    const char* name;
    std::string to;
    std::vector<std::optional<MailError>> results;
    Events events;
    std::string message;
    SendOutcome outcome;
  } rows[] = {
      {"first mail fails", "ta@example.jp", {refused}, kFailed, mail::sendErrorMessage(refused), SendOutcome::Failed},
      {"only the copy to several fails",
       "ta@example.jp, b@example.jp",
       {std::nullopt, busy},
       copyFailed,
       mail::copyErrorMessage(busy, "ta@example.jp, b@example.jp", "me@example.jp"),
       SendOutcome::Failed},
      {"stopped", "ta@example.jp", {stop}, stopped, mail::mailErrorText(stop), SendOutcome::Stopped},
      {"stopped after the upload", "ta@example.jp", {late}, stopped, mail::mailErrorText(late), SendOutcome::Stopped},
  };
  writeBytes(folder / "PP3.dat", "Copy: \r\n");
  window.text = "";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove_all(folder / "log");
    window.to = row.to, mail.sendResults = row.results;
    EXPECT_EQ(run(ReplySeparate, true, true), row.outcome);
    EXPECT_EQ(window.events, row.events);
    EXPECT_EQ(dialogs.messages, Events{row.message});
    // The mail to the recipients, with the error's sentence.
    const std::string head = mail::sendResultText(row.results.back()) + "\r\n\r\n宛先 : " + row.to;
    EXPECT_EQ(readBytes(folder / "error.txt"),
              cp932(head + "\r\n返信 : me@example.jp\r\n件名 : 件名です\r\n本文 : \r\n\r\n\r\n添付 : \r\n"));
    EXPECT_EQ(logNames().size(), 1u);  // one per send, none for the copy
  }
  struct : FakeMail {
    std::optional<MailError> send(const MailCall&) override { throw std::runtime_error("boom"); }
  } throwing;
  window.events.clear(), SendOperation{throwing, dialogs, clock, folder.path()}.Parupo(window);
  EXPECT_EQ(window.events, kFailed);
  EXPECT_EQ(dialogs.messages.back(), mail::sendErrorMessage(mail::unexpectedError(mail::MailProtocol::Smtp, "boom")));
}

TEST_F(SendFixture, DateSubjectOneLogPerSendEvenWithinASecondAndAnUnwritableLogIsToldAfterTheSend) {
  window.options.subjectIsDate = true;
  window.text = "一行目\n二行目\r\n";
  op.setAttachment("/data/添付.txt");
  for (int second : {9, 9, 10}) clock.time.second = second, run(ReplyDontSend, true, false);
  EXPECT_EQ(logNames(), (Events{"20260307-1405-09.txt", "20260307-1405-09_002.txt", "20260307-1405-10.txt"}));
  EXPECT_EQ(readBytes(folder / "log" / "20260307-1405-09.txt"),
            cp932("\r\n宛先 : ta@example.jp\r\n返信 : me@example.jp\r\n件名 : 03/07 14:05\r\n"
                  "本文 : \r\n一行目\r\n二行目\r\n\r\n\r\n添付 : /data/添付.txt\r\n"));
  // The send's outcome stands; the failed log is told in one box.
  std::filesystem::remove_all(folder / "log");
  writeBytes(folder / "log", "a file where the log folder should be");
  run(ReplyDontSend, true, true);
  EXPECT_EQ(window.events,
            (Events{"disable", "caption:送信中", "caption:送信完了", "enable", "recordRecipient", "endProgram"}));
  EXPECT_NE(dialogs.messages.at(0).find("送信記録"), std::string::npos);
}

TEST(MessageLogName, AFolderThatCannotBeLookedIntoSaysWhyNotThatTheNamesAreTaken) {
  TempFolder folder;
  std::filesystem::create_symlink("loop", folder / "loop");
  std::error_code error;
  EXPECT_TRUE(newMessageLogPath(folder / "loop", FakeClock{}.time, error).empty());
  EXPECT_EQ(error, std::errc::too_many_symbolic_link_levels);
}

// A "log" linked to a shared folder is where the user keeps the logs: the folder keeps its permissions at every
// logged send, and only the log the program writes is private. A folder made here is private at once.
TEST(MessageLog, ALinkedLogFolderKeepsItsPermissionsAndEachLogIsPrivate) {
  TempFolder program, shared;
  std::filesystem::permissions(shared.path(), std::filesystem::perms::all);
  std::filesystem::create_symlink(shared.path(), program / "log");
  const mode_t umask = ::umask(0);
  EXPECT_EQ(writeMessageLog(program.path(), FakeClock{}.time, "ta@example.jp", {}), "");
  TempFolder fresh;
  EXPECT_EQ(writeMessageLog(fresh.path(), FakeClock{}.time, "ta@example.jp", {}), "");
  ::umask(umask);
  auto mode = [](const std::filesystem::path& p) { return std::filesystem::status(p).permissions(); };
  EXPECT_EQ(mode(shared.path()), std::filesystem::perms::all);
  EXPECT_EQ(mode(shared / "20260307-1405-09.txt"),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(mode(fresh / "log"), std::filesystem::perms::owner_all);
}

TEST_F(SendFixture, GetPOPChecksTheMailboxFirstWhenAskedAndNeverStopsTheSend) {
  window.options.receiveFirst = true;
  run(ReplyDontSend, false, false);  // the check's caption before the send's
  const Events sent = {"disable", "caption:受信チェック中", "caption:送信中", "caption:送信完了",
                       "enable",  "recordRecipient"};
  EXPECT_EQ(window.events, sent);
  EXPECT_EQ(mail.receives.at(0), (PopCall{.server = " pop.example.jp:110",
                                          .user = "user ",
                                          .password = "p@ss,word",
                                          .command = "STAT",
                                          .folder = folder.path()}));
  FakeMail failing;
  failing.receiveResult = MailError{.kind = LoginRefused, .protocol = mail::MailProtocol::Pop3};
  window.events.clear(), SendOperation{failing, dialogs, clock, folder.path()}.Parupo(window);
  EXPECT_EQ(window.events, sent);  // a failed check is silent
  EXPECT_TRUE(dialogs.messages.empty());
  // A check skipped to keep the password from going in clear is told, once per run.
  FakeMail skipped;
  skipped.receiveResult = MailError{.kind = PopCheckSkippedForPassword, .protocol = mail::MailProtocol::Pop3};
  SendOperation twice{skipped, dialogs, clock, folder.path()};
  for (int i = 0; i < 2; ++i) EXPECT_EQ(twice.Parupo(window), SendOutcome::Sent) << i;
  EXPECT_EQ(dialogs.messages, Events{mail::mailErrorText(*skipped.receiveResult)});
}

// A POP server without STLS: the check stops before the password unless the call allows it in clear.
struct PlainPop : FakeMail {
  std::optional<MailError> receive(const PopCall& call) override {
    (void)FakeMail::receive(call);
    if (call.allowPlainLogin) return std::nullopt;
    return MailError{.kind = PopCheckSkippedForPassword, .protocol = mail::MailProtocol::Pop3};
  }
};

// The first check of such a server asks, いいえ by default. はい lets the check log in
// (asked no more, kept in PPpop.dat, also for the next run); いいえ skips it with the notice,
// and is not asked again in this run. Another server is asked about anew.
TEST_F(SendFixture, APopServerWithoutStlsGetsThePasswordInClearOnlyOnceTheUserSaidYes) {
  window.options.receiveFirst = true;
  const std::string question =
      "POPサーバー（pop.example.jp）は暗号化に対応していません。"
      "パスワードを暗号化せずに送って受信チェックを行いますか？";
  const auto sends = [&](PlainPop& pop, int times) {  // one run's sends; which checks allowed the password in clear
    SendOperation runOp{pop, dialogs, clock, folder.path()};
    for (int i = 0; i < times; ++i) EXPECT_EQ(runOp.Parupo(window), SendOutcome::Sent);
    std::vector<bool> allowed;
    for (const PopCall& call : pop.receives) allowed.push_back(call.allowPlainLogin);
    return allowed;
  };
  PlainPop no, noAgain;
  dialogs.yes = false;
  EXPECT_EQ(sends(no, 2), (std::vector<bool>{false, false}));
  EXPECT_EQ(dialogs.noByDefault, Events{question});  // once in the run
  EXPECT_EQ(dialogs.messages.size(), 1u);            // the notice of the skipped check
  EXPECT_FALSE(std::filesystem::exists(folder / "PPpop.dat"));
  EXPECT_EQ(sends(noAgain, 1), std::vector<bool>{false});  // a new run asks again
  EXPECT_EQ(dialogs.noByDefault.size(), 2u);

  PlainPop yes, nextRun;
  dialogs.yes = true, dialogs.messages.clear(), dialogs.noByDefault.clear();
  EXPECT_EQ(sends(yes, 2), (std::vector<bool>{false, true, true}));
  EXPECT_EQ(sends(nextRun, 1), std::vector<bool>{true});
  EXPECT_EQ(dialogs.noByDefault, Events{question});
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(readBytes(folder / "PPpop.dat"), "pop.example.jp:110\r\n");
  EXPECT_EQ(std::filesystem::status(folder / "PPpop.dat").permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  PlainPop other;  // the settings panel names another server, written otherwise
  window.options.popServer = "pop3://POP.example.jp:1110";
  EXPECT_EQ(sends(other, 1), (std::vector<bool>{false, true}));
  EXPECT_EQ(dialogs.noByDefault.at(1),
            "POPサーバー（POP.example.jp）は暗号化に対応していません。"
            "パスワードを暗号化せずに送って受信チェックを行いますか？");
  EXPECT_EQ(readBytes(folder / "PPpop.dat"), "pop.example.jp:110\r\npop.example.jp:1110\r\n");
}

}  // namespace
}  // namespace parupo::test
