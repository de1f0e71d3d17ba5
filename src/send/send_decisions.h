// The decisions of a send, each a function of plain values: who gets the first mail,
// whether a separate copy goes to the user's own address and what it looks like, and
// the recipient text of the message log. `Parupo` (parupo.h) calls them in order; a
// change of what a send does starts here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "mailapi/mail_library.h"

namespace parupo {

// The send variables of the main window; they keep the values of the last send.
struct SendVariables {
  std::string SendRet;  // result of the last send, as text (sendResultText); empty: sent
  std::string SmtpSv;
  std::string ToList;  // recipients; a TAB parts only what the reply-to modes add
  std::string ReplyAdr;
  std::string SubjTxt;
  std::string BodyTxt;
  std::string TnpPath;  // attachment; empty: none. Set only by the attachment choice.
};

// What the first mail goes to (ToList): Text1, and unless Check1 (noCopy) is ticked,
// by the reply-to mode the reply-to address ("コピーを送る": Text1, TAB, reply-to) or
// the dummy and the reply-to address ("ダミーに送る": dummy, TAB, Text1, TAB, reply-to).
// Nothing when the dummy mode has a dummy address without "@": then nothing is sent.
// The library names in To: only what stands before the first TAB, so a TAB the user
// typed or pasted into Text1 (cells of a spreadsheet) becomes ", ": every address of
// the box stays named, and only what the reply-to modes add goes blind.
std::optional<std::string> firstMailRecipients(ReplyMode mode, bool noCopy, const std::string& recipient,
                                               const std::string& replyTo, const std::string& dummyAddress);

// Why the first mail goes nowhere: a Text1 that names nobody (empty, or blanks and
// separators alone) is refused as RecipientMissing in every reply mode, the dummy mode
// too, whose dummy address would otherwise carry the mail to the user alone. Nothing
// when Text1 names someone; an entry that is no address is left to the library.
std::optional<mail::MailError> recipientRefusal(const std::string& recipient);

// The first mail: the send variables as they stand.
MailCall firstMail(const SendVariables& v);

// Whether a second, separate mail goes to the user's own address ("別々に送る", Check1 off).
bool sendsSeparateCopy(ReplyMode mode, bool noCopy);

// The recipient text of the message log: ToList, and " & " and the reply-to address in
// the mode "別々に送る" (even when Check1 kept the copy back).
std::string logRecipientText(ReplyMode mode, const std::string& toList, const std::string& replyTo);

// The subject prefix of the separate copy: PP3.dat's first field when the file could be
// read (its lines), otherwise the message log's recipient text when a log was asked
// for (empty when not).
std::string copySubjectPrefix(const std::optional<std::vector<std::string>>& pp3Lines,
                              const std::string& logRecipients);

// The separate copy: to the reply-to address, answered by the first mail's recipients,
// the prefix before the subject, sent under the user's own address.
MailCall separateCopy(const SendVariables& v, const std::string& prefix);

// The question that Esc or the close box asks during a send. Once the whole message has
// been handed over, the server may accept it whatever the answer: the question says so.
std::string stopQuestion(bool messageHandedOver);

}  // namespace parupo
