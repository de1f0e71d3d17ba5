// Every way the program ends: a request to end from outside waits for the send and its
// message box, and every ending saves. Esc and the close box during a mail call, and input
// then, are proven end to end with a real display's clicks and keys.
#include <gtest/gtest.h>

#include <csignal>

#include "app/end_signals.h"
#include "app/form1_fixture.h"
#include "app/responsive_mail.h"

namespace parupo {
namespace {

using namespace test;

// Message boxes that are application-modal while they are up, as the real ones are (Qt
// then drops a close request to the main window); each closes again at once.
struct ModalDialogs : FakeDialogs {
  void message(const std::string& text) override {
    FakeDialogs::message(text);
    QWidget box;
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    QApplication::processEvents();
  }
};

class Form1Ending : public Form1Fixture<BlockingMail, ModalDialogs> {
 protected:
  Form1Ending() {
    pp1.quitAfterSend = pp1.receiveFirst = false;  // no quitting after the send, no mail check
    pp1.checkedReplyMode = ReplyDontSend;          // one mail per send
    putPP1();
  }
  // Does `act` on the window's thread while the next mail call waits, then lets the call
  // go on; later calls go on at once.
  void duringTheNextCall(std::function<void()> act) {
    auto first = std::make_shared<std::atomic<bool>>(true);
    mail.onCall = [this, act, first] {
      if (!first->exchange(false)) return mail.release();
      QMetaObject::invokeMethod(qApp, [this, act] {
        act();
        mail.release();
      }, Qt::QueuedConnection);
    };
  }
};

// A request to end from outside during a send that fails waits for the send and its box,
// then saves.
TEST_F(Form1Ending, ARequestToEndDuringAFailingSendEndsOnceTheSendAndItsBoxAreOver) {
  mail.sendResults = {"550 no such user"};
  auto form = start();
  const EndSignals endSignals([&form] { form->requestEnd(); });
  entry(*form, "Sup", 3)->trigger();  // "送信後終了" on
  the<QLineEdit>(*form, "Text11")->setText(u("45"));
  duringTheNextCall([] { std::raise(SIGTERM); });
  form->Command1_Click();
  EXPECT_EQ(ended, 0);  // not before the send's box is over
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find("550 no such user"), std::string::npos);
  for (int i = 0; i < 50 && ended == 0; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(file("PP4.dat"), "45\r\n");
  EXPECT_TRUE(savedPP1().quitAfterSend);
}

// Closing never refuses: a close during a mail call asks whether to stop the send. はい
// stops it and the program ends right after it, without its box; いいえ lets the send go
// on and tell its result as usual, and the program ends once that is over. Each ending saves.
TEST_F(Form1Ending, ACloseDuringASendAlwaysEndsTheProgramOnceTheSendIsOver) {
  const struct { const char* name; bool stop; std::string result; std::size_t boxes; const char* caption; } rows[] = {
      {"no_sent", false, "", 0, "送信完了"},
      {"no_failed", false, "550 no such user", 1, "送信エラー"},
      {"yes", true, "", 0, nullptr}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ended = 0, dialogs.messages.clear(), dialogs.questions.clear(), mail.sends.clear();
    mail.sendResults = {row.result};
    auto form = start();
    the<QLineEdit>(*form, "Text11")->setText(u("45"));
    mail.onCall = [this, &form, stop = row.stop] {  // the close while the call waits; はい ends the call
      QMetaObject::invokeMethod(qApp, [this, &form, stop] {
        dialogs.yes = stop;
        form->close();
        if (!stop) mail.release();
      }, Qt::QueuedConnection);
    };
    form->Command1_Click();
    EXPECT_EQ(dialogs.questions, Lines{"送信を中止しますか？"});
    EXPECT_EQ(dialogs.messages.size(), row.boxes);
    if (row.caption) {
      EXPECT_EQ(form->caption(), row.caption);
    }
    EXPECT_EQ(ended, 0);  // not inside the send
    for (int i = 0; i < 50 && ended == 0; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(file("PP4.dat"), "45\r\n");
  }
}

// The end of the session saves the compose size, not the open settings panel's.
TEST_F(Form1Ending, TheEndOfTheSessionSavesTheComposeSizeWithTheSettingsPanelOpen) {
  auto form = start();
  entry(*form, "PopSetup", 0)->trigger();
  QMetaObject::invokeMethod(qApp, "aboutToQuit");
  EXPECT_EQ(ended, 1);
  const Settings kept = savedPP1();
  EXPECT_EQ(kept.height, 6000);
  EXPECT_EQ(kept.width, 8000);
}

TEST_F(Form1Ending, FilesThatCannotBeReadAtStartAreKeptAndToldOnlyWhenTheUserSaves) {
  std::filesystem::remove(folder / "PP1.dat");
  std::filesystem::create_symlink("PP1.dat", folder / "PP1.dat");  // exists, cannot be read
  auto form = start();
  EXPECT_EQ(dialogs.messages, Lines{});
  form->close();
  EXPECT_EQ(ended, 1);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "PP1.dat"));  // never overwritten
  EXPECT_EQ(file("PP4.dat"), "999\r\n");
}

// The worker's texts are its own: the caller's stay as they were until the call is over.
TEST(ResponsiveMailTest, TheCallWorksOnCopiesThatComeBackWhenItIsOver) {
  struct Changing : FakeMail {
    std::string* callers = nullptr;
    std::string seenDuringTheCall;
    std::string SendMail(std::string& s, std::string& t, std::string& r, std::string& j, std::string& b,
                         std::string& a, const std::string& from) override {
      s = "changed by the call";
      QMetaObject::invokeMethod(qApp, [this] { seenDuringTheCall = *callers; }, Qt::BlockingQueuedConnection);
      return FakeMail::SendMail(s, t, r, j, b, a, from);
    }
  } inner;
  ResponsiveMail mail(inner);
  std::string server = "smtp.example.jp", to = "to", reply = "reply", subject = "subject", body = "body", file;
  inner.callers = &server;
  EXPECT_EQ(mail.SendMail(server, to, reply, subject, body, file, "me@example.jp"), "");
  EXPECT_EQ(inner.seenDuringTheCall, "smtp.example.jp");
  EXPECT_EQ(server, "changed by the call");
}

}  // namespace
}  // namespace parupo
