// What the send operation reads from and does to the main window.
// Form1 implements it over its controls; tests of the send logic use a plain fake.
#pragma once

#include <string>

#include "core/settings.h"

namespace parupo {

class SendWindow {
 public:
  virtual ~SendWindow() = default;

  virtual std::string recipientText() const = 0;        // Text1
  virtual std::string subjectText() const = 0;          // Text3
  virtual void setSubjectText(const std::string& text) = 0;
  virtual std::string bodyText() const = 0;             // Text4, lines separated by CR LF
  virtual bool noCopyChecked() const = 0;               // Check1
  // The settings panel's fields and the option menus' check marks as they stand now.
  virtual Settings settings() const = 0;

  virtual void setCaption(const std::string& caption) = 0;
  virtual void setSendEnabled(bool enabled) = 0;        // Command1
  virtual void openSettingsPanel() = 0;                 // SetPop
  // The program ends as soon as this send is over (the window was closed during it and
  // the user chose to stop it): a failure then goes to error.txt without a message box.
  virtual bool endsAfterSend() const { return false; }
  virtual void recordRecipient() = 0;                   // Rireki: Text1 to the head of the history
  // Ends the program as any close does: saves what an ending saves, then ends at once.
  virtual void endProgram() = 0;
};

}  // namespace parupo
