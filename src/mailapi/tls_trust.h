// Which certificate failure a failed verification was, and what the user needs to
// decide about it. Verification itself is never switched off: a certificate the system
// does not trust can be trusted by putting it (or its authority's) as cacert.pem into
// the program folder, which then adds to the system's store.
#pragma once

#include <string>
#include <string_view>

#include "mailapi/mail_error.h"

namespace parupo::mail {

struct CurlApi;

// CertificateUntrusted, CertificateNameMismatch, CertificateExpired or else
// CertificateRejected, from OpenSSL's verify result as libcurl reports it
// (CURLINFO_SSL_VERIFYRESULT) and libcurl's words (`detail`): libcurl checks the name
// itself once the chain verified, and says so only in its words.
MailErrorKind certificateFailure(long verifyResult, std::string_view detail);

// Lets the TLS handshakes of the transfer (`easy`, a CURL*) show the server's
// certificate to shownCertificateFingerprint(), where libcurl runs over OpenSSL; with
// another TLS library nothing is seen. OpenSSL's verdict on the certificate is left as
// it is.
void watchServerCertificate(const CurlApi& api, void* easy);

// The SHA-256 fingerprint ("76:F1:...:C7", as `openssl x509 -fingerprint -sha256`
// writes it) of the certificate the latest handshake on this thread was shown, so that
// the user can compare it with the one the provider publishes; empty when none was seen.
std::string shownCertificateFingerprint();

// What libcurl trusts by itself, as curl_version_info reports it: its CA folder and its
// CA bundle (empty: none).
struct BuiltInTrust {
  std::string caFolder;
  std::string caBundle;
};
BuiltInTrust builtInTrust(const CurlApi& api);

// How the trust file reaches libcurl so that it adds to the system's store. libcurl
// reads its CA file and its CA folder; a trust file named as its CA file replaces the
// bundle but leaves the folder, which holds the system's store. A libcurl without a CA
// folder would trust the trust file alone: it gets the system's bundle and the trust
// file joined into one bundle instead.
struct TrustPlan {
  bool asCaFile = true;      // the trust file as libcurl's CA file (CURLOPT_CAINFO)
  std::string systemBundle;  // otherwise the bundle it is joined to (CURLOPT_CAINFO_BLOB)
  bool operator==(const TrustPlan&) const = default;
};
TrustPlan planTrust(const BuiltInTrust& builtIn);

// Gives the transfer the trust file as planTrust says, when it is a regular file; false
// when there is none. A file that cannot be read is left to libcurl to refuse, readably
// (CURLE_SSL_CACERT_BADFILE).
bool giveTrustFile(const CurlApi& api, void* easy, const std::string& trustFile, const BuiltInTrust& builtIn);

}  // namespace parupo::mail
