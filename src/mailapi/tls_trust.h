// What the program tells when a mail server's certificate does not verify, and when it
// stops before a password or a message could go unencrypted. Verification itself is
// never switched off: a certificate the system does not trust can be trusted by putting
// it (or its authority's) as cacert.pem into the program folder.
#pragma once

#include <string>
#include <string_view>

namespace parupo::mail {

enum class CertificateProblem {
  Untrusted,     // self-signed, or issued by an authority the store does not hold
  NameMismatch,  // made out to another name than the one in the server field
  Expired,       // out of its validity period (expired, or not yet valid)
  Other,
};

// The problem behind a failed verification, from OpenSSL's verify result as libcurl
// reports it (CURLINFO_SSL_VERIFYRESULT) and libcurl's words (`detail`): libcurl checks
// the name itself once the chain verified, and says so only in its words.
CertificateProblem certificateProblem(long verifyResult, std::string_view detail);

// The sentence for a certificate that did not verify: what is wrong and what to do.
// `server` names the server ("SMTPサーバー"), `host` is the name in its field and
// `trustFile` the cacert.pem the program looks for.
std::string certificateText(CertificateProblem problem, std::string_view server, std::string_view host,
                            std::string_view trustFile);

// The POP check stopped before USER because the server offers no STLS and the account
// has a password. The mail check recognises it by this text and tells it once per run.
inline constexpr std::string_view kPopCheckSkippedText =
    "POPサーバーが暗号化通信（STLS）に対応していないため、パスワードを暗号化せずに送らないよう、"
    "受信チェックを行いませんでした。メールの送信はこのまま続けます。"
    "（POPサーバーの欄に pop3s:// またはポート995を指定すると、暗号化して接続します）";

}  // namespace parupo::mail
