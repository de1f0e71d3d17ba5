// A main window for the send logic: plain fields for the compose boxes and settings,
// and a record of everything the operation did to it, in order.
#pragma once

#include <string>
#include <vector>

#include "send/send_window.h"

namespace parupo::test {

class FakeSendWindow : public SendWindow {
 public:
  std::string recipient, subject, body;
  bool noCopy = false;
  Settings options;

  std::string caption = "!ぱるぽ";
  bool sendEnabled = true;
  std::vector<std::string> captions;  // every caption set, in order
  std::vector<std::string> events;    // "disable", "enable", "caption:...", "settingsPanel",
                                      // "saveSettings", "recordRecipient", "endProgram"

  std::string recipientText() const override { return recipient; }
  std::string subjectText() const override { return subject; }
  void setSubjectText(const std::string& text) override { subject = text; }
  std::string bodyText() const override { return body; }
  bool noCopyChecked() const override { return noCopy; }
  Settings settings() const override { return options; }

  void setCaption(const std::string& text) override {
    caption = text;
    captions.push_back(text);
    events.push_back("caption:" + text);
  }
  void setSendEnabled(bool enabled) override {
    sendEnabled = enabled;
    events.push_back(enabled ? "enable" : "disable");
  }
  void openSettingsPanel() override { events.push_back("settingsPanel"); }
  void saveSettings() override { events.push_back("saveSettings"); }
  void recordRecipient() override { events.push_back("recordRecipient"); }
  void endProgram() override { events.push_back("endProgram"); }

  int count(const std::string& event) const {
    int n = 0;
    for (const std::string& e : events) n += e == event;
    return n;
  }
};

}  // namespace parupo::test
