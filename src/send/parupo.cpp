#include "send/parupo.h"

#include <optional>
#include <utility>

#include "mailapi/mail_error.h"
#include "mailcheck/get_pop.h"
#include "platform/text_file.h"
#include "send/message_log.h"
#include "send/send_stage.h"

namespace parupo {

SendOperation::SendOperation(MailLibrary& mail, Dialogs& dialogs, const Clock& clock,
                             std::filesystem::path programFolder)
    : mail_(mail), dialogs_(dialogs), clock_(clock), folder_(std::move(programFolder)), plainLogins_(folder_) {}

namespace {

// The send's stage moves on, and the caption shows it.
void show(SendWindow& window, SendStage::Stage stage) {
  window.sendStage().enter(stage);
  window.setCaption(window.sendStage().caption());
}

}  // namespace

// The mail check before the send. A server without STLS gets the password in clear only
// when the user agreed, asked once for each server between the two calls. A check
// skipped to keep the password from going unencrypted is told once per run: the user can
// then make the field say TLS.
void SendOperation::checkMailFirst(SendWindow& window, const Settings& settings) {
  PopAccount account{settings.popServer, settings.popUser, settings.popPassword, folder_,
                     plainLogins_.allowed(settings.popServer)};
  const auto check = [&] {
    return GetPOP(account, mail_, [&window](const std::string&) { show(window, SendStage::Stage::CheckingMail); });
  };
  std::optional<mail::MailError> notice = check();
  if (notice && !account.allowPlainLogin && allowsPlainLogin(window, settings.popServer)) {
    account.allowPlainLogin = true;
    notice = check();
  }
  if (notice && !popNoticeGiven_) {
    popNoticeGiven_ = true;
    dialogs_.message(mail::mailErrorText(*notice));
  }
  window.sendStage().on(SendStage::Event::CallEnds);  // whatever it found
}

// The question, where it is still to be asked and the user has not stopped the send.
bool SendOperation::allowsPlainLogin(SendWindow& window, const std::string& popServer) {
  const std::optional<std::string> question = plainLogins_.question(popServer);
  if (!question || window.sendStage().stopRequested()) return false;
  const bool yes = dialogs_.askYesNoDefaultNo(*question, "ぱるぽ");
  const std::string problem = plainLogins_.answer(popServer, yes);
  if (!problem.empty()) fileProblems_.push_back(problem);
  return yes;
}

SendOutcome SendOperation::Parupo(SendWindow& window) {
  fileProblems_.clear();
  window.setSendEnabled(false);  // no second run from the button while this one lasts
  const Settings settings = window.settings();
  if (settings.receiveFirst) checkMailFirst(window, settings);  // whatever it finds, the send goes on
  show(window, SendStage::Stage::Sending);
  // What the user typed as the subject gives way to the date.
  if (auto date = settings.dateSubject(clock_.now())) window.setSubject(*date);

  const ReplyMode mode = settings.replyMode();
  const std::optional<std::string> toList = firstMailRecipients(mode, window.noCopy(), window.recipient(),
                                                                settings.replyTo, settings.dummyAddress);
  if (!toList) return stopForDummyAddress(window);
  vars_.ToList = *toList;
  vars_.ReplyAdr = settings.replyTo;
  vars_.SmtpSv = settings.smtpServer;
  vars_.SubjTxt = window.subject();
  vars_.BodyTxt = window.body();

  const bool sent = sendMail(firstMail(vars_), recipientRefusal(window.recipient()));
  if (!sent && error_->kind == mail::MailErrorKind::PasswordNotGiven) return stopForPassword(window);
  const bool copy = sent && sendsSeparateCopy(mode, window.noCopy());
  if (!copy) window.sendStage().on(sent ? SendStage::Event::CallEnds : SendStage::Event::CallFails);
  // The message log, whether the mail went out or not.
  const std::string logRecipients = settings.saveLog ? logRecipientText(mode, vars_.ToList, vars_.ReplyAdr) : "";
  if (settings.saveLog) {
    const std::string problem = writeMessageLog(folder_, clock_.now(), logRecipients, vars_);
    if (!problem.empty()) fileProblems_.push_back(problem);
  }
  if (!sent) return saveError(window, false);

  if (copy) {
    show(window, SendStage::Stage::SendingCopy);
    const std::string prefix = copySubjectPrefix(readTextLines(folder_ / "PP3.dat"), logRecipients);
    const bool copySent = sendMail(separateCopy(vars_, prefix));
    window.sendStage().on(copySent ? SendStage::Event::CallEnds : SendStage::Event::CallFails);
    if (!copySent) return saveError(window, true);
  }

  window.setCaption(window.sendStage().caption());
  window.setSendEnabled(true);
  window.recordRecipient();
  reportFileProblems();
  if (settings.quitAfterSend) window.endProgram();
  return SendOutcome::Sent;
}

// A mail library that throws instead of returning its error must not leave the send
// button disabled for good: the exception becomes the call's error.
bool SendOperation::sendMail(const MailCall& call, std::optional<mail::MailError> refused) {
  error_ = refused ? std::move(refused) : withoutExceptions(mail::MailProtocol::Smtp, [&] { return mail_.send(call); });
  vars_.SendRet = mail::sendResultText(error_);
  return !error_;
}

SendOutcome SendOperation::stopForDummyAddress(SendWindow& window) {
  window.sendStage().tell(SendOutcome::NotSent);
  dialogs_.message("ダミー送信用アドレスを入力してください");
  window.openSettingsPanel();
  window.setSendEnabled(true);
  window.setCaption(window.sendStage().caption());
  return SendOutcome::NotSent;
}

// The password box was cancelled: nothing went out, and nothing is told or written.
SendOutcome SendOperation::stopForPassword(SendWindow& window) {
  window.sendStage().tell(SendOutcome::NotSent);
  window.setSendEnabled(true);
  window.setCaption(window.sendStage().caption());
  return SendOutcome::NotSent;
}

SendOutcome SendOperation::saveError(SendWindow& window, bool firstMailSent) {
  const mail::MailError error = error_.value_or(mail::unexpectedError(mail::MailProtocol::Smtp));
  if (!window.sendStage().quiet()) {
    dialogs_.message(firstMailSent ? mail::copyErrorMessage(error, vars_.ToList, vars_.ReplyAdr)
                                   : mail::sendErrorMessage(error));
  }
  const std::string written = SaveLogX(folder_ / "error.txt", vars_.SendRet + "\r\n", vars_.ToList, vars_);
  if (!written.empty()) fileProblems_.push_back("エラー記録 (error.txt) を保存できませんでした。\n" + written);
  // A stop the user chose is no error of the settings.
  const bool stopped = mail::isStop(error.kind);
  window.setCaption(stopped ? "送信中止" : window.sendStage().caption());
  window.setSendEnabled(true);
  reportFileProblems();
  return stopped ? SendOutcome::Stopped : SendOutcome::Failed;
}

void SendOperation::reportFileProblems() {
  if (fileProblems_.empty()) return;
  std::string text;
  for (const std::string& p : fileProblems_) text += (text.empty() ? "" : "\n\n") + p;
  dialogs_.message(text);
  fileProblems_.clear();
}

}  // namespace parupo
