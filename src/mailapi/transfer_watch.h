// How far the mail call in progress has come, and the user's wish to stop it. The thread
// that runs the call and the window that waits for it share one watch; every member may
// be called from either thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

namespace parupo {

class TransferWatch {
 public:
  // --- The window's side ---------------------------------------------------------------
  // Stops the call in progress at once, also one that waits on a server gone silent, and
  // fails every later call until clear() as stopped. A message whose upload is cut off
  // never gets its final dot, so the server never accepts it. Returns at once.
  void requestStop();
  bool stopRequested() const { return stopped_; }
  // Whether the upload in progress has handed the whole message over: from then on the
  // server may accept it at any moment, and a stop no longer means "not sent".
  bool handedOver() const { return handedOver_; }
  // Whole per cent of the message's bytes uploaded so far (its size is known before the
  // upload); nothing while no byte of a message is on its way.
  std::optional<int> percent() const;
  // A new send begins: no stop asked for, no upload under way.
  void clear();

  // --- The mail library's side ---------------------------------------------------------
  void uploadBegins(std::uint64_t size);
  void uploaded(std::uint64_t bytes);
  void uploadEnds();
  // The last byte of the message has gone out; only the end of data and the server's
  // answer are still to come.
  void messageHandedOver() { handedOver_ = true; }
  // An upload reported to a watch (when there is one) for as long as the object lives.
  class Upload {
   public:
    Upload(TransferWatch* watch, std::uint64_t size) : watch_(watch) {
      if (watch_ != nullptr) watch_->uploadBegins(size);
    }
    ~Upload() {
      if (watch_ != nullptr) watch_->uploadEnds();
    }
    Upload(const Upload&) = delete;
    Upload& operator=(const Upload&) = delete;

   private:
    TransferWatch* watch_;
  };
  // `cut` is called with true as a stop is asked for and with false by clear(), with the
  // watch locked, on the asking thread: it wakes the transfer (cuts its connection), it
  // never waits for it. It is called once at once with the present state. Empty: none.
  void onStop(std::function<void(bool stopping)> cut);

 private:
  mutable std::mutex mutex_;  // orders stops and clears with `cut_`
  std::function<void(bool)> cut_;
  std::atomic<bool> stopped_{false};
  std::atomic<std::uint64_t> size_{0};  // 0: no upload under way
  std::atomic<std::uint64_t> sent_{0};
  std::atomic<bool> handedOver_{false};
};

}  // namespace parupo
