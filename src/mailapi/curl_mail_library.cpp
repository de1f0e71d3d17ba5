#include "mailapi/curl_mail_library.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>
#include <mutex>
#include <variant>

#include "mailapi/hello_name.h"
#include "mailapi/mail_address.h"
#include "mailapi/mime_writer.h"
#include "mailapi/server_address.h"
#include "mailapi/text_encoding.h"
#include "platform/text_util.h"

namespace parupo {

namespace {

using mail::MailProtocol;
using mail::ServerAddress;

void initCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct ListDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// What one transfer saw of the server: its last refusal (a 4xx/5xx reply for SMTP, an
// -ERR line for POP3), kept whole when it ran over several lines.
struct Transcript {
  std::string partial;   // an unfinished line
  std::string reply;     // lines of the SMTP reply being read
  std::string lastRefusal;

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
                 std::isdigit(static_cast<unsigned char>(line[1])) &&
                 std::isdigit(static_cast<unsigned char>(line[2]));
    if (!coded) return;
    bool more = line.size() > 3 && line[3] == '-';
    if (!reply.empty()) reply += ' ';
    reply += more ? line.substr(0, 3) + " " + line.substr(4) : line;
    if (more) return;
    if (line[0] == '4' || line[0] == '5') lastRefusal = mail::printable(reply, 400);
    reply.clear();
  }
};

int onDebug(CURL*, curl_infotype type, char* data, std::size_t size, void* user) {
  if (type == CURLINFO_HEADER_IN) {
    static_cast<Transcript*>(user)->feed(std::string_view(data, size));
  }
  return 0;
}

std::size_t onRead(char* buffer, std::size_t size, std::size_t count, void* user) {
  auto* stream = static_cast<mail::MessageStream*>(user);
  std::size_t n = stream->read(buffer, size * count);
  if (n == 0 && !stream->ok()) return CURL_READFUNC_ABORT;
  return n;
}

std::size_t onWrite(char*, std::size_t size, std::size_t count, void*) { return size * count; }

// One libcurl transfer to a mail server, set up with what every transfer shares.
struct Transfer {
  std::unique_ptr<CURL, EasyDeleter> easy;
  char errorBuffer[CURL_ERROR_SIZE] = {};
  Transcript transcript;
  const ServerAddress& server;
  const MailProtocol protocol;

  Transfer(const ServerAddress& to, MailProtocol p, const CurlMailOptions& options)
      : server(to), protocol(p) {
    initCurlOnce();
    easy.reset(curl_easy_init());
    if (!easy) return;
    CURL* c = easy.get();
    const bool smtp = protocol == MailProtocol::Smtp;
    const std::string hello = !smtp || !server.helloName.empty() ? server.helloName
                                                                 : mail::helloName(server.host, server.port);
    curl_easy_setopt(c, CURLOPT_URL, server.curlUrl(protocol, hello).c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR,
                     protocol == MailProtocol::Smtp ? "smtp,smtps" : "pop3,pop3s");
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, onDebug);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, &transcript);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     static_cast<long>((options.responseTimeout.count() + 999) / 1000));
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, options.lowSpeedLimit);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>(options.lowSpeedTime.count()));
    // STARTTLS (STLS) whenever the server offers it; TLS from the start for smtps/pop3s.
    // An SMTP login never goes in clear: without TLS nothing is sent. (POP-before-SMTP
    // servers are often plain, so POP only takes TLS when offered.)
    const long tls = smtp && server.hasLogin ? CURLUSESSL_ALL : CURLUSESSL_TRY;
    if (!server.tlsFromStart) curl_easy_setopt(c, CURLOPT_USE_SSL, tls);
    if (!options.caFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, options.caFile.c_str());
  }
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // Empty text when the transfer went through, otherwise what went wrong.
  std::string perform();
};

// What an SMTP refusal means, in the user's words, when its codes say so clearly
// ("552 5.3.4 Message size exceeds fixed limit"); the enhanced code decides when there is one.
std::string refusalMeaning(const std::string& reply) {
  const std::string basic = reply.substr(0, 3);
  std::string enhanced = reply.size() > 4 ? reply.substr(4, reply.find(' ', 4) - 4) : "";
  if (enhanced.size() < 5 || enhanced[1] != '.') enhanced.clear();
  if (enhanced == "5.3.4" || enhanced == "5.2.3" || (enhanced.empty() && basic == "552")) {
    return "メッセージが大きすぎます。";
  }
  if (enhanced == "5.1.1" || enhanced == "5.1.10") return "宛先が存在しません。";
  return "";
}

// The text a user reads when a transfer failed, ending with the server's own refusal.
std::string describeFailure(CURLcode code, const Transfer& t) {
  const ServerAddress& server = t.server;
  const MailProtocol protocol = t.protocol;
  const std::string what = protocol == MailProtocol::Smtp ? "SMTPサーバー" : "POPサーバー";
  const std::string& refusal = t.transcript.lastRefusal;
  std::string text;
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
      text = what + "「" + server.host + "」が見つかりません。サーバー名を確認してください。";
      break;
    case CURLE_COULDNT_CONNECT:
      text = what + "（" + server.display() + "）に接続できません。";
      break;
    case CURLE_OPERATION_TIMEDOUT:
      text = what + "（" + server.display() + "）から応答がないため中止しました。";
      break;
    case CURLE_LOGIN_DENIED:
      text = what + "へのログインに失敗しました。ユーザー名とパスワードを確認してください。";
      break;
    case CURLE_PEER_FAILED_VERIFICATION:
      text = what + "の証明書を確認できませんでした。";
      break;
    case CURLE_USE_SSL_FAILED:
      if (protocol == MailProtocol::Smtp && server.hasLogin) {
        text = what + "が暗号化通信（STARTTLS）に対応していないため、パスワードを送らずに中止しました。";
        break;
      }
      [[fallthrough]];
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CACERT_BADFILE:
      text = what + "との暗号化通信を始められませんでした。";
      break;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_QUOTE_ERROR:
      text = refusal.empty() ? what + "との通信が途中で切れました。"
                             : what + "に受け付けられませんでした。";
      break;
    default:
      text = protocol == MailProtocol::Smtp ? "メールを送信できませんでした。"
                                            : what + "との通信に失敗しました。";
  }
  // The server's own reply says what went wrong; without one, libcurl's words do.
  if (!refusal.empty()) return text + refusalMeaning(refusal) + " サーバーの応答: " + refusal;
  std::string detail = t.errorBuffer[0] != '\0' ? std::string(t.errorBuffer)
                                                : std::string(curl_easy_strerror(code));
  return text + "（" + mail::printable(detail, 300) + "）";
}

std::string Transfer::perform() {
  const CURLcode code = curl_easy_perform(easy.get());
  return code == CURLE_OK ? "" : describeFailure(code, *this);
}

std::string sendMail(const CurlMailOptions& options, const std::string& serverField,
                     const std::string& recipientList, const std::string& replyTo,
                     const std::string& subject, const std::string& body,
                     const std::string& attachmentPath) {
  auto parsed = mail::parseServerAddress(serverField, MailProtocol::Smtp);
  if (auto* error = std::get_if<std::string>(&parsed)) return *error;
  const ServerAddress& server = std::get<ServerAddress>(parsed);

  std::vector<std::string> recipients = mail::splitRecipients(recipientList);
  if (recipients.empty()) return "宛先が入力されていません。";
  for (const auto& r : recipients) {
    if (!mail::isValidAddress(r)) return "宛先のメールアドレスが正しくありません: " + mail::printable(r);
  }
  std::string from(trimBlanks(replyTo, Blanks::WithIdeographic));
  if (from.empty()) return "返信先のメールアドレスが設定されていません。初期設定で入力してください。";
  if (!mail::isValidAddress(from)) {
    return "返信先のメールアドレスが正しくありません: " + mail::printable(from);
  }

  mail::MessageParts parts;
  parts.from = from;
  parts.to = recipients;
  parts.subject = subject;
  parts.body = body;
  if (!attachmentPath.empty()) parts.attachment = attachmentPath;
  mail::MessageStream message(std::move(parts));
  if (!message.ok()) return message.error();

  Transfer t(server, MailProtocol::Smtp, options);
  if (!t.easy) return "メール送信の準備ができませんでした（libcurl の初期化に失敗）。";
  CURL* c = t.easy.get();
  if (server.hasLogin) {
    curl_easy_setopt(c, CURLOPT_USERNAME, server.user.c_str());
    curl_easy_setopt(c, CURLOPT_PASSWORD, server.password.c_str());
  }
  std::string mailFrom = "<" + from + ">";
  curl_easy_setopt(c, CURLOPT_MAIL_FROM, mailFrom.c_str());
  std::unique_ptr<curl_slist, ListDeleter> rcpt;
  for (const auto& r : recipients) {
    curl_slist* next = curl_slist_append(rcpt.get(), ("<" + r + ">").c_str());
    if (next == nullptr) return "メール送信の準備ができませんでした（メモリ不足）。";
    rcpt.release();
    rcpt.reset(next);
  }
  curl_easy_setopt(c, CURLOPT_MAIL_RCPT, rcpt.get());
  curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
  // Declared in MAIL FROM (SIZE=) where the server takes it: a message too large is
  // refused before its upload.
  curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
  curl_easy_setopt(c, CURLOPT_READFUNCTION, onRead);
  curl_easy_setopt(c, CURLOPT_READDATA, &message);

  std::string failure = t.perform();
  if (!message.ok()) return message.error();
  return failure;
}

std::string rcvMail(const CurlMailOptions& options, const std::string& serverField,
                    const std::string& userField, const std::string& password,
                    const std::string& commandField) {
  auto parsed = mail::parseServerAddress(serverField, MailProtocol::Pop3);
  if (auto* error = std::get_if<std::string>(&parsed)) return *error;
  const ServerAddress& server = std::get<ServerAddress>(parsed);

  std::string user = server.user;
  std::string pass = server.password;
  if (!userField.empty()) {
    user = userField;
    pass = password;
  }
  if (hasControl(user) || hasControl(pass)) {
    return "POPサーバーのユーザー名またはパスワードに使えない文字が含まれています。";
  }
  std::string command(trimBlanks(commandField, Blanks::WithIdeographic));
  if (command.empty()) command = "STAT";
  for (char ch : command) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c >= 0x7F) return "POPサーバーへのコマンドが正しくありません: " + mail::printable(command);
  }

  Transfer t(server, MailProtocol::Pop3, options);
  if (!t.easy) return "受信チェックの準備ができませんでした（libcurl の初期化に失敗）。";
  CURL* c = t.easy.get();
  if (!user.empty()) {
    curl_easy_setopt(c, CURLOPT_USERNAME, user.c_str());
    curl_easy_setopt(c, CURLOPT_PASSWORD, pass.c_str());
  }
  curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, command.c_str());
  // STAT answers with one line, not a listing.
  curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onWrite);
  return t.perform();
}

}  // namespace

CurlMailLibrary::CurlMailLibrary(CurlMailOptions options) : options_(std::move(options)) {
  initCurlOnce();
}

std::string CurlMailLibrary::SendMail(std::string& server, std::string& recipients,
                                      std::string& replyTo, std::string& subject,
                                      std::string& body, std::string& attachmentPath) {
  try {
    return sendMail(options_, server, recipients, replyTo, subject, body, attachmentPath);
  } catch (const std::exception& e) {
    return std::string("メールを送信できませんでした（") + mail::printable(e.what()) + "）。";
  } catch (...) {
    return "メールを送信できませんでした。";
  }
}

std::string CurlMailLibrary::RcvMail(std::string& popServer, std::string& user,
                                     std::string& password, std::string& command,
                                     std::string&) {
  try {
    return rcvMail(options_, popServer, user, password, command);
  } catch (const std::exception& e) {
    return std::string("受信チェックに失敗しました（") + mail::printable(e.what()) + "）。";
  } catch (...) {
    return "受信チェックに失敗しました。";
  }
}

}  // namespace parupo
