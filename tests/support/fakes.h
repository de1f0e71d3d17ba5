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

// Records OK boxes; answers Yes and cancels every other dialog.
class FakeDialogs : public Dialogs {
 public:
  std::vector<std::string> messages;
  void message(const std::string& text) override { messages.push_back(text); }
  bool askYesNo(const std::string&, const std::string&) override { return true; }
  std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> openFile(const std::string&, const std::string&) override { return std::nullopt; }
};

class FakeClock : public Clock {
 public:
  LocalDateTime time{2026, 3, 7, 14, 5, 9};
  LocalDateTime now() const override { return time; }
};

class FakeRandom : public Random {
 public:
  void seedFromClock() override {}
  int uniformInt(int low, int) override { return low; }
  double unit() override { return 0.0; }
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
                       std::string& subject, std::string& body, std::string& attachmentPath) override {
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
