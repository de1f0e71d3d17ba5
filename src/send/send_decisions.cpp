#include "send/send_decisions.h"

#include <variant>

#include "mailapi/mail_address.h"
#include "platform/field_reader.h"

namespace parupo {

namespace {

const std::string kTab = "\t";

// Text1 as it goes into ToList: its TABs separate as commas do.
std::string typedRecipients(const std::string& recipient) {
  std::string out;
  for (char c : recipient) out += c == '\t' ? std::string(", ") : std::string(1, c);
  return out;
}

}  // namespace

std::optional<std::string> firstMailRecipients(ReplyMode mode, bool noCopy, const std::string& recipient,
                                               const std::string& replyTo, const std::string& dummyAddress) {
  const std::string typed = typedRecipients(recipient);
  if (noCopy) return typed;  // the dummy address is not even looked at
  if (mode == ReplySendCopy) return typed + kTab + replyTo;
  if (mode != ReplyToDummy) return typed;
  if (dummyAddress.find('@') == std::string::npos) return std::nullopt;
  return dummyAddress + kTab + typed + kTab + replyTo;
}

std::optional<mail::MailError> recipientRefusal(const std::string& recipient) {
  const auto parsed = mail::parseAddressList(recipient);
  const auto* list = std::get_if<std::vector<mail::Mailbox>>(&parsed);
  if (list == nullptr || !list->empty()) return std::nullopt;
  return mail::MailError{.kind = mail::MailErrorKind::RecipientMissing};
}

MailCall firstMail(const SendVariables& v) {
  return {.server = v.SmtpSv,
          .recipients = v.ToList,
          .replyTo = v.ReplyAdr,
          .subject = v.SubjTxt,
          .body = v.BodyTxt,
          .attachment = v.TnpPath,
          .sender = ""};
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
  return {.server = v.SmtpSv,
          .recipients = v.ReplyAdr,
          .replyTo = v.ToList,
          .subject = prefix + v.SubjTxt,
          .body = v.BodyTxt,
          .attachment = v.TnpPath,
          .sender = v.ReplyAdr};
}

std::string stopQuestion(bool messageHandedOver) {
  return messageHandedOver ? "サーバーの応答を待っています。中止してもメールは届いている場合があります。中止しますか？"
                           : "送信を中止しますか？";
}

}  // namespace parupo
