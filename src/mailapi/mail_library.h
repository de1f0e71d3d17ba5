// The boundary to the mail library. The send operation and the mail check call only
// this interface; CurlMailLibrary is the real one, tests use a recording fake. One value
// goes in, and what went wrong comes back as a kind; the sentence is made at the edge
// that shows it (mailErrorText, sendResultText).
#pragma once

#include <exception>
#include <optional>
#include <string>

#include "mailapi/mail_error.h"

namespace parupo {

class TransferWatch;

// One message to send. Texts are UTF-8 as they stand in the window.
struct MailCall {
  std::string server = {};  // host, host:port or an smtp:// / smtps:// URL
  // Separated by TAB, ",", "、" or ";", each `address` or `Name <address>`; those before
  // the first TAB are named in To:, those after it get the mail blind.
  std::string recipients = {};
  std::string replyTo = {};  // who is answered
  std::string subject = {};
  std::string body = {};
  std::string attachment = {};  // a file's path; empty: none
  // Who sends it; empty: replyTo (one address) is both, as usual. The separate copy to
  // oneself names the user here, so that it goes out under the user's address.
  std::string sender = {};
  bool operator==(const MailCall&) const = default;
};

// One mail check: log in to the POP server, send the command, quit.
struct PopCall {
  std::string server = {};  // host, host:port or a pop3:// / pop3s:// URL
  std::string user = {};    // empty: the URL's login, if any
  std::string password = {};
  std::string command = "STAT";
  std::string folder = {};  // the program folder, without a trailing separator
  // The user agreed that this server, which offers no STLS, gets the password in clear.
  // STLS is still used whenever the server offers it.
  bool allowPlainLogin = false;
  bool operator==(const PopCall&) const = default;
};

class MailLibrary {
 public:
  virtual ~MailLibrary() = default;

  // Sends one message; nothing when it was sent, otherwise what went wrong. A bad
  // address fails before anything is sent. A call stopped through the watch fails as
  // Stopped, or as StoppedAfterUpload once the whole message had been handed over (the
  // server may have it).
  [[nodiscard]] virtual std::optional<mail::MailError> send(const MailCall& call) = 0;

  // Logs in to the POP server, sends the command and quits; nothing when that went
  // through. A password goes only over TLS unless the call allows it in clear: without
  // STLS the call then stops before USER, as PopCheckSkippedForPassword, the one kind
  // the program uses.
  [[nodiscard]] virtual std::optional<mail::MailError> receive(const PopCall& call) = 0;

  // The watch later calls report their upload to and take a stop from, until another
  // (or none) is set; it must outlive the library or be unset first. A library that
  // cannot be stopped ignores it.
  virtual void setTransferWatch(TransferWatch* watch) { (void)watch; }
};

// A call of the library whose exception (a library that throws instead of returning its
// error) comes back as MailError{Unexpected} of that protocol.
template <typename Call>
std::optional<mail::MailError> withoutExceptions(mail::MailProtocol protocol, Call&& call) {
  try {
    return call();
  } catch (const std::exception& e) {
    return mail::unexpectedError(protocol, e.what());
  } catch (...) {
    return mail::unexpectedError(protocol);
  }
}

}  // namespace parupo
