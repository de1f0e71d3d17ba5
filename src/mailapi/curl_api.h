// libcurl, loaded when the first mail is sent or checked rather than at start-up: its
// dozens of libraries (TLS, Kerberos, LDAP, SSH ...) and its initialisation cost the
// first window time and memory, and most starts send nothing before the user types.
// The program uses curl.h for its types only and calls libcurl through this table.
#pragma once

#include <curl/curl.h>

#include <optional>
#include <string>

#include "mailapi/mail_error.h"

namespace parupo::mail {

// The libcurl functions the mail layer calls, under their own names without "curl_".
struct CurlApi {
  CURLcode (*global_init)(long);  // run by curlApi() once; not for callers
  CURL* (*easy_init)();
  CURLcode (*easy_setopt)(CURL*, CURLoption, ...);
  CURLcode (*easy_perform)(CURL*);
  CURLcode (*easy_getinfo)(CURL*, CURLINFO, ...);
  void (*easy_reset)(CURL*);
  void (*easy_cleanup)(CURL*);
  const char* (*easy_strerror)(CURLcode);
  curl_slist* (*slist_append)(curl_slist*, const char*);
  void (*slist_free_all)(curl_slist*);
  curl_version_info_data* (*version_info)(CURLversion);
  void* library = nullptr;  // libcurl's dlopen handle: its TLS library's functions are found through it
};

// The table, loaded and initialised (curl_global_init) by the first call of the
// process; later calls return the same table at no cost. Thread-safe. When libcurl
// cannot be loaded, lacks a function or is too old, returns nullptr and every call
// gives the same reason in `error` (a Curl... kind, about: the library's file name).
[[nodiscard]] const CurlApi* curlApi(MailError& error);

// Loads the library of that file name and resolves the table from it, without
// initialising it. Nothing when it worked, otherwise the reason as above.
[[nodiscard]] std::optional<MailError> loadCurlApi(const char* fileName, CurlApi& api);

}  // namespace parupo::mail
