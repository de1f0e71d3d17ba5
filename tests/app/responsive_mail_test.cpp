#include <gtest/gtest.h>

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "app/responsive_mail.h"
#include "support/fakes.h"

namespace parupo {
namespace {

// A slow library: each call takes a while, runs wherever it is called from, and changes
// its by-reference arguments the way the old library was allowed to.
class SlowMail : public test::FakeMail {
 public:
  std::atomic<bool> onCallerThread{false};
  Qt::HANDLE uiThread = QThread::currentThreadId();
  bool throwInstead = false;

  std::string SendMail(std::string& server, std::string& recipients, std::string& replyTo,
                       std::string& subject, std::string& body,
                       std::string& attachmentPath) override {
    onCallerThread = QThread::currentThreadId() == uiThread;
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    if (throwInstead) throw std::runtime_error("boom");
    std::string r = FakeMail::SendMail(server, recipients, replyTo, subject, body, attachmentPath);
    subject = "changed";
    return r;
  }
};

TEST(ResponsiveMail, CallsRunOnAWorkerWhileTheWindowKeepsItsEventsAndResultsComeBack) {
  SlowMail slow;
  slow.sendResults.push_back("550 refused");
  ResponsiveMail mail(slow);

  int ticks = 0;
  bool busyDuringCall = false;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    ++ticks;
    busyDuringCall = busyDuringCall || mail.busy();
  });
  timer.start(10);

  std::string server = "smtp.example.jp", to = "a@example.jp", reply = "me@example.jp",
              subject = "件名", body = "本文", attachment;
  const std::string result = mail.SendMail(server, to, reply, subject, body, attachment);
  timer.stop();

  EXPECT_EQ(result, "550 refused");
  EXPECT_FALSE(slow.onCallerThread);
  EXPECT_GT(ticks, 3);  // timers (and painting) went on during the call
  EXPECT_TRUE(busyDuringCall);
  EXPECT_FALSE(mail.busy());
  ASSERT_EQ(slow.sends.size(), 1u);
  EXPECT_EQ(slow.sends[0].subject, "件名");
  EXPECT_EQ(subject, "changed");

  // The mail check goes the same way.
  std::string pop = "pop.example.jp", user = "u", password = "p", command = "STAT", folder;
  EXPECT_EQ(mail.RcvMail(pop, user, password, command, folder), "");
  ASSERT_EQ(slow.receives.size(), 1u);
  EXPECT_EQ(slow.receives[0].command, "STAT");
}

TEST(ResponsiveMail, AFailingLibraryGivesAnErrorTextInsteadOfTakingTheProgramDown) {
  SlowMail slow;
  slow.throwInstead = true;
  ResponsiveMail mail(slow);
  std::string a = "s", b = "t", c = "r", d = "s", e = "b", f;
  const std::string result = mail.SendMail(a, b, c, d, e, f);
  EXPECT_NE(result.find("boom"), std::string::npos);
  EXPECT_FALSE(mail.busy());
}

TEST(ResponsiveMail, OffTheUserInterfaceThreadItCallsStraightThrough) {
  SlowMail slow;
  ResponsiveMail mail(slow);
  std::string result = "unset";
  std::thread other([&] {
    slow.uiThread = QThread::currentThreadId();
    std::string a = "s", b = "t", c = "r", d = "s", e = "b", f;
    result = mail.SendMail(a, b, c, d, e, f);
  });
  other.join();
  EXPECT_EQ(result, "");
  EXPECT_TRUE(slow.onCallerThread);
}

}  // namespace
}  // namespace parupo
