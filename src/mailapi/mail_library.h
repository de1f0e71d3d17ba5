// The boundary to the mail library. The send operation and the mail check call only
// this interface; CurlMailLibrary is the real one, tests use a recording fake.
#pragma once

#include <string>

namespace parupo {

class TransferWatch;

class MailLibrary {
 public:
  virtual ~MailLibrary() = default;

  // Sends one message to the recipients through the given server, with the optional
  // attachment (empty path: none). Recipients are separated by TAB, ",", "、" or ";",
  // each `address` or `Name <address>`; those before the first TAB are named in To:,
  // those after it get the mail blind (no header names them). The sender sends the mail and replyTo is
  // answered; with an empty sender, replyTo (one address) is both, as usual. The
  // separate copy to oneself swaps recipients and replyTo, so it names the user as
  // sender: it then goes out under the user's address, not the recipient's.
  // Texts are UTF-8 as they stand in the window. Returns empty text when the message
  // was sent, otherwise a description of the failure fit to show the user; a bad
  // address fails before anything is sent. The arguments are passed by reference as
  // the old library took them; an implementation may leave them unchanged.
  virtual std::string SendMail(std::string& server, std::string& recipients, std::string& replyTo,
                               std::string& subject, std::string& body,
                               std::string& attachmentPath, const std::string& sender) = 0;

  // Logs in to the POP server, sends the command (STAT) and quits. Never throws; the
  // result (empty on success, otherwise a description) is for tests and diagnostics:
  // the program discards it.
  virtual std::string RcvMail(std::string& popServer, std::string& user, std::string& password,
                              std::string& command, std::string& folder) = 0;

  // The watch later calls report their upload to and take a stop from, until another
  // (or none) is set; it must outlive the library or be unset first. A call stopped by
  // it fails with the reason "送信を中止しました（メールは送られていません）". A library that
  // cannot be stopped ignores it.
  virtual void setTransferWatch(TransferWatch* watch) { (void)watch; }
};

}  // namespace parupo
