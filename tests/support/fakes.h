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

template <typename T> T take(std::vector<T>& script, T otherwise) {  // the script's next answer, or `otherwise`
  if (script.empty()) return otherwise;
  T next = script.front();
  script.erase(script.begin());
  return next;
}

struct FakeDialogs : Dialogs {  // records boxes and file dialogs; answers as told (Yes), the scripted files, else cancels
  std::vector<std::string> messages;
  std::vector<const DialogParent*> parents;  // the window of each box asked through over(), in order
  std::vector<std::string> questions;  // the Yes/No questions and input prompts, in order
  bool yes = true;
  std::optional<std::string> answer;  // every input box's
  std::vector<std::optional<std::string>> files;         // the next file dialogs' answers
  std::vector<std::pair<std::string, std::string>> fileDialogs;  // (initial path, filter) as asked
  void message(const std::string& text) override { messages.push_back(text); }
  bool askYesNo(const std::string& text, const std::string&) override {
    questions.push_back(text);
    return yes;
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
    std::optional<std::string> inputBox(const std::string& p, const std::string& c, const std::string& i) override {
      return noted().inputBox(p, c, i);
    }
    std::optional<std::string> openFile(const std::string& i, const std::string& f) override { return noted().openFile(i, f); }
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

struct SendMailCall { std::string server, recipients, replyTo, subject, body, attachment, sender; };
// The fields of a sent mail a test expects; a failure names the field that differs.
struct Sent { std::optional<std::string> server, recipients, replyTo, subject, body, attachment, sender; };
inline void expectSent(const SendMailCall& got, const Sent& want) {
  const auto field = [](const char* name, const std::string& value, const std::optional<std::string>& wanted) {
    EXPECT_EQ(value, wanted.value_or(value)) << name;
  };
  field("server", got.server, want.server), field("recipients", got.recipients, want.recipients);
  field("replyTo", got.replyTo, want.replyTo), field("subject", got.subject, want.subject);
  field("body", got.body, want.body), field("attachment", got.attachment, want.attachment);
  field("sender", got.sender, want.sender);
}
struct RcvMailCall { std::string server, user, password, command, folder; };

struct FakeMail : MailLibrary {
  std::vector<SendMailCall> sends;
  std::vector<RcvMailCall> receives;
  std::vector<std::string> sendResults;  // the answer to the n-th recorded send; "" (sent) past the end
  std::string SendMail(std::string& s, std::string& t, std::string& r, std::string& j, std::string& b, std::string& a,
                       const std::string& from) override {
    sends.push_back({s, t, r, j, b, a, from});
    return sends.size() <= sendResults.size() ? sendResults[sends.size() - 1] : "";
  }
  std::string RcvMail(std::string& s, std::string& u, std::string& p, std::string& c, std::string& f) override {
    receives.push_back({s, u, p, c, f});
    return "";
  }
};

// Each SendMail waits, on the thread that called it, until the test releases it or the
// watch stops it (then it fails as the real library does): a window test can click, type
// or close while a call runs.
struct BlockingMail : FakeMail {
  static constexpr const char* kStopped = "送信を中止しました（メールは送られていません）";
  std::function<void()> onCall;  // runs on the calling thread as a call begins, before it waits
  TransferWatch* watch = nullptr;
  std::string SendMail(std::string& s, std::string& t, std::string& r, std::string& j, std::string& b, std::string& a,
                       const std::string& from) override {
    if (onCall) onCall();
    std::unique_lock lock(mutex);
    released.wait(lock, [this] { return releases > 0 || (watch && watch->stopRequested()); });
    const std::string result = FakeMail::SendMail(s, t, r, j, b, a, from);
    if (releases == 0) return kStopped;
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
