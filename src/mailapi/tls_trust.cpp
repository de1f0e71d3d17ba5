#include "mailapi/tls_trust.h"

namespace parupo::mail {

MailErrorKind certificateFailure(long verifyResult, std::string_view detail) {
  using enum MailErrorKind;
  switch (verifyResult) {
    case 2:   // X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT
    case 18:  // X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT
    case 19:  // X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN
    case 20:  // X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY
    case 21:  // X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE
      return CertificateUntrusted;
    case 9:   // X509_V_ERR_CERT_NOT_YET_VALID
    case 10:  // X509_V_ERR_CERT_HAS_EXPIRED
      return CertificateExpired;
    case 62:  // X509_V_ERR_HOSTNAME_MISMATCH
      return CertificateNameMismatch;
    default:
      break;
  }
  // libcurl's own name check: "no alternative certificate subject name matches target
  // host name", "certificate subject name ... does not match target host name".
  return detail.find("target host name") != std::string_view::npos ? CertificateNameMismatch : CertificateRejected;
}

}  // namespace parupo::mail
