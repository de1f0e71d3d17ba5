// Every way the program ends: a request to end from outside waits for the send and its
// message box, and every ending saves. Esc and the close box during a mail call, and input
// then, are proven end to end with a real display's clicks and keys.
#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>
#include <thread>

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
      QMetaObject::invokeMethod(
          qApp,
          [this, act] {
            act();
            mail.release();
          },
          Qt::QueuedConnection);
    };
  }
};

// A request to end from outside during a send that fails waits for the send and its box,
// then saves.
TEST_F(Form1Ending, ARequestToEndDuringAFailingSendEndsOnceTheSendAndItsBoxAreOver) {
  mail.sendResults = {refusal("550 no such user")};
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
  const struct {
    const char* name;
    bool stop;
    std::optional<mail::MailError> result;
    std::size_t boxes;
    const char* caption;
  } rows[] = {{"no_sent", false, std::nullopt, 0, "送信完了"},
              {"no_failed", false, refusal("550 no such user"), 1, "送信エラー"},
              {"yes", true, std::nullopt, 0, nullptr}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ended = 0, dialogs.messages.clear(), dialogs.questions.clear(), mail.sends.clear();
    mail.sendResults = {row.result};
    auto form = start();
    the<QLineEdit>(*form, "Text11")->setText(u("45"));
    mail.onCall = [this, &form, stop = row.stop] {  // the close while the call waits; はい ends the call
      QMetaObject::invokeMethod(
          qApp,
          [this, &form, stop] {
            dialogs.yes = stop;
            form->close();
            if (!stop) mail.release();
          },
          Qt::QueuedConnection);
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

// A stop the user chose is no error: the box says the stop's sentence alone, error.txt
// keeps it, the caption says "送信中止". Once the whole message has been handed over, the
// question and the sentence say that the server may have it.
TEST_F(Form1Ending, AStopIsToldAsAStopAndAfterTheUploadAsPerhapsDelivered) {
  auto form = start();
  for (const bool handedOver : {false, true}) {
    SCOPED_TRACE(handedOver);
    dialogs.messages.clear(), dialogs.questions.clear();
    mail.onCall = [&] {  // asked on the window's thread while the call waits; never released
      QMetaObject::invokeMethod(
          qApp,
          [&] {
            if (handedOver) mail.watch->uploadBegins(100), mail.watch->messageHandedOver();
            EXPECT_TRUE(form->askToStop());
          },
          Qt::QueuedConnection);
    };
    form->Command1_Click();
    EXPECT_EQ(
        dialogs.questions,
        Lines{handedOver ? "サーバーの応答を待っています。中止してもメールは届いている場合があります。中止しますか？"
                         : "送信を中止しますか？"});
    const std::string said = mail::mailErrorText(
        {handedOver ? mail::MailErrorKind::StoppedAfterUpload : mail::MailErrorKind::Stopped});
    EXPECT_EQ(dialogs.messages, Lines{said});
    EXPECT_EQ(saved("error.txt").at(0), said);
    EXPECT_EQ(form->windowTitle(), u("送信中止"));
  }
}

// The call runs on a worker; what it returns, or throws, comes back as from a direct call.
TEST(ResponsiveMailTest, TheWorkersErrorOrExceptionComesBackToTheCaller) {
  struct Inner : FakeMail {
    std::thread::id thread;
    std::optional<mail::MailError> send(const MailCall& call) override {
      thread = std::this_thread::get_id();
      if (call.subject == "throw") throw std::runtime_error("boom");
      return refusal("554 no");
    }
  } inner;
  ResponsiveMail mail(inner);
  EXPECT_EQ(mail.send({.subject = "s"}), refusal("554 no"));
  EXPECT_NE(inner.thread, std::this_thread::get_id());
  EXPECT_THROW((void)mail.send({.subject = "throw"}), std::runtime_error);
}

}  // namespace
}  // namespace parupo
