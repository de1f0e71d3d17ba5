// A main window as a send sees it: boxes, check box and settings as plain values; what was
// done to it as events ("disable", "enable", "caption:...", "settingsPanel",
// "recordRecipient", "endProgram"), and every send with its subject and its quit and date
// options then.
#pragma once

#include <functional>
#include <string>

#include "send/send_stage.h"
#include "send/send_window.h"
#include "support/fakes.h"

namespace parupo::test {

struct FakeMainWindow : SendWindow {
  struct Sent {
    std::string subject;
    bool quit, dateSubject;
  };
  std::string to = "boss@example.jp", subj = "前の件名", text = "前の本文", title = "!ぱるぽ";
  bool check1 = false, quit = true;
  Settings options;  // the settings but for the quit option, which is `quit`
  std::vector<Sent> sent;
  std::vector<std::string> events;
  std::function<void()> duringSend;  // runs inside each send
  SendOutcome outcome = SendOutcome::Sent;
  std::vector<bool> stopAnswers;  // the answers to askToStop, in turn
  SendStage stage;

  std::string recipient() const override { return to; }
  void setRecipient(const std::string& t) override { to = t; }
  std::string subject() const override { return subj; }
  void setSubject(const std::string& t) override { subj = t; }
  std::string body() const override { return text; }
  void setBody(const std::string& t) override { text = t; }
  bool noCopy() const override { return check1; }
  void setNoCopy(bool c) override { check1 = c; }
  Settings settings() const override {
    Settings s = options;
    s.quitAfterSend = quit;
    return s;
  }
  void setQuitAfterSend(bool c) override { quit = c; }
  void setSubjectIsDate(bool c) override { options.subjectIsDate = c; }
  void openSettingsPanel() override { events.push_back("settingsPanel"); }
  SendOutcome send() override {
    stage.begin();
    stage.enter(SendStage::Stage::Sending);
    sent.push_back({subj, quit, options.subjectIsDate});
    title = outcome == SendOutcome::Sent ? "送信完了" : "送信エラー";
    if (duringSend) duringSend();
    (void)stage.end();
    return stage.stopRequested() ? SendOutcome::Stopped : outcome;
  }
  bool askToStop() override {
    if (!stage.on(SendStage::Event::Escape).ask) return false;
    const bool stop = take(stopAnswers, false);
    stage.on(stop ? SendStage::Event::Yes : SendStage::Event::No);
    return stop;
  }
  SendStage& sendStage() override { return stage; }
  std::string caption() const override { return title; }
  void setCaption(const std::string& t) override { events.push_back("caption:" + (title = t)); }
  void setSendEnabled(bool on) override { events.push_back(on ? "enable" : "disable"); }
  void recordRecipient() override { events.push_back("recordRecipient"); }
  void endProgram() override { events.push_back("endProgram"); }
};

}  // namespace parupo::test
