// Which certificate failure a failed verification was. Verification itself is never
// switched off: a certificate the system does not trust can be trusted by putting it
// (or its authority's) as cacert.pem into the program folder.
#pragma once

#include <string_view>

#include "mailapi/mail_error.h"

namespace parupo::mail {

// CertificateUntrusted, CertificateNameMismatch, CertificateExpired or else
// CertificateRejected, from OpenSSL's verify result as libcurl reports it
// (CURLINFO_SSL_VERIFYRESULT) and libcurl's words (`detail`): libcurl checks the name
// itself once the chain verified, and says so only in its words.
MailErrorKind certificateFailure(long verifyResult, std::string_view detail);

}  // namespace parupo::mail
