// The send operation: turns what the user typed in the main window into one or two
// mail library calls by the reply-to mode, and records the outcome (message log, error log,
// caption, history, quitting after the send). What it decides is in send_decisions.h;
// this is the sequence that asks the window, calls the library and writes the files.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mailapi/mail_library.h"
#include "mailcheck/plain_pop_login.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "send/send_decisions.h"
#include "send/send_window.h"

namespace parupo {

class SendOperation {
 public:
  SendOperation(MailLibrary& mail, Dialogs& dialogs, const Clock& clock, std::filesystem::path programFolder);

  // Runs one send to its end, synchronously. Afterwards the window's caption tells the
  // outcome: "送信完了", "送信エラー", "送信中止" (the user stopped it) or "!ぱるぽ"
  // (nothing sent), as the result does.
  SendOutcome Parupo(SendWindow& window);

  const SendVariables& variables() const { return vars_; }
  // The attachment (TnpPath) is kept here alone; the attachment choice sets it.
  const std::string& attachment() const { return vars_.TnpPath; }
  void setAttachment(std::string path) { vars_.TnpPath = std::move(path); }

 private:
  // One call of the library; its error is kept, its text goes to SendRet. True when the
  // mail was sent. A mail already refused is not handed to the library: its refusal is
  // kept and worded as the library's would be.
  [[nodiscard]] bool sendMail(const MailCall& call, std::optional<mail::MailError> refused = std::nullopt);
  // GetPOP, and the one notice of a check skipped to protect the password.
  void checkMailFirst(SendWindow& window, const Settings& settings);
  // Asks whether a POP server without STLS may have the password in clear, the first
  // time for that server (いいえ: not again in this run). True for はい.
  bool allowsPlainLogin(SendWindow& window, const std::string& popServer);
  // The dummy mode without a dummy address: nothing is sent.
  SendOutcome stopForDummyAddress(SendWindow& window);
  SendOutcome stopForPassword(SendWindow& window);  // the password box cancelled
  // SaveError: the library's text in a message box, error.txt, the caption, the button.
  // When only the separate copy failed, the box says that the first mail went out. A
  // stop the user chose is told as a stop, not as a fault of the settings.
  SendOutcome saveError(SendWindow& window, bool firstMailSent);
  // Problems with the log files never change what the send did: they are told once,
  // after the send's outcome is settled.
  void reportFileProblems();

  MailLibrary& mail_;
  Dialogs& dialogs_;
  const Clock& clock_;
  std::filesystem::path folder_;
  SendVariables vars_;
  std::optional<mail::MailError> error_;  // the last call's, as SendRet words it
  std::vector<std::string> fileProblems_;
  bool popNoticeGiven_ = false;  // the skipped mail check is told once per run
  PlainPopLogins plainLogins_;
};

}  // namespace parupo
