// The send operation: turns what the user typed in the main window into one or two
// SendMail calls by the reply-to mode, and records the outcome (message log, error log,
// caption, history, quitting after the send).
#pragma once

#include <filesystem>
#include <string>

#include "mailapi/mail_library.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "send/send_port.h"
#include "send/send_window.h"

namespace parupo {

// The main window's send variables; they keep the values of the last send.
struct SendVariables {
  std::string SendRet;   // result of the last SendMail; empty: sent
  std::string SmtpSv;
  std::string ToList;    // TAB-separated recipients
  std::string ReplyAdr;
  std::string SubjTxt;
  std::string BodyTxt;
  std::string TnpPath;   // attachment; empty: none. Set only by the attachment choice.
};

class SendOperation {
 public:
  SendOperation(MailLibrary& mail, Dialogs& dialogs, const Clock& clock,
                std::filesystem::path programFolder);

  // Runs one send to its end, synchronously. Afterwards the window's caption tells the
  // outcome: "送信完了", "送信エラー" or "!ぱるぽ" (nothing sent), as the result does.
  SendOutcome Parupo(SendWindow& window);

  SendVariables& variables() { return vars_; }
  const SendVariables& variables() const { return vars_; }

 private:
  MailLibrary& mail_;
  Dialogs& dialogs_;
  const Clock& clock_;
  std::filesystem::path folder_;
  SendVariables vars_;
  bool popNoticeGiven_ = false;  // the skipped mail check is told once per run
};

}  // namespace parupo
