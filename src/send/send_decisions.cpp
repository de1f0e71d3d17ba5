#include "send/send_decisions.h"

#include "platform/field_reader.h"

namespace parupo {

namespace {

const std::string kTab = "\t";

}  // namespace

std::optional<std::string> firstMailRecipients(ReplyMode mode, bool noCopy, const std::string& recipient,
                                               const std::string& replyTo, const std::string& dummyAddress) {
  if (noCopy) return recipient;  // the dummy address is not even looked at
  if (mode == ReplySendCopy) return recipient + kTab + replyTo;
  if (mode != ReplyToDummy) return recipient;
  if (dummyAddress.find('@') == std::string::npos) return std::nullopt;
  return dummyAddress + kTab + recipient + kTab + replyTo;
}

MailCall firstMail(const SendVariables& v) {
  return {.server = v.SmtpSv, .recipients = v.ToList, .replyTo = v.ReplyAdr, .subject = v.SubjTxt,
          .body = v.BodyTxt, .attachment = v.TnpPath, .sender = ""};
}

bool sendsSeparateCopy(ReplyMode mode, bool noCopy) { return mode == ReplySeparate && !noCopy; }

std::string logRecipientText(ReplyMode mode, const std::string& toList, const std::string& replyTo) {
  return mode == ReplySeparate ? toList + " & " + replyTo : toList;
}

std::string copySubjectPrefix(const std::optional<std::vector<std::string>>& pp3Lines,
                              const std::string& logRecipients) {
  return pp3Lines ? firstField(*pp3Lines) : logRecipients;
}

MailCall separateCopy(const SendVariables& v, const std::string& prefix) {
  return {.server = v.SmtpSv, .recipients = v.ReplyAdr, .replyTo = v.ToList, .subject = prefix + v.SubjTxt,
          .body = v.BodyTxt, .attachment = v.TnpPath, .sender = v.ReplyAdr};
}

std::string stopQuestion(bool messageHandedOver) {
  return messageHandedOver ? "サーバーの応答を待っています。中止してもメールは届いている場合があります。中止しますか？"
                           : "送信を中止しますか？";
}

}  // namespace parupo
