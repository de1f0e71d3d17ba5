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
  return {v.SmtpSv, v.ToList, v.ReplyAdr, v.SubjTxt, v.BodyTxt, v.TnpPath, ""};
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
  return {v.SmtpSv, v.ReplyAdr, v.ToList, prefix + v.SubjTxt, v.BodyTxt, v.TnpPath, v.ReplyAdr};
}

void keepCallArguments(const MailCall& call, bool separateCopy, SendVariables& v) {
  v.SmtpSv = call.server;
  v.BodyTxt = call.body;
  v.TnpPath = call.attachment;
  if (separateCopy) {
    v.ReplyAdr = call.recipients;
    v.ToList = call.replyTo;
    return;
  }
  v.ToList = call.recipients;
  v.ReplyAdr = call.replyTo;
  v.SubjTxt = call.subject;
}

}  // namespace parupo
