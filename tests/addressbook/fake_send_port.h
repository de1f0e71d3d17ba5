// A main window as the consecutive send sees it: boxes, check box and option as plain
// values, and a record of every send with what the boxes held at that moment.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "send/send_port.h"

namespace parupo::test {

struct FakeSendPort : SendPort {
  struct Sent { std::string recipient, subject, body; bool noCopy, quit; };
  std::string to = "boss@example.jp", subject = "前の件名", body = "前の本文", title = "!ぱるぽ";
  bool check1 = false, quit = true;
  std::vector<Sent> sent;
  std::vector<std::string> captions;      // every caption set from outside
  std::function<void()> duringSend;       // runs inside each send
  SendOutcome outcome = SendOutcome::Sent;
  std::vector<bool> stopAnswers;          // the answers to "送信を中止しますか？", in turn

  std::string recipient() const override { return to; }
  void setRecipient(const std::string& t) override { to = t; }
  void setSubject(const std::string& t) override { subject = t; }
  void setBody(const std::string& t) override { body = t; }
  bool noCopy() const override { return check1; }
  void setNoCopy(bool c) override { check1 = c; }
  bool quitAfterSend() const override { return quit; }
  void setQuitAfterSend(bool c) override { quit = c; }
  SendOutcome send() override {
    sent.push_back({to, subject, body, check1, quit});
    title = outcome == SendOutcome::Sent ? "送信完了" : "送信エラー";
    if (duringSend) duringSend();
    return outcome;
  }
  bool askToStop() override {
    const bool stop = !stopAnswers.empty() && stopAnswers.front();
    if (!stopAnswers.empty()) stopAnswers.erase(stopAnswers.begin());
    return stop;
  }
  std::string caption() const override { return title; }
  void setCaption(const std::string& t) override { captions.push_back(title = t); }
};

}  // namespace parupo::test
