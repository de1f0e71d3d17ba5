// The real mail library: SMTP and POP3 through libcurl, the message composed by our
// own MIME writer.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "mailapi/mail_error.h"
#include "mailapi/mail_library.h"
#include "mailapi/tls_trust.h"

namespace parupo {

namespace mail {
class KeptConnection;
class SocketCutOff;
}  // namespace mail

struct CurlMailOptions {
  // Time allowed to connect (TLS from the start included).
  std::chrono::milliseconds connectTimeout{30000};
  // Time allowed for each answer of the server.
  std::chrono::milliseconds responseTimeout{60000};
  // A transfer slower than lowSpeedLimit bytes per second for lowSpeedTime is given up.
  // There is no limit on the total time, which would cut off large attachments.
  long lowSpeedLimit = 1;
  std::chrono::seconds lowSpeedTime{60};
  // Certificates trusted in addition to the system's store, when this file exists: the
  // program folder's cacert.pem (a server's own certificate, or a private authority's).
  // Verification is never switched off.
  std::string caFile;
  // What libcurl trusts by itself (its CA folder and bundle), as curl_version_info reports
  // it unless set here: a test stands in a libcurl built with a CA bundle only.
  std::optional<mail::BuiltInTrust> builtInTrust;
  // How long the connection to the SMTP server stays open after a send, for the next
  // send to the same server and login (QUIT after that); zero: closed after each send.
  std::chrono::milliseconds keepConnection{5000};
};

// libcurl is loaded by the first send or receive, not before. Destroying the library
// closes a kept SMTP connection with QUIT.
class CurlMailLibrary : public MailLibrary {
 public:
  explicit CurlMailLibrary(CurlMailOptions options = {});
  ~CurlMailLibrary() override;

  [[nodiscard]] std::optional<mail::MailError> send(const MailCall& call) override;
  [[nodiscard]] std::optional<mail::MailError> receive(const PopCall& call) override;

  // Reports each upload's bytes to the watch, and cuts the transfer off when it asks to stop.
  void setTransferWatch(TransferWatch* watch) override;

  // Closes a kept SMTP connection now (QUIT), for a program that ends without
  // destroying its objects.
  void closeConnections();

 private:
  CurlMailOptions options_;
  TransferWatch* watch_ = nullptr;
  std::unique_ptr<mail::SocketCutOff> sockets_;  // outlives the connections below
  std::unique_ptr<mail::KeptConnection> smtp_;
  std::unique_ptr<mail::KeptConnection> pop_;  // never kept: a mail check logs in and out
};

}  // namespace parupo
