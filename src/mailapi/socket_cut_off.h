// The sockets libcurl opens for the mail transfers, kept so that another thread can cut a
// transfer off at once. libcurl looks at a stalled transfer (a server that stopped
// reading or answering) only about once a second; a socket that is shut down wakes it at
// once, and the transfer fails there, before the message's final dot.
#pragma once

#include <mutex>
#include <vector>

#include "mailapi/curl_api.h"
#include "mailapi/transfer_watch.h"

namespace parupo::mail {

class SocketCutOff {
 public:
  SocketCutOff() = default;
  SocketCutOff(const SocketCutOff&) = delete;
  SocketCutOff& operator=(const SocketCutOff&) = delete;

  // Makes libcurl open and close the sockets of the handle's new connections here. libcurl
  // keeps the close function with each connection, so this object must outlive them all.
  void attach(const CurlApi& api, CURL* easy);
  // Shuts down every socket open now and refuses to open new ones until resume().
  // Returns at once; the sockets are closed by libcurl as usual.
  void cutOff();
  void resume();

 private:
  static curl_socket_t open(void* self, curlsocktype purpose, curl_sockaddr* address);
  static int close(void* self, curl_socket_t socket);

  std::mutex mutex_;
  std::vector<curl_socket_t> open_;
  bool cut_ = false;
};

// What lets the window follow a transfer and stop it; no watch when nobody watches.
struct Stopping {
  SocketCutOff& sockets;
  TransferWatch* watch;
  bool requested() const { return watch != nullptr && watch->stopRequested(); }
  // With a watch, the handle reports its upload to it, opens its sockets through
  // `sockets`, and gives up at the watch's stop.
  void attach(const CurlApi& api, CURL* easy) const;
};

}  // namespace parupo::mail
