// The wording of every mail error, in one table. In a sentence, {server} is "SMTPサーバー"
// or "POPサーバー", {scheme} "smtp" or "pop3", {about} and {detail} the error's texts, and
// {(detail)} the detail in brackets when there is one, {libcurl} the start of the
// sentences about loading libcurl. A transfer's sentence goes on with
// the server's own reply; without one, only where the kind leaves open what happened
// (libcurlWords), with libcurl's words in brackets: a sentence that already says it
// carries no English restating it.
#include <algorithm>
#include <string_view>

#include "mailapi/mail_address.h"
#include "mailapi/mail_error.h"

namespace parupo::mail {

namespace {

using enum MailErrorKind;

struct Wording {
  MailErrorKind kind;
  const char* name;
  const char* smtp;
  const char* pop3;           // nullptr: as for SMTP
  bool transfer;              // the server's reply follows, when there was one
  bool libcurlWords = false;  // without a reply, libcurl's words follow
};

constexpr const char* kSame = nullptr;
constexpr const char* kLibcurl = "メールの送受信に必要な libcurl（{about}）を読み込めませんでした";

// clang-format off
const Wording kWordings[] = {
    {ServerMissing, "ServerMissing", "{server}が設定されていません。初期設定で入力してください。", kSame, false},
    {ServerControlCharacters, "ServerControlCharacters", "{server}の指定に使えない文字が含まれています。", kSame, false},
    {ServerUnknownScheme, "ServerUnknownScheme",
     "{server}の指定が正しくありません（{scheme}://、{scheme}s:// またはサーバー名を指定してください）: {about}", kSame, false},
    {ServerBadHelloName, "ServerBadHelloName",
     "{server}の指定にあるEHLO名が正しくありません（ドメイン名か [IPアドレス] を指定してください）: {about}", kSame, false},
    {ServerEmptyUser, "ServerEmptyUser", "{server}のユーザー名が空です: {about}", kSame, false},
    {ServerLoginControlCharacters, "ServerLoginControlCharacters",
     "{server}のユーザー名またはパスワードに使えない文字が含まれています。", kSame, false},
    {ServerMalformed, "ServerMalformed", "{server}の指定が正しくありません: {about}", kSame, false},
    {ServerBadPort, "ServerBadPort", "{server}のポート番号が正しくありません: {about}", kSame, false},
    {ServerBadName, "ServerBadName", "{server}の名前が正しくありません: {about}", kSame, false},
    {PopBadCommand, "PopBadCommand", "{server}へのコマンドが正しくありません: {about}", kSame, false},
    {RecipientMissing, "RecipientMissing", "宛先が入力されていません。", kSame, false},
    {RecipientInvalid, "RecipientInvalid", "宛先のメールアドレスが正しくありません: {about}", kSame, false},
    {ReplyToMissing, "ReplyToMissing", "返信先のメールアドレスが設定されていません。初期設定で入力してください。", kSame, false},
    {ReplyToInvalid, "ReplyToInvalid", "返信先のメールアドレスが正しくありません: {about}", kSame, false},
    {AttachmentMissing, "AttachmentMissing", "添付ファイルが見つかりません: {about}", kSame, false},
    {AttachmentUnopenable, "AttachmentUnopenable", "添付ファイルを開けません: {about}", kSame, false},
    {AttachmentReadFailed, "AttachmentReadFailed", "添付ファイルの読み込み中にエラーが発生しました: {about}", kSame, false},
    {AttachmentChanged, "AttachmentChanged", "添付ファイルが送信中に変更されました: {about}", kSame, false},
    {CurlNotLoaded, "CurlNotLoaded", "{libcurl}（{detail}）。", kSame, false},
    {CurlInitFailed, "CurlInitFailed", "{libcurl}（初期化に失敗しました）。", kSame, false},
    {CurlFunctionsMissing, "CurlFunctionsMissing", "{libcurl}（関数がありません: {detail}）。", kSame, false},
    {CurlTooOld, "CurlTooOld", "{libcurl}（版 {detail} は古すぎます。7.85.0 以降が必要です）。", kSame, false},
    {TransferSetupFailed, "TransferSetupFailed", "メール送信の準備ができませんでした（libcurl の初期化に失敗）。",
     "受信チェックの準備ができませんでした（libcurl の初期化に失敗）。", false},
    {OutOfMemory, "OutOfMemory", "メール送信の準備ができませんでした（メモリ不足）。",
     "受信チェックの準備ができませんでした（メモリ不足）。", false},
    {HostNotFound, "HostNotFound", "{server}「{about}」が見つかりません。サーバー名を確認してください。", kSame, true},
    {ConnectFailed, "ConnectFailed", "{server}（{about}）に接続できません。", kSame, true},
    {TimedOut, "TimedOut", "{server}（{about}）から応答がないため中止しました。", kSame, true},
    {LoginRefused, "LoginRefused", "{server}へのログインに失敗しました。ユーザー名とパスワードを確認してください。", kSame, true},
    {CertificateRejected, "CertificateRejected", "{server}の証明書を確認できませんでした。", kSame, true, true},
    {CertificateUntrusted, "CertificateUntrusted",
     "{server}の証明書は自己署名のものか、システムが信頼していない認証局が発行したものです。このサーバーを信頼する場合は、"
     "まず証明書のSHA-256フィンガープリント{(detail)}がサーバーの提供者の公開しているものと同じであることを確かめてから、"
     "その証明書（または認証局の証明書）を cacert.pem という名前でぱるぽのフォルダーに置く（{about}）か、"
     "システムの証明書ストアに追加してください。", kSame, true},
    {CertificateNameMismatch, "CertificateNameMismatch",
     "{server}の証明書は「{about}」のものではありません。証明書に書かれているサーバー名を{server}の欄に指定してください。",
     kSame, true},
    {CertificateExpired, "CertificateExpired",
     "{server}の証明書が有効期間外です（期限切れか、まだ有効になっていません）。"
     "サーバーの管理者に証明書の更新を依頼するか、コンピューターの時計を確認してください。", kSame, true},
    {TrustFileUnreadable, "TrustFileUnreadable",
     "証明書のファイル {about} を読み込めませんでした。PEM形式の証明書か確認してください。", kSame, true},
    {StartTlsMissingForLogin, "StartTlsMissingForLogin",
     "{server}が暗号化通信（STARTTLS）に対応していないため、パスワードを送らずに中止しました。", kSame, true},
    {StartTlsMissingOnSubmission, "StartTlsMissingOnSubmission",
     "{server}（{about}）が暗号化通信（STARTTLS）に対応していないため、何も送らずに中止しました。"
     "ポート587（メールの送信用）では暗号化通信が必要です。", kSame, true},
    {PopCheckSkippedForPassword, "PopCheckSkippedForPassword",
     "{server}が暗号化通信（STLS）に対応していないため、パスワードを暗号化せずに送らないよう、受信チェックを"
     "行いませんでした。メールの送信はこのまま続けます。（{server}の欄に pop3s:// またはポート995を指定すると、"
     "暗号化して接続します）", kSame, false},
    {TlsFailed, "TlsFailed", "{server}との暗号化通信を始められませんでした。", kSame, true, true},
    {ConnectionCut, "ConnectionCut", "{server}との通信が途中で切れました。", kSame, true},
    {Refused, "Refused", "{server}に受け付けられませんでした。", kSame, true},
    {TransferFailed, "TransferFailed", "メールを送信できませんでした。", "{server}との通信に失敗しました。", true, true},
    {Stopped, "Stopped", "送信を中止しました（メールは送られていません）", kSame, false},
    {StoppedAfterUpload, "StoppedAfterUpload", "送信を中止しましたが、メールはすでにサーバーに届いている可能性があります。"
     "送信済みか確認してから送り直してください。", kSame, false},
    {PasswordNotGiven, "PasswordNotGiven", "パスワードが入力されなかったため、送信しませんでした。",
     "パスワードが入力されなかったため、受信チェックを行いませんでした。", false},
    {Unexpected, "Unexpected", "メールを送信できませんでした{(detail)}。", "受信チェックに失敗しました{(detail)}。", false},
};
// clang-format on

const Wording& wordingOf(MailErrorKind kind) {
  const auto* row = std::find_if(std::begin(kWordings), std::end(kWordings),
                                 [kind](const Wording& w) { return w.kind == kind; });
  return row != std::end(kWordings) ? *row : kWordings[std::size(kWordings) - 1];
}

// The pattern with its {names} filled in, in one pass: a user's text that holds a
// "{...}" of its own stays as it is.
std::string fill(std::string_view pattern, const MailError& e) {
  const bool smtp = e.protocol == MailProtocol::Smtp;
  std::string out;
  for (std::size_t i = 0; i < pattern.size();) {
    const std::size_t close = pattern[i] == '{' ? pattern.find('}', i) : std::string_view::npos;
    if (close == std::string_view::npos) {
      out += pattern[i++];
      continue;
    }
    const std::string_view name = pattern.substr(i + 1, close - i - 1);
    i = close + 1;
    if (name == "server") out += smtp ? "SMTPサーバー" : "POPサーバー";
    else if (name == "scheme") out += smtp ? "smtp" : "pop3";
    else if (name == "about") out += e.about;
    else if (name == "detail") out += e.detail;
    else if (name == "(detail)") out += e.detail.empty() ? "" : "（" + e.detail + "）";
    else if (name == "libcurl") out += fill(kLibcurl, e);
  }
  return out;
}

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

}  // namespace

std::string mailErrorText(const MailError& error) {
  const Wording& w = wordingOf(error.kind);
  const bool smtp = error.protocol == MailProtocol::Smtp;
  const std::string text = fill(smtp || w.pop3 == nullptr ? w.smtp : w.pop3, error);
  if (!w.transfer) return text;
  // The server's own reply says what went wrong; without one, libcurl's words may.
  if (!error.serverReply.empty()) {
    return text + refusalMeaning(error.serverReply) + " サーバーの応答: " + error.serverReply;
  }
  return w.libcurlWords && !error.detail.empty() ? text + "（" + error.detail + "）" : text;
}

const char* kindName(MailErrorKind kind) { return wordingOf(kind).name; }

std::string sendResultText(const std::optional<MailError>& error) { return error ? mailErrorText(*error) : ""; }

MailError unexpectedError(MailProtocol protocol, std::string_view what) {
  return MailError{.kind = Unexpected, .protocol = protocol, .detail = printable(what)};
}

bool isStop(MailErrorKind kind) { return kind == Stopped || kind == StoppedAfterUpload; }

std::string sendErrorMessage(const MailError& error) {
  const std::string text = mailErrorText(error);
  if (isStop(error.kind)) return text;
  return text + "\r\n" + "エラーが発生しました" + "\r\n" + "設定を確認してください。";
}

std::string copyErrorMessage(const MailError& error, const std::string& recipients, const std::string& copyTo) {
  std::string shown;
  for (char c : recipients) shown += c == '\t' ? std::string("、") : std::string(1, c);
  const std::string sent = mailErrorText(error) + "\r\n" + shown + " 宛のメールは送信しました。";
  if (isStop(error.kind)) return sent;
  return sent + "\r\n" + "控え（" + copyTo + " 宛）の送信に失敗しました。設定を確認してください。";
}

}  // namespace parupo::mail
