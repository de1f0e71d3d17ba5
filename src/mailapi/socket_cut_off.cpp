#include "mailapi/socket_cut_off.h"

#include <sys/socket.h>
#include <unistd.h>

namespace parupo::mail {

namespace {

// Called often while bytes move and about once a second while they don't; a stop asked
// for meanwhile has usually woken the transfer already through its cut socket.
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
  auto* watch = static_cast<TransferWatch*>(user);
  watch->uploaded(static_cast<std::uint64_t>(uploaded));
  return watch->stopRequested() ? 1 : 0;
}

}  // namespace

void Stopping::attach(const CurlApi& api, CURL* easy) const {
  if (watch == nullptr) return;
  sockets.attach(api, easy);
  api.easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
  api.easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
  api.easy_setopt(easy, CURLOPT_XFERINFODATA, watch);
}

void SocketCutOff::attach(const CurlApi& api, CURL* easy) {
  api.easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, &SocketCutOff::open);
  api.easy_setopt(easy, CURLOPT_OPENSOCKETDATA, this);
  api.easy_setopt(easy, CURLOPT_CLOSESOCKETFUNCTION, &SocketCutOff::close);
  api.easy_setopt(easy, CURLOPT_CLOSESOCKETDATA, this);
}

void SocketCutOff::cutOff() {
  std::lock_guard lock(mutex_);
  cut_ = true;
  // Only shut down, never closed here: the descriptor stays libcurl's until it closes it
  // through close(), so no other file can take its number meanwhile.
  for (curl_socket_t s : open_) ::shutdown(s, SHUT_RDWR);
}

void SocketCutOff::resume() {
  std::lock_guard lock(mutex_);
  cut_ = false;
}

curl_socket_t SocketCutOff::open(void* self, curlsocktype purpose, curl_sockaddr* address) {
  auto& sockets = *static_cast<SocketCutOff*>(self);
  std::lock_guard lock(sockets.mutex_);
  if (sockets.cut_ || purpose != CURLSOCKTYPE_IPCXN) return CURL_SOCKET_BAD;
  const curl_socket_t s = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
  if (s != CURL_SOCKET_BAD) sockets.open_.push_back(s);
  return s;
}

int SocketCutOff::close(void* self, curl_socket_t socket) {
  auto& sockets = *static_cast<SocketCutOff*>(self);
  std::lock_guard lock(sockets.mutex_);
  std::erase(sockets.open_, socket);
  return ::close(socket);
}

}  // namespace parupo::mail
