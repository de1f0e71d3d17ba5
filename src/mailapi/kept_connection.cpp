#include "mailapi/kept_connection.h"

#include <system_error>

namespace parupo::mail {

KeptConnection::KeptConnection(std::chrono::milliseconds idle) : idle_(idle) {}

KeptConnection::~KeptConnection() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
    closeLocked();
  }
  changed_.notify_all();
  if (watcher_.joinable()) watcher_.join();
}

KeptConnection::Lease::~Lease() {
  if (lock_.owns_lock()) owner_->release();
}

KeptConnection::Lease KeptConnection::take(const CurlApi& api, const std::string& key) {
  std::unique_lock lock(mutex_);
  if (easy_ != nullptr && key != key_) closeLocked();
  if (easy_ == nullptr) {
    api_ = &api;
    easy_ = api.easy_init();
    key_ = key;
    memo_.clear();
  }
  return Lease(this, std::move(lock));
}

void KeptConnection::close() {
  std::lock_guard lock(mutex_);
  closeLocked();
}

// Runs at the end of a lease, the lock still held.
void KeptConnection::release() {
  if (easy_ == nullptr) return;
  // Nothing of the finished transfer (its buffers, callbacks, texts) stays referenced.
  api_->easy_reset(easy_);
  if (idle_.count() <= 0 || ending_) {
    closeLocked();
    return;
  }
  closeAt_ = std::chrono::steady_clock::now() + idle_;
  if (!watcher_.joinable()) {
    try {
      watcher_ = std::thread([this] { watch(); });
    } catch (const std::system_error&) {
      closeLocked();  // without a watcher nothing would close it: not kept
      return;
    }
  }
  changed_.notify_all();
}

CURL* KeptConnection::detachLocked() {
  CURL* easy = easy_;
  easy_ = nullptr;
  key_.clear();
  memo_.clear();
  return easy;
}

// Cleaning up the handle ends its connection with QUIT and waits for the server's answer
// as long as the last transfer waited for any answer.
void KeptConnection::closeLocked() {
  if (CURL* easy = detachLocked()) api_->easy_cleanup(easy);
}

// The watcher closes the connection once it has been idle for the idle time. It takes
// the handle out first and says QUIT without the lock: a server gone silent never
// holds the next send, which starts at once on a new connection.
void KeptConnection::watch() {
  std::unique_lock lock(mutex_);
  while (!ending_) {
    if (easy_ == nullptr) {
      changed_.wait(lock);
    } else if (std::chrono::steady_clock::now() >= closeAt_) {
      CURL* idle = detachLocked();
      const CurlApi* api = api_;
      lock.unlock();
      api->easy_cleanup(idle);
      lock.lock();
    } else {
      changed_.wait_until(lock, closeAt_);
    }
  }
}

}  // namespace parupo::mail
