// Fakes for the platform seams and the mail library: they record what was asked of them
// and answer as the test told them.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "mailapi/mail_library.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/random.h"

namespace parupo::test {

class FakeDialogs : public Dialogs {
 public:
  std::vector<std::string> messages;          // texts of OK boxes, in order
  std::vector<std::string> questions;         // texts of Yes/No boxes
  std::deque<bool> yesNoAnswers;              // default: Yes
  std::deque<std::optional<std::string>> inputAnswers;  // default: cancelled
  std::deque<std::optional<std::string>> openFileAnswers;  // default: cancelled
  std::vector<std::string> openFileInitialPaths;

  void message(const std::string& text) override { messages.push_back(text); }
  bool askYesNo(const std::string& text, const std::string&) override {
    questions.push_back(text);
    if (yesNoAnswers.empty()) return true;
    bool a = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return a;
  }
  std::optional<std::string> inputBox(const std::string&, const std::string&,
                                      const std::string&) override {
    if (inputAnswers.empty()) return std::nullopt;
    auto a = inputAnswers.front();
    inputAnswers.pop_front();
    return a;
  }
  std::optional<std::string> openFile(const std::string& initialPath, const std::string&) override {
    openFileInitialPaths.push_back(initialPath);
    if (openFileAnswers.empty()) return std::nullopt;
    auto a = openFileAnswers.front();
    openFileAnswers.pop_front();
    return a;
  }
};

class FakeClock : public Clock {
 public:
  LocalDateTime time{2026, 3, 7, 14, 5, 9};
  LocalDateTime now() const override { return time; }
};

class FakeRandom : public Random {
 public:
  std::deque<int> ints;       // answers of uniformInt (default: low)
  std::deque<double> units;   // answers of unit (default: 0)
  int seeds = 0;
  void seedFromClock() override { ++seeds; }
  int uniformInt(int low, int) override {
    if (ints.empty()) return low;
    int v = ints.front();
    ints.pop_front();
    return v;
  }
  double unit() override {
    if (units.empty()) return 0.0;
    double v = units.front();
    units.pop_front();
    return v;
  }
};

struct SendMailCall {
  std::string server, recipients, replyTo, subject, body, attachment;
};
struct RcvMailCall {
  std::string server, user, password, command, folder;
};

class FakeMail : public MailLibrary {
 public:
  std::vector<SendMailCall> sends;
  std::vector<RcvMailCall> receives;
  std::deque<std::string> sendResults;  // default: "" (sent)
  std::vector<std::string> eventLog;    // "SendMail" / "RcvMail" in call order

  std::string SendMail(std::string& server, std::string& recipients, std::string& replyTo,
                       std::string& subject, std::string& body,
                       std::string& attachmentPath) override {
    sends.push_back({server, recipients, replyTo, subject, body, attachmentPath});
    eventLog.push_back("SendMail");
    if (sendResults.empty()) return "";
    std::string r = sendResults.front();
    sendResults.pop_front();
    return r;
  }
  std::string RcvMail(std::string& server, std::string& user, std::string& password,
                      std::string& command, std::string& folder) override {
    receives.push_back({server, user, password, command, folder});
    eventLog.push_back("RcvMail");
    return "";
  }
};

}  // namespace parupo::test
