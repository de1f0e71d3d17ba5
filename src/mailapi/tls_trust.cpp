#include "mailapi/tls_trust.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <optional>

#include "mailapi/curl_api.h"
#include "platform/text_file.h"

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
    default: break;
  }
  // libcurl's own name check: "no alternative certificate subject name matches target
  // host name", "certificate subject name ... does not match target host name".
  return detail.find("target host name") != std::string_view::npos ? CertificateNameMismatch : CertificateRejected;
}

namespace {

// The few OpenSSL functions that see the certificate a server shows, found through the
// loaded libcurl, which links its TLS library: the program itself links none. Their
// OpenSSL types are opaque pointers here (OpenSSL 1.1 and 3 alike).
struct OpenSsl {
  using VerifyCallback = int (*)(int, void*);
  void (*set_verify)(void* context, int mode, VerifyCallback callback);
  int (*get_verify_mode)(const void* context);
  void* (*get0_cert)(const void* store);
  int (*digest)(const void* certificate, const void* type, unsigned char* out, unsigned int* length);
  const void* (*sha256)();
};

template <typename Function>
bool resolve(void* library, const char* name, Function& slot) {
  slot = reinterpret_cast<Function>(dlsym(library, name));
  return slot != nullptr;
}

std::optional<OpenSsl> loadOpenSsl(const CurlApi& api) {
  const curl_version_info_data* info = api.version_info(CURLVERSION_NOW);
  if (api.library == nullptr || info == nullptr || info->ssl_version == nullptr ||
      !std::string_view(info->ssl_version).starts_with("OpenSSL/")) {
    return std::nullopt;
  }
  OpenSsl ssl{};
  // dlsym on libcurl's handle searches the libraries libcurl was loaded with.
  const bool all = resolve(api.library, "SSL_CTX_set_verify", ssl.set_verify) &&
                   resolve(api.library, "SSL_CTX_get_verify_mode", ssl.get_verify_mode) &&
                   resolve(api.library, "X509_STORE_CTX_get0_cert", ssl.get0_cert) &&
                   resolve(api.library, "X509_digest", ssl.digest) && resolve(api.library, "EVP_sha256", ssl.sha256);
  if (!all) return std::nullopt;
  return ssl;
}

// What the latest handshake on this thread showed: libcurl runs a transfer's handshake
// on the thread that performs it, which reads the fingerprint once the transfer failed.
thread_local const OpenSsl* handshakeSsl = nullptr;
thread_local std::string shownFingerprint;

// Called by OpenSSL for each step of its verification; the certificate being verified
// is the server's own, whichever step (a missing authority, a self-signed one) failed.
int onVerify(int verified, void* store) {
  if (handshakeSsl != nullptr && shownFingerprint.empty()) {
    std::array<unsigned char, 64> digest{};
    unsigned int length = 0;
    const void* certificate = handshakeSsl->get0_cert(store);
    if (certificate != nullptr &&
        handshakeSsl->digest(certificate, handshakeSsl->sha256(), digest.data(), &length) == 1) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      for (unsigned int i = 0; i < length && i < digest.size(); ++i) {
        if (i > 0) shownFingerprint += ':';
        shownFingerprint += {kHex[digest[i] >> 4], kHex[digest[i] & 15]};
      }
    }
  }
  return verified;  // OpenSSL's own verdict, never changed
}

// libcurl's hook into each new connection's TLS context, once libcurl has set it up.
CURLcode onTlsContext(CURL*, void* context, void* user) {
  handshakeSsl = static_cast<const OpenSsl*>(user);
  shownFingerprint.clear();
  handshakeSsl->set_verify(context, handshakeSsl->get_verify_mode(context), onVerify);
  return CURLE_OK;
}

}  // namespace

void watchServerCertificate(const CurlApi& api, void* easy) {
  static const std::optional<OpenSsl> ssl = loadOpenSsl(api);
  shownFingerprint.clear();
  if (!ssl) return;
  api.easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, onTlsContext);
  api.easy_setopt(easy, CURLOPT_SSL_CTX_DATA, &*ssl);
}

std::string shownCertificateFingerprint() { return shownFingerprint; }

BuiltInTrust builtInTrust(const CurlApi& api) {
  const curl_version_info_data* info = api.version_info(CURLVERSION_NOW);
  if (info == nullptr) return {};
  return {info->capath != nullptr ? info->capath : "", info->cainfo != nullptr ? info->cainfo : ""};
}

TrustPlan planTrust(const BuiltInTrust& builtIn) {
  if (!builtIn.caFolder.empty()) return {};
  if (!builtIn.caBundle.empty()) return {.asCaFile = false, .systemBundle = builtIn.caBundle};
  // A libcurl with neither trusts what its TLS library finds by itself: the system's
  // bundle is then where the systems keep it.
  for (const char* bundle : {"/etc/ssl/certs/ca-certificates.crt", "/etc/pki/tls/certs/ca-bundle.crt",
                             "/etc/ssl/ca-bundle.pem", "/etc/ssl/cert.pem"}) {
    std::error_code missing;
    if (std::filesystem::is_regular_file(bundle, missing)) return {.asCaFile = false, .systemBundle = bundle};
  }
  return {};
}

namespace {

// A regular file's bytes (at most the data files' limit), never waiting on a FIFO.
std::optional<std::string> readWhole(const std::string& path) {
  const int fd = openRegularFile(path);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  std::array<char, 65536> buffer{};
  bool whole = false;
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    whole = n == 0;
    if (n <= 0) break;
    bytes.append(buffer.data(), static_cast<std::size_t>(n));
    if (bytes.size() > kMaxDataFileBytes) break;
  }
  ::close(fd);
  if (!whole) return std::nullopt;
  return bytes;
}

}  // namespace

bool giveTrustFile(const CurlApi& api, void* easy, const std::string& trustFile, const BuiltInTrust& builtIn) {
  std::error_code missing;
  if (trustFile.empty() || !std::filesystem::is_regular_file(trustFile, missing)) return false;
  const TrustPlan plan = planTrust(builtIn);
  if (!plan.asCaFile) {
    const std::optional<std::string> system = readWhole(plan.systemBundle), own = readWhole(trustFile);
    if (system && own) {
      std::string both = *system + "\n" + *own;
      curl_blob blob{both.data(), both.size(), CURL_BLOB_COPY};
      if (api.easy_setopt(easy, CURLOPT_CAINFO_BLOB, &blob) == CURLE_OK) return true;
    }
  }
  // The trust file alone where nothing can be joined to it (a TLS library that takes no
  // bundle in memory, a file that cannot be read: libcurl then says so).
  api.easy_setopt(easy, CURLOPT_CAINFO, trustFile.c_str());
  return true;
}

}  // namespace parupo::mail
