// The main window as every send sees it: the compose boxes, the check box, the settings
// and options, the caption and the send button. The send operation `Parupo` reads and
// sets them; the address book's consecutive send fills the boxes, sets the options and
// runs the send through the same interface. The main window implements it over its
// controls; tests use plain fakes.
#pragma once

#include <string>

#include "core/settings.h"

namespace parupo {

class SendStage;

// How the last send ended, as the main window's caption shows it.
enum class SendOutcome {
  Sent,     // "送信完了"
  Failed,   // "送信エラー"
  NotSent,  // "!ぱるぽ": nothing was sent (the dummy address is missing)
  Stopped,  // the user chose to stop the send ("送信中止" unless it had gone through): nothing more is to be sent
};

class SendWindow {
 public:
  virtual ~SendWindow() = default;

  // --- The compose boxes and the check box ---
  virtual std::string recipient() const = 0;  // Text1
  virtual void setRecipient(const std::string& text) = 0;
  virtual std::string subject() const = 0;  // Text3
  virtual void setSubject(const std::string& text) = 0;
  virtual std::string body() const = 0;               // Text4, lines separated by CR LF
  virtual void setBody(const std::string& text) = 0;  // any line ends
  virtual bool noCopy() const = 0;                    // Check1
  virtual void setNoCopy(bool checked) = 0;

  // --- Settings and options ---
  // The settings panel's fields and the option menus' check marks as they stand now.
  virtual Settings settings() const = 0;
  virtual void setQuitAfterSend(bool checked) = 0;  // "送信後終了"
  virtual void setSubjectIsDate(bool checked) = 0;  // "件名を日付にする"; the subject box stays
  virtual void openSettingsPanel() = 0;             // SetPop

  // --- The send and its outcome ---
  virtual std::string caption() const = 0;
  virtual void setCaption(const std::string& caption) = 0;
  virtual void setSendEnabled(bool enabled) = 0;  // Command1
  // Runs `Parupo` to its end, exactly as the send button does; the window keeps painting
  // meanwhile. Returns how it ended; the caption says the same.
  virtual SendOutcome send() = 0;
  // Asks over the main window whether to stop the send in progress; true when the user
  // chose to stop it (it then ends as stopped, and the stage keeps the stop until the
  // next send begins). Asks nothing while the question is up or the send is telling its
  // result; a window that cannot ask never stops.
  [[nodiscard]] virtual bool askToStop() { return false; }
  // Where the send stands and what the user asked for during it: the send moves it on,
  // the consecutive send reads whether the user stopped.
  virtual SendStage& sendStage() = 0;
  virtual void recordRecipient() = 0;  // Rireki: Text1 to the head of the history
  // Ends the program as any close does: saves what an ending saves, then ends at once.
  virtual void endProgram() = 0;
};

}  // namespace parupo
