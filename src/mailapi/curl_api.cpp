#include "mailapi/curl_api.h"

#include <dlfcn.h>

namespace parupo::mail {

namespace {

// The soname of libcurl 7.16 and later; the build's headers are of the same ABI.
constexpr const char* kLibrary = "libcurl.so.4";
// CURLOPT_PROTOCOLS_STR, which keeps every transfer to the mail protocols, came with 7.85.0.
constexpr unsigned kOldestVersion = 0x075500;

MailError cannotLoad(MailErrorKind kind, const char* fileName, std::string detail = {}) {
  return MailError{.kind = kind, .about = fileName, .detail = std::move(detail)};
}

template <typename Function>
void resolve(void* library, const char* name, Function& slot, std::string& missing) {
  void* symbol = dlsym(library, name);
  if (symbol == nullptr) {
    missing += missing.empty() ? name : std::string(", ") + name;
    return;
  }
  slot = reinterpret_cast<Function>(symbol);
}

struct Loaded {
  CurlApi api{};
  std::optional<MailError> error;
};

Loaded loadAndInitialise() {
  Loaded loaded;
  loaded.error = loadCurlApi(kLibrary, loaded.api);
  if (!loaded.error && loaded.api.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
    loaded.error = cannotLoad(MailErrorKind::CurlInitFailed, kLibrary);
  }
  return loaded;
}

}  // namespace

std::optional<MailError> loadCurlApi(const char* fileName, CurlApi& api) {
  api = CurlApi{};
  void* library = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    return cannotLoad(MailErrorKind::CurlNotLoaded, fileName, reason != nullptr ? reason : "dlopen");
  }
  std::string missing;
  resolve(library, "curl_global_init", api.global_init, missing);
  resolve(library, "curl_easy_init", api.easy_init, missing);
  resolve(library, "curl_easy_setopt", api.easy_setopt, missing);
  resolve(library, "curl_easy_perform", api.easy_perform, missing);
  resolve(library, "curl_easy_getinfo", api.easy_getinfo, missing);
  resolve(library, "curl_easy_reset", api.easy_reset, missing);
  resolve(library, "curl_easy_cleanup", api.easy_cleanup, missing);
  resolve(library, "curl_easy_strerror", api.easy_strerror, missing);
  resolve(library, "curl_slist_append", api.slist_append, missing);
  resolve(library, "curl_slist_free_all", api.slist_free_all, missing);
  resolve(library, "curl_version_info", api.version_info, missing);
  std::optional<MailError> error;
  if (!missing.empty()) {
    error = cannotLoad(MailErrorKind::CurlFunctionsMissing, fileName, missing);
  } else if (const curl_version_info_data* info = api.version_info(CURLVERSION_NOW);
             info == nullptr || info->version_num < kOldestVersion) {
    error = cannotLoad(MailErrorKind::CurlTooOld, fileName, info != nullptr ? info->version : "?");
  }
  // A library in use stays loaded until the program ends: libcurl and its TLS library
  // keep global state, and closing them while a handle lives would crash.
  if (error) {
    dlclose(library);
    api = CurlApi{};
  } else {
    api.library = library;
  }
  return error;
}

const CurlApi* curlApi(MailError& error) {
  static const Loaded loaded = loadAndInitialise();
  if (loaded.error) {
    error = *loaded.error;
    return nullptr;
  }
  return &loaded.api;
}

}  // namespace parupo::mail
