// What another window may do with the main window's send: fill the compose boxes, set
// the check box and the "送信後終了" option, run the send and read its outcome. The
// address book's consecutive send drives the main window through this port only; the
// main window implements it.
#pragma once

#include <string>

namespace parupo {

// How the last send ended, as the main window's caption shows it.
enum class SendOutcome {
  Sent,        // "送信完了"
  Failed,      // "送信エラー"
  NotSent,     // "!ぱるぽ": nothing was sent (the dummy address is missing)
  Stopped,     // the user chose to stop the send: nothing more is to be sent
};

class SendPort {
 public:
  virtual ~SendPort() = default;

  virtual std::string recipient() const = 0;               // Text1
  virtual void setRecipient(const std::string& text) = 0;
  virtual void setSubject(const std::string& text) = 0;    // Text3
  virtual void setBody(const std::string& text) = 0;       // Text4, any line ends
  virtual bool noCopy() const = 0;                         // Check1
  virtual void setNoCopy(bool checked) = 0;
  virtual bool quitAfterSend() const = 0;                  // "送信後終了"
  virtual void setQuitAfterSend(bool checked) = 0;

  // Runs `Parupo` to its end, exactly as the send button does; the window keeps painting
  // meanwhile. Returns how it ended; the caption says the same.
  virtual SendOutcome send() = 0;
  // Asks over the main window whether to stop the send in progress; true when the user
  // chose to stop it (it then ends as stopped). Asks nothing while the question is up.
  [[nodiscard]] virtual bool askToStop() = 0;
  virtual std::string caption() const = 0;
  virtual void setCaption(const std::string& text) = 0;
};

}  // namespace parupo
