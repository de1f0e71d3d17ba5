#include "send/parupo.h"

#include <exception>
#include <system_error>
#include <utility>
#include <vector>

#include "mailcheck/get_pop.h"
#include "platform/field_reader.h"
#include "platform/text_file.h"
#include "send/message_log.h"

namespace parupo {

namespace {

const std::string kTab = "\t";

// A mail library that throws instead of returning its error text must not leave the
// send button disabled for good: the exception becomes the call's error text.
std::string callSendMail(MailLibrary& mail, std::string& server, std::string& recipients,
                         std::string& replyTo, std::string& subject, std::string& body,
                         std::string& attachment, const std::string& sender = "") {
  try {
    return mail.SendMail(server, recipients, replyTo, subject, body, attachment, sender);
  } catch (const std::exception& e) {
    std::string what = e.what();
    return "送信処理で予期しないエラーが発生しました" + (what.empty() ? std::string() : ": " + what);
  } catch (...) {
    return "送信処理で予期しないエラーが発生しました";
  }
}

}  // namespace

SendOperation::SendOperation(MailLibrary& mail, Dialogs& dialogs, const Clock& clock,
                             std::filesystem::path programFolder)
    : mail_(mail), dialogs_(dialogs), clock_(clock), folder_(std::move(programFolder)) {}

SendOutcome SendOperation::Parupo(SendWindow& window) {
  // Problems with the log files never change what the send did: they are collected
  // here and told to the user once the send's outcome is settled.
  std::vector<std::string> fileProblems;

  // SaveError: the library's text in a message box, error.txt, the caption, the button.
  auto saveError = [&](const std::string& ret) {
    if (!window.endsAfterSend()) dialogs_.message(sendErrorMessage(ret));
    const std::string written = SaveLogX(folder_ / "error.txt", ret + "\r\n", vars_.ToList, vars_);
    if (!written.empty()) {
      fileProblems.push_back("エラー記録 (error.txt) を保存できませんでした。\n" + written);
    }
    window.setCaption("送信エラー");
    window.setSendEnabled(true);
  };
  auto reportFileProblems = [&] {
    if (fileProblems.empty()) return;
    std::string text;
    for (const std::string& p : fileProblems) {
      if (!text.empty()) text += "\n\n";
      text += p;
    }
    dialogs_.message(text);
  };

  // No second run from the button while this one lasts.
  window.setSendEnabled(false);

  const Settings settings = window.settings();
  // Whatever the mail check finds, the send goes on.
  if (settings.receiveFirst) {
    GetPOP({settings.popServer, settings.popUser, settings.popPassword, folder_}, mail_,
           [&window](const std::string& caption) { window.setCaption(caption); });
  }
  const ReplyMode mode = settings.replyMode();
  const bool separate = mode == ReplySeparate;

  window.setCaption("送信中");

  // What the user typed as the subject gives way to the date.
  if (auto date = settings.dateSubject(clock_.now())) window.setSubjectText(*date);

  // The recipient list by the reply-to mode, unless Check1 turns the copy off.
  const std::string recipient = window.recipientText();
  vars_.ToList = recipient;
  if (!window.noCopyChecked()) {
    if (mode == ReplySendCopy) {
      vars_.ToList = recipient + kTab + settings.replyTo;
    } else if (mode == ReplyToDummy) {
      if (settings.dummyAddress.find('@') == std::string::npos) {
        dialogs_.message("ダミー送信用アドレスを入力してください");
        window.openSettingsPanel();
        window.setSendEnabled(true);
        window.setCaption(kProgramCaption);
        return SendOutcome::NotSent;
      }
      vars_.ToList = settings.dummyAddress + kTab + recipient + kTab + settings.replyTo;
    }
  }

  vars_.ReplyAdr = settings.replyTo;
  vars_.SmtpSv = settings.smtpServer;
  vars_.SubjTxt = window.subjectText();
  vars_.BodyTxt = window.bodyText();

  // The first mail.
  vars_.SendRet = callSendMail(mail_, vars_.SmtpSv, vars_.ToList, vars_.ReplyAdr, vars_.SubjTxt,
                               vars_.BodyTxt, vars_.TnpPath);

  // The message log, whether the mail went out or not.
  std::string logRecipients;
  if (settings.saveLog) {
    logRecipients = separate ? vars_.ToList + " & " + vars_.ReplyAdr : vars_.ToList;
    const std::filesystem::path logFolder = folder_ / "log";
    std::error_code ec;
    if (!std::filesystem::is_directory(logFolder, ec)) {
      std::filesystem::create_directory(logFolder, ec);
    }
    if (!std::filesystem::is_directory(logFolder, ec)) {
      fileProblems.push_back("送信記録のフォルダー " + logFolder.string() +
                             " を作成できませんでした。" + (ec ? "\n" + ec.message() : ""));
    } else {
      std::error_code nameError;
      const std::filesystem::path file = newMessageLogPath(logFolder, clock_.now(), nameError);
      const std::string written =
          !file.empty() ? SaveLogX(file, "", logRecipients, vars_)
          : nameError   ? "送信記録のフォルダー " + logFolder.string() + " を読み込めませんでした（" +
                            fileErrorReason(nameError.value(), false) + "）"
                        : "同じ時刻の送信記録が多すぎます。";
      if (!written.empty()) {
        fileProblems.push_back("送信記録を保存できませんでした。\n" + written);
      }
    }
  }

  // A failed first mail ends the run here.
  if (!vars_.SendRet.empty()) {
    saveError(vars_.SendRet);
    reportFileProblems();
    return SendOutcome::Failed;
  }

  // The separate mail to the reply-to address.
  if (separate && !window.noCopyChecked()) {
    window.setCaption("返信先へ送信中");
    std::string prefix;
    const std::optional<std::vector<std::string>> pp3 = readTextLines(folder_ / "PP3.dat");
    if (pp3) {
      prefix = firstField(*pp3);
    } else {
      // No PP3.dat (or one that cannot be read): the log's recipient text when a log
      // was asked for, otherwise nothing.
      prefix = logRecipients;
    }
    std::string subject = prefix + vars_.SubjTxt;
    vars_.SendRet = callSendMail(mail_, vars_.SmtpSv, vars_.ReplyAdr, vars_.ToList, subject,
                                 vars_.BodyTxt, vars_.TnpPath, vars_.ReplyAdr);
    if (!vars_.SendRet.empty()) {
      saveError(vars_.SendRet);
      reportFileProblems();
      return SendOutcome::Failed;
    }
  }

  window.setCaption("送信完了");
  window.setSendEnabled(true);
  window.recordRecipient();
  reportFileProblems();

  if (settings.quitAfterSend) window.endProgram();
  return SendOutcome::Sent;
}

}  // namespace parupo
