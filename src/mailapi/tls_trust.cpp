#include "mailapi/tls_trust.h"

namespace parupo::mail {

CertificateProblem certificateProblem(long verifyResult, std::string_view detail) {
  switch (verifyResult) {
    case 2:   // X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT
    case 18:  // X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT
    case 19:  // X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN
    case 20:  // X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY
    case 21:  // X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE
      return CertificateProblem::Untrusted;
    case 9:   // X509_V_ERR_CERT_NOT_YET_VALID
    case 10:  // X509_V_ERR_CERT_HAS_EXPIRED
      return CertificateProblem::Expired;
    case 62:  // X509_V_ERR_HOSTNAME_MISMATCH
      return CertificateProblem::NameMismatch;
    default:
      break;
  }
  // libcurl's own name check: "no alternative certificate subject name matches target
  // host name", "certificate subject name ... does not match target host name".
  return detail.find("target host name") != std::string_view::npos ? CertificateProblem::NameMismatch
                                                                    : CertificateProblem::Other;
}

std::string certificateText(CertificateProblem problem, std::string_view server, std::string_view host,
                            std::string_view trustFile) {
  const std::string what(server);
  switch (problem) {
    case CertificateProblem::Untrusted:
      return what + "の証明書は自己署名のものか、システムが信頼していない認証局が発行したものです。"
             "このサーバーを信頼する場合は、その証明書（または認証局の証明書）を cacert.pem という名前で"
             "ぱるぽのフォルダーに置く（" + std::string(trustFile) + "）か、システムの証明書ストアに追加してください。";
    case CertificateProblem::NameMismatch:
      return what + "の証明書は「" + std::string(host) + "」のものではありません。"
             "証明書に書かれているサーバー名を" + what + "の欄に指定してください。";
    case CertificateProblem::Expired:
      return what + "の証明書が有効期間外です（期限切れか、まだ有効になっていません）。"
             "サーバーの管理者に証明書の更新を依頼するか、コンピューターの時計を確認してください。";
    case CertificateProblem::Other:
      break;
  }
  return what + "の証明書を確認できませんでした。";
}

}  // namespace parupo::mail
