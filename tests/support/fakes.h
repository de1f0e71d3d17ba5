// Fakes for the platform seams and the mail library: they record what was asked and answer as told.
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mailapi/mail_library.h"
#include "mailapi/transfer_watch.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/random.h"

namespace parupo::test {

template <typename T>
T take(std::vector<T>& script, T otherwise) {  // the script's next answer, or `otherwise`
  if (script.empty()) return otherwise;
  T next = script.front();
  script.erase(script.begin());
  return next;
}

struct FakeDialogs
    : Dialogs {  // records boxes and file dialogs; answers as told (Yes), the scripted files, else cancels
  std::vector<std::string> messages;
  std::vector<const DialogParent*> parents;  // the window of each box asked through over(), in order
  std::vector<std::string> questions;        // the Yes/No questions and input prompts, in order
  std::vector<std::string> noByDefault;      // the Yes/No questions asked with No as the default
  bool yes = true;
  std::optional<std::string> answer;                             // every input box's
  std::vector<std::optional<std::string>> files;                 // the next file dialogs' answers
  std::vector<std::pair<std::string, std::string>> fileDialogs;  // (initial path, filter) as asked
  void message(const std::string& text) override { messages.push_back(text); }
  bool askYesNo(const std::string& text, const std::string&) override {
    questions.push_back(text);
    return yes;
  }
  bool askYesNoDefaultNo(const std::string& text, const std::string& title) override {
    noByDefault.push_back(text);
    return askYesNo(text, title);
  }
  std::optional<std::string> inputBox(const std::string& prompt, const std::string&, const std::string&) override {
    questions.push_back(prompt);
    return answer;
  }
  std::optional<std::string> openFile(const std::string& initial, const std::string& filter) override {
    fileDialogs.emplace_back(initial, filter);
    return take(files, std::optional<std::string>{});
  }
  // Boxes over a window: each notes its window, then is answered as above.
  struct Over : Dialogs {
    FakeDialogs& all;
    const DialogParent* window;
    Over(FakeDialogs& a, const DialogParent* w) : all(a), window(w) {}
    FakeDialogs& noted() { return all.parents.push_back(window), all; }
    void message(const std::string& t) override { noted().message(t); }
    bool askYesNo(const std::string& t, const std::string& c) override { return noted().askYesNo(t, c); }
    bool askYesNoDefaultNo(const std::string& t, const std::string& c) override {
      return noted().askYesNoDefaultNo(t, c);
    }
    std::optional<std::string> inputBox(const std::string& p, const std::string& c, const std::string& i) override {
      return noted().inputBox(p, c, i);
    }
    std::optional<std::string> openFile(const std::string& i, const std::string& f) override {
      return noted().openFile(i, f);
    }
    std::unique_ptr<Dialogs> over(DialogParent& w) override { return all.over(w); }
  };
  std::unique_ptr<Dialogs> over(DialogParent& window) override { return std::make_unique<Over>(*this, &window); }
};

struct FakeClock : Clock {
  LocalDateTime time{2026, 3, 7, 14, 5, 9};
  LocalDateTime now() const override { return time; }
};

struct FakeRandom : Random {  // gives the scripted numbers in turn, then the lowest; counts the seeds
  std::vector<int> ints;
  std::vector<double> units;
  int seeds = 0;
  void seedFromClock() override { ++seeds; }
  int uniformInt(int low, int) override { return take(ints, low); }
  double unit() override { return take(units, 0.0); }
};

// The fields of a sent mail a test expects; a failure names the field that differs.
struct Sent {
  std::optional<std::string> server, recipients, replyTo, subject, body, attachment, sender;
};
inline void expectSent(const MailCall& got, const Sent& want) {
  const auto field = [](const char* name, const std::string& value, const std::optional<std::string>& wanted) {
    EXPECT_EQ(value, wanted.value_or(value)) << name;
  };
  field("server", got.server, want.server), field("recipients", got.recipients, want.recipients);
  field("replyTo", got.replyTo, want.replyTo), field("subject", got.subject, want.subject);
  field("body", got.body, want.body), field("attachment", got.attachment, want.attachment);
  field("sender", got.sender, want.sender);
}
// A server's refusal with its reply, as a send may end.
inline mail::MailError refusal(std::string reply) {
  return {.kind = mail::MailErrorKind::Refused, .serverReply = std::move(reply)};
}

struct FakeMail : MailLibrary {
  std::vector<MailCall> sends;
  std::vector<PopCall> receives;
  std::vector<std::optional<mail::MailError>> sendResults;  // the n-th recorded send's; sent past the end
  std::optional<mail::MailError> receiveResult;             // every mail check's
  std::optional<mail::MailError> send(const MailCall& call) override {
    sends.push_back(call);
    return sends.size() <= sendResults.size() ? sendResults[sends.size() - 1] : std::nullopt;
  }
  std::optional<mail::MailError> receive(const PopCall& call) override {
    receives.push_back(call);
    return receiveResult;
  }
};

// Each send waits, on the thread that called it, until the test releases it or the
// watch stops it (then it fails as the real library does): a window test can click, type
// or close while a call runs.
struct BlockingMail : FakeMail {
  std::function<void()> onCall;  // runs on the calling thread as a call begins, before it waits
  TransferWatch* watch = nullptr;
  std::optional<mail::MailError> send(const MailCall& call) override {
    if (onCall) onCall();
    std::unique_lock lock(mutex);
    released.wait(lock, [this] { return releases > 0 || (watch && watch->stopRequested()); });
    const std::optional<mail::MailError> result = FakeMail::send(call);
    if (releases == 0) {
      return mail::MailError{.kind = watch->handedOver() ? mail::MailErrorKind::StoppedAfterUpload
                                                         : mail::MailErrorKind::Stopped};
    }
    --releases;
    return result;
  }
  void setTransferWatch(TransferWatch* w) override {
    if (watch) watch->onStop({});
    watch = w;
    if (w) w->onStop([this](bool) { release(0); });
  }
  void release(int count = 1) {
    std::lock_guard lock(mutex);
    releases += count;
    released.notify_all();
  }
  std::mutex mutex;
  std::condition_variable released;
  int releases = 0;
};

}  // namespace parupo::test
