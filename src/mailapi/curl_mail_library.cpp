#include "mailapi/curl_mail_library.h"

#include <cctype>
#include <cstdint>
#include <memory>
#include <optional>
#include <variant>

#include "mailapi/curl_api.h"
#include "mailapi/hello_name.h"
#include "mailapi/kept_connection.h"
#include "mailapi/mail_address.h"
#include "mailapi/mail_error.h"
#include "mailapi/mime_writer.h"
#include "mailapi/server_address.h"
#include "mailapi/socket_cut_off.h"
#include "mailapi/text_encoding.h"
#include "mailapi/tls_trust.h"
#include "mailapi/transfer_watch.h"
#include "platform/text_util.h"

namespace parupo {

namespace {

using mail::CurlApi;
using mail::KeptConnection;
using mail::MailError;
using mail::MailErrorKind;
using mail::MailProtocol;
using mail::ServerAddress;
using mail::Stopping;

struct ListDeleter {
  const CurlApi* api;
  void operator()(curl_slist* l) const { api->slist_free_all(l); }
};

// What one transfer saw of the server: its last refusal (a 4xx/5xx reply for SMTP, an
// -ERR line for POP3), kept whole when it ran over several lines.
struct Transcript {
  std::string partial;  // an unfinished line
  std::string reply;    // lines of the SMTP reply being read
  std::string lastRefusal;
  int replies = 0;  // complete SMTP replies seen

  void feed(std::string_view data) {
    partial.append(data);
    for (;;) {
      std::size_t nl = partial.find('\n');
      if (nl == std::string::npos) break;
      std::string line = partial.substr(0, nl);
      partial.erase(0, nl + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      onLine(line);
    }
  }

  void onLine(const std::string& line) {
    if (line.starts_with("-ERR")) {
      lastRefusal = mail::printable(line, 400);
      return;
    }
    bool coded = line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
                 std::isdigit(static_cast<unsigned char>(line[1])) && std::isdigit(static_cast<unsigned char>(line[2]));
    if (!coded) return;
    bool more = line.size() > 3 && line[3] == '-';
    if (!reply.empty()) reply += ' ';
    reply += more ? line.substr(0, 3) + " " + line.substr(4) : line;
    if (more) return;
    if (line[0] == '4' || line[0] == '5') lastRefusal = mail::printable(reply, 400);
    reply.clear();
    ++replies;
  }
};

int onDebug(CURL*, curl_infotype type, char* data, std::size_t size, void* user) {
  if (type == CURLINFO_HEADER_IN) {
    static_cast<Transcript*>(user)->feed(std::string_view(data, size));
  }
  return 0;
}

// The message as libcurl reads it, and whether its last byte has gone: after that only
// the end of data is sent and the server's answer awaited, and the server may accept the
// message however the transfer ends.
struct MessageSource {
  mail::MessageStream& message;
  TransferWatch* watch;
  std::uint64_t given = 0;
  bool handedOver = false;
};

std::size_t onRead(char* buffer, std::size_t size, std::size_t count, void* user) {
  auto* source = static_cast<MessageSource*>(user);
  const std::size_t n = source->message.read(buffer, size * count);
  if (n == 0 && !source->message.ok()) return CURL_READFUNC_ABORT;
  source->given += n;
  // libcurl reads no further than the size it was told, so the last bytes are the end.
  if ((n == 0 || source->given >= source->message.size()) && !source->handedOver) {
    source->handedOver = true;
    if (source->watch != nullptr) source->watch->messageHandedOver();
  }
  return n;
}

std::size_t onWrite(char*, std::size_t size, std::size_t count, void*) { return size * count; }

// Which kept connection a transfer may go over: the same server, EHLO name and login.
std::string connectionKey(const ServerAddress& server, MailProtocol protocol) {
  return server.curlUrl(protocol, server.helloName) + '\n' + server.user + '\n' + server.password;
}

// One libcurl transfer to a mail server, set up with what every transfer shares, over
// the connection kept from the last transfer to the same server and login when there is one.
struct Transfer {
  const CurlApi& api;
  KeptConnection::Lease lease;
  CURL* const easy;
  char errorBuffer[CURL_ERROR_SIZE] = {};
  Transcript transcript;
  const ServerAddress& server;
  const MailProtocol protocol;
  const bool mustEncrypt;       // a password or the submission port: nothing in clear
  const std::string trustFile;  // the certificates trusted besides the system's, if it exists
  bool trustFileRead = false;   // it exists, and libcurl was given it
  const Stopping stopping;

  Transfer(const CurlApi& curl, KeptConnection& connection, const ServerAddress& to, MailProtocol p,
           const CurlMailOptions& options, bool encrypt, Stopping stop)
      : api(curl),
        lease(connection.take(curl, connectionKey(to, p))),
        easy(lease.easy()),
        server(to),
        protocol(p),
        mustEncrypt(encrypt),
        trustFile(options.caFile.empty() ? "cacert.pem" : options.caFile),
        stopping(stop) {
    if (easy == nullptr) return;
    CURL* c = easy;
    const bool smtp = protocol == MailProtocol::Smtp;
    // The EHLO name is worked out (a name lookup) once per connection, not per message.
    std::string& url = lease.memo();
    if (url.empty()) {
      const std::string hello = !smtp || !server.helloName.empty() ? server.helloName
                                                                   : mail::helloName(server.host, server.port);
      url = server.curlUrl(protocol, hello);
    }
    api.easy_setopt(c, CURLOPT_URL, url.c_str());
    api.easy_setopt(c, CURLOPT_PROTOCOLS_STR, smtp ? "smtp,smtps" : "pop3,pop3s");
    api.easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    api.easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
    api.easy_setopt(c, CURLOPT_VERBOSE, 1L);
    api.easy_setopt(c, CURLOPT_DEBUGFUNCTION, onDebug);
    api.easy_setopt(c, CURLOPT_DEBUGDATA, &transcript);
    api.easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
    api.easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                    static_cast<long>((options.responseTimeout.count() + 999) / 1000));
    api.easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, options.lowSpeedLimit);
    api.easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>(options.lowSpeedTime.count()));
    // STARTTLS (STLS) whenever the server offers it; TLS from the start for smtps/pop3s.
    // Where it must encrypt, without TLS nothing more is sent: no USER or AUTH, no MAIL FROM.
    if (!server.tlsFromStart) api.easy_setopt(c, CURLOPT_USE_SSL, mustEncrypt ? CURLUSESSL_ALL : CURLUSESSL_TRY);
    // The trust file adds to the system's store, whatever CA file and folder libcurl was built with.
    trustFileRead = mail::giveTrustFile(api, c, options.caFile, options.builtInTrust.value_or(mail::builtInTrust(api)));
    mail::watchServerCertificate(api, c);
    stopping.attach(api, c);
  }
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // Nothing when the transfer went through, otherwise what went wrong.
  [[nodiscard]] std::optional<MailError> perform();
};

// What kind of failure libcurl's code means; a cut-off after the server refused
// something is that refusal.
MailErrorKind failureKind(CURLcode code, const Transfer& t) {
  using enum MailErrorKind;
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST: return HostNotFound;
    case CURLE_COULDNT_CONNECT: return ConnectFailed;
    case CURLE_OPERATION_TIMEDOUT: return TimedOut;
    case CURLE_LOGIN_DENIED: return LoginRefused;
    case CURLE_PEER_FAILED_VERIFICATION: {
      long verifyResult = -1;
      t.api.easy_getinfo(t.easy, CURLINFO_SSL_VERIFYRESULT, &verifyResult);
      return mail::certificateFailure(verifyResult, t.errorBuffer);
    }
    case CURLE_USE_SSL_FAILED:  // only where it must encrypt: the POP password, a login, port 587
      if (t.protocol == MailProtocol::Pop3) return PopCheckSkippedForPassword;
      return t.server.hasLogin ? StartTlsMissingForLogin : StartTlsMissingOnSubmission;
    case CURLE_SSL_CACERT_BADFILE: return t.trustFileRead ? TrustFileUnreadable : TlsFailed;
    case CURLE_SSL_CONNECT_ERROR: return TlsFailed;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_QUOTE_ERROR: return t.transcript.lastRefusal.empty() ? ConnectionCut : Refused;
    default: return TransferFailed;
  }
}

// A failed transfer: its kind, the server it names, its own last refusal, and libcurl's words.
MailError describeFailure(CURLcode code, const Transfer& t) {
  MailError error{.kind = failureKind(code, t), .protocol = t.protocol, .serverReply = t.transcript.lastRefusal};
  using enum MailErrorKind;
  if (error.kind == HostNotFound || error.kind == CertificateNameMismatch) error.about = t.server.host;
  if (error.kind == ConnectFailed || error.kind == TimedOut || error.kind == StartTlsMissingOnSubmission) {
    error.about = t.server.display();
  }
  if (error.kind == CertificateUntrusted || error.kind == TrustFileUnreadable) error.about = t.trustFile;
  const std::string detail = t.errorBuffer[0] != '\0' ? std::string(t.errorBuffer)
                                                      : std::string(t.api.easy_strerror(code));
  error.detail = mail::printable(detail, 300);
  // The certificate's own fingerprint, which the user compares with the one the provider publishes.
  if (error.kind == CertificateUntrusted) error.detail = mail::shownCertificateFingerprint();
  return error;
}

std::optional<MailError> Transfer::perform() {
  CURLcode code = api.easy_perform(easy);
  // A kept connection that the server closed just as this transfer began fails before
  // the server answered anything, so nothing of the message can have been accepted:
  // the transfer goes again, once, over a new connection.
  long newConnections = -1;
  const bool cutOff = code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR || code == CURLE_GOT_NOTHING;
  if (cutOff && transcript.replies == 0 && !stopping.requested() &&
      api.easy_getinfo(easy, CURLINFO_NUM_CONNECTS, &newConnections) == CURLE_OK && newConnections == 0) {
    errorBuffer[0] = '\0';
    code = api.easy_perform(easy);
  }
  if (code == CURLE_OK) return std::nullopt;
  // A transfer that went through before the stop could take effect has sent its message.
  if (stopping.requested()) return MailError{.kind = MailErrorKind::Stopped, .protocol = protocol};
  return describeFailure(code, *this);
}

// The message and its envelope set on the transfer; nothing when that worked.
std::optional<MailError> prepareMessage(Transfer& t, const mail::Envelope& envelope, MessageSource& source,
                                        std::unique_ptr<curl_slist, ListDeleter>& rcpt) {
  const CurlApi& api = t.api;
  CURL* c = t.easy;
  if (t.server.hasLogin) {
    api.easy_setopt(c, CURLOPT_USERNAME, t.server.user.c_str());
    api.easy_setopt(c, CURLOPT_PASSWORD, t.server.password.c_str());
  }
  // The envelope carries the bare addresses; the names are for the headers.
  const std::string mailFrom = "<" + envelope.sender.address + ">";
  api.easy_setopt(c, CURLOPT_MAIL_FROM, mailFrom.c_str());  // libcurl keeps its own copy
  // The blind copies are in the envelope alone: no header names them.
  for (const std::string& address : mail::deliveryAddresses(envelope)) {
    curl_slist* next = api.slist_append(rcpt.get(), ("<" + address + ">").c_str());
    if (next == nullptr) return MailError{.kind = MailErrorKind::OutOfMemory};
    rcpt.release();
    rcpt.reset(next);
  }
  api.easy_setopt(c, CURLOPT_MAIL_RCPT, rcpt.get());
  api.easy_setopt(c, CURLOPT_UPLOAD, 1L);
  // Declared in MAIL FROM (SIZE=) where the server takes it: a message too large is
  // refused before its upload.
  api.easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(source.message.size()));
  api.easy_setopt(c, CURLOPT_READFUNCTION, onRead);
  api.easy_setopt(c, CURLOPT_READDATA, &source);
  return std::nullopt;
}

std::optional<MailError> sendMail(const CurlApi& api, KeptConnection& connection, const CurlMailOptions& options,
                                  Stopping stopping, const MailCall& call) {
  auto parsed = mail::parseServerAddress(call.server, MailProtocol::Smtp);
  if (auto* error = std::get_if<MailError>(&parsed)) return *error;
  const ServerAddress& server = std::get<ServerAddress>(parsed);

  auto addresses = mail::readEnvelope(call.recipients, call.replyTo, call.sender);
  if (auto* error = std::get_if<MailError>(&addresses)) return *error;
  const mail::Envelope& envelope = std::get<mail::Envelope>(addresses);

  mail::MessageParts parts;
  parts.from = envelope.sender;
  parts.replyTo = envelope.replyTo;
  parts.to = envelope.recipients;
  parts.subject = call.subject;
  parts.body = call.body;
  if (!call.attachment.empty()) parts.attachment = call.attachment;
  mail::MessageStream message(std::move(parts));
  if (!message.ok()) return message.failure();

  // A login, and the submission port (RFC 8314), never go in clear.
  constexpr int kSubmissionPort = 587;
  Transfer t(api, connection, server, MailProtocol::Smtp, options, server.hasLogin || server.port == kSubmissionPort,
             stopping);
  if (t.easy == nullptr) return MailError{.kind = MailErrorKind::TransferSetupFailed};
  std::unique_ptr<curl_slist, ListDeleter> rcpt(nullptr, ListDeleter{&api});
  MessageSource source{message, stopping.watch};
  if (auto error = prepareMessage(t, envelope, source, rcpt)) return error;
  const TransferWatch::Upload upload(stopping.watch, message.size());
  std::optional<MailError> failure = t.perform();
  if (!message.ok()) return message.failure();
  // Stopped while the server's answer to the whole message was awaited: it may have it.
  if (failure && failure->kind == MailErrorKind::Stopped && source.handedOver) {
    failure->kind = MailErrorKind::StoppedAfterUpload;
  }
  return failure;
}

std::optional<MailError> rcvMail(const CurlApi& api, KeptConnection& connection, const CurlMailOptions& options,
                                 Stopping stopping, const PopCall& call) {
  using enum MailErrorKind;
  constexpr MailProtocol kPop3 = MailProtocol::Pop3;
  auto parsed = mail::parseServerAddress(call.server, kPop3);
  if (auto* error = std::get_if<MailError>(&parsed)) return *error;
  const ServerAddress& server = std::get<ServerAddress>(parsed);

  std::string user = server.user;
  std::string pass = server.password;
  if (!call.user.empty()) {
    user = call.user;
    pass = call.password;
  }
  if (hasControl(user) || hasControl(pass)) return MailError{.kind = ServerLoginControlCharacters, .protocol = kPop3};
  std::string command(trimBlanks(call.command, Blanks::WithIdeographic));
  if (command.empty()) command = "STAT";
  if (hasControl(command) || !mail::isAscii(command)) {
    return MailError{.kind = PopBadCommand, .protocol = kPop3, .about = mail::printable(command)};
  }

  // The password only over TLS, as the SMTP login: without STLS the check stops before USER,
  // unless the user let this server have it in clear (STLS is still taken when offered).
  Transfer t(api, connection, server, kPop3, options, !pass.empty() && !call.allowPlainLogin, stopping);
  if (t.easy == nullptr) return MailError{.kind = TransferSetupFailed, .protocol = kPop3};
  CURL* c = t.easy;
  if (!user.empty()) {
    api.easy_setopt(c, CURLOPT_USERNAME, user.c_str());
    api.easy_setopt(c, CURLOPT_PASSWORD, pass.c_str());
  }
  api.easy_setopt(c, CURLOPT_CUSTOMREQUEST, command.c_str());
  // STAT answers with one line, not a listing.
  api.easy_setopt(c, CURLOPT_NOBODY, 1L);
  api.easy_setopt(c, CURLOPT_WRITEFUNCTION, onWrite);
  return t.perform();
}

}  // namespace

// Nothing of libcurl is loaded here: the program starts without it.
CurlMailLibrary::CurlMailLibrary(CurlMailOptions options)
    : options_(std::move(options)),
      sockets_(std::make_unique<mail::SocketCutOff>()),
      smtp_(std::make_unique<KeptConnection>(options_.keepConnection)),
      pop_(std::make_unique<KeptConnection>(std::chrono::milliseconds::zero())) {}

CurlMailLibrary::~CurlMailLibrary() { setTransferWatch(nullptr); }

void CurlMailLibrary::closeConnections() { smtp_->close(); }

void CurlMailLibrary::setTransferWatch(TransferWatch* watch) {
  if (watch_ != nullptr) watch_->onStop({});
  watch_ = watch;
  if (watch_ == nullptr) return;
  watch_->onStop([sockets = sockets_.get()](bool stopping) { stopping ? sockets->cutOff() : sockets->resume(); });
}

std::optional<MailError> CurlMailLibrary::send(const MailCall& call) {
  return withoutExceptions(MailProtocol::Smtp, [&]() -> std::optional<MailError> {
    MailError unavailable;
    const CurlApi* api = mail::curlApi(unavailable);
    if (api == nullptr) return unavailable;
    const Stopping stopping{*sockets_, watch_};
    if (stopping.requested()) return MailError{.kind = MailErrorKind::Stopped};
    return sendMail(*api, *smtp_, options_, stopping, call);
  });
}

std::optional<MailError> CurlMailLibrary::receive(const PopCall& call) {
  return withoutExceptions(MailProtocol::Pop3, [&]() -> std::optional<MailError> {
    MailError unavailable;
    const CurlApi* api = mail::curlApi(unavailable);
    if (api == nullptr) return unavailable;
    const Stopping stopping{*sockets_, watch_};
    if (stopping.requested()) return MailError{.kind = MailErrorKind::Stopped, .protocol = MailProtocol::Pop3};
    return rcvMail(*api, *pop_, options_, stopping, call);
  });
}

}  // namespace parupo
