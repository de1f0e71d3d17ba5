// One libcurl easy handle, and with it the connection to one mail server, kept open for
// a short idle time after a transfer, so that consecutive sends (the address book's
// consecutive send, quick repeated sends) go over one connection instead of a new
// connection, greeting, TLS handshake and login each. Each transfer stays a complete
// transaction of its own; only the connection is shared.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "mailapi/curl_api.h"

namespace parupo::mail {

class KeptConnection {
 public:
  // idle: how long the connection stays open after a transfer; zero closes it at once.
  explicit KeptConnection(std::chrono::milliseconds idle);
  // Closes the connection (QUIT) before returning.
  ~KeptConnection();
  KeptConnection(const KeptConnection&) = delete;
  KeptConnection& operator=(const KeptConnection&) = delete;

  // The handle for one transfer, held exclusively until the lease ends; other callers
  // wait. Its options are cleared when the lease ends (the connection stays), so no
  // option can point at a caller's variables afterwards.
  class Lease {
   public:
    Lease(Lease&&) = default;
    ~Lease();
    CURL* easy() const { return owner_->easy_; }
    // Set by the first transfer on a new connection (for example the URL with the EHLO
    // name it chose); empty when the handle is new.
    std::string& memo() { return owner_->memo_; }

   private:
    friend class KeptConnection;
    Lease(KeptConnection* owner, std::unique_lock<std::mutex> lock) : owner_(owner), lock_(std::move(lock)) {}
    KeptConnection* owner_;
    std::unique_lock<std::mutex> lock_;
  };

  // A handle for a transfer to the server and login named by key. A handle kept for
  // another key is closed first. easy() is null when libcurl cannot make a handle.
  Lease take(const CurlApi& api, const std::string& key);

  // Closes the kept connection now (QUIT), as at the end of the program.
  void close();

 private:
  void closeLocked();
  CURL* detachLocked();  // takes the handle out of the cache; the caller cleans it up
  void release();
  void watch();

  const std::chrono::milliseconds idle_;
  std::mutex mutex_;  // held by a lease for the whole transfer
  std::condition_variable changed_;
  const CurlApi* api_ = nullptr;
  CURL* easy_ = nullptr;
  std::string key_;
  std::string memo_;
  std::chrono::steady_clock::time_point closeAt_;
  bool ending_ = false;
  std::thread watcher_;  // started with the first kept connection
};

}  // namespace parupo::mail
