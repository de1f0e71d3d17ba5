// The send operation over a plain main window that records what was done to it, the
// mail fake, and a temporary program folder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "send/parupo.h"
#include "send/send_window.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace parupo::test {

using Events = std::vector<std::string>;

class FakeSendWindow : public SendWindow {
 public:
  FakeSendWindow() {
    options.smtpServer = "smtp.example.jp";
    options.replyTo = "me@example.jp";
    options.dummyAddress = "dummy@example.jp";
  }
  std::string recipient = "ta@example.jp", subject = "件名です", body = "一行目\r\n二行目";
  bool noCopy = false;
  Settings options;
  Events events;  // "disable", "enable", "caption:...", and the calls below

  std::string recipientText() const override { return recipient; }
  std::string subjectText() const override { return subject; }
  void setSubjectText(const std::string& text) override { subject = text; }
  std::string bodyText() const override { return body; }
  bool noCopyChecked() const override { return noCopy; }
  Settings settings() const override { return options; }
  void setCaption(const std::string& text) override { events.push_back("caption:" + text); }
  void setSendEnabled(bool on) override { events.push_back(on ? "enable" : "disable"); }
  void openSettingsPanel() override { events.push_back("settingsPanel"); }
  void saveSettings() override { events.push_back("saveSettings"); }
  void recordRecipient() override { events.push_back("recordRecipient"); }
  void endProgram() override { events.push_back("endProgram"); }
};

class SendFixture : public ::testing::Test {
 protected:
  // One send with these options, after forgetting what earlier sends recorded.
  void run(int mode, bool saveLog, bool quit) {
    window.options.replyMode = mode;
    window.options.saveLog = saveLog;
    window.options.quitAfterSend = quit;
    window.events.clear();
    mail.sends.clear();
    mail.eventLog.clear();
    dialogs.messages.clear();
    op.Parupo(window);
  }
  Events logNames() const {
    Events names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder / "log", ec)) {
      names.push_back(e.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TempFolder folder;
  FakeMail mail;
  FakeDialogs dialogs;
  FakeClock clock;
  FakeSendWindow window;
  SendOperation op{mail, dialogs, clock, folder.path() / ""};  // a trailing separator too
};

}  // namespace parupo::test
