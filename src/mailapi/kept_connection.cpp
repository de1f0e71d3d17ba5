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

// Cleaning up the handle ends its connection with QUIT, waiting for the server's answer
// at most as long as for any other answer.
void KeptConnection::closeLocked() {
  if (easy_ == nullptr) return;
  api_->easy_cleanup(easy_);
  easy_ = nullptr;
  key_.clear();
  memo_.clear();
}

// The watcher closes the connection once it has been idle for the idle time.
void KeptConnection::watch() {
  std::unique_lock lock(mutex_);
  while (!ending_) {
    if (easy_ == nullptr) {
      changed_.wait(lock);
    } else if (std::chrono::steady_clock::now() >= closeAt_) {
      closeLocked();
    } else {
      changed_.wait_until(lock, closeAt_);
    }
  }
}

}  // namespace parupo::mail
