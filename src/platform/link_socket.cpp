#include "platform/link_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace parupo {

namespace {

// Beside the lock; a folder whose path is too long for a socket's name uses the user's
// runtime folder, under a name made from the folder's path.
std::filesystem::path socketPath(const std::filesystem::path& folder) {
  const std::filesystem::path beside = folder / ".parupo.sock";
  if (beside.native().size() < sizeof(sockaddr_un::sun_path)) return beside;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::filesystem::path base = runtime != nullptr && *runtime != '\0' ? runtime : "/tmp";
  char name[64];
  std::snprintf(name, sizeof name, "parupo-%u-%zx.sock", static_cast<unsigned>(::getuid()),
                std::hash<std::string>{}(folder.native()));
  return base / name;
}

std::optional<sockaddr_un> addressOf(const std::filesystem::path& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.native().size() >= sizeof address.sun_path) return std::nullopt;
  std::memcpy(address.sun_path, path.c_str(), path.native().size() + 1);
  return address;
}

int unixSocket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0); }

}  // namespace

std::unique_ptr<LinkListener> LinkListener::open(const std::filesystem::path& folder) {
  const std::filesystem::path path = socketPath(folder);
  const std::optional<sockaddr_un> address = addressOf(path);
  if (!address) return nullptr;
  // The instance lock is ours, so a socket at the name is a crashed run's.
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) {
    if (!S_ISSOCK(st.st_mode) || st.st_uid != ::getuid()) return nullptr;
    ::unlink(path.c_str());
  }
  const int fd = unixSocket();
  if (fd < 0) return nullptr;
  // Made for the user alone from the first moment: no other user may hand over a link.
  const mode_t old = ::umask(0177);
  const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0;
  ::umask(old);
  if (!bound || ::listen(fd, 4) != 0 || ::fcntl(fd, F_SETFL, O_NONBLOCK) != 0) {
    if (bound) ::unlink(path.c_str());
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<LinkListener>(new LinkListener(fd, path));
}

LinkListener::~LinkListener() {
  ::close(fd_);
  ::unlink(path_.c_str());
}

std::optional<std::string> LinkListener::take() {
  const int connection = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (connection < 0) return std::nullopt;
  // Only a process of this user can connect (the socket is 0600); one that never closes
  // still costs the program at most a second.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  std::string text;
  char buffer[65536];
  while (text.size() < kLinkHandOverLimit) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    pollfd p{connection, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    const ssize_t n = ::read(connection, buffer, std::min(sizeof buffer, kLinkHandOverLimit - text.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(connection);
  return text;
}

bool handOverLink(const std::filesystem::path& folder, std::string_view text) {
  const std::optional<sockaddr_un> address = addressOf(socketPath(folder));
  if (!address) return false;
  const int fd = unixSocket();
  if (fd < 0) return false;
  bool sent = ::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0;
  text = text.substr(0, kLinkHandOverLimit);
  while (sent && !text.empty()) {
    const ssize_t n = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    sent = n > 0;
    if (sent) text.remove_prefix(static_cast<std::size_t>(n));
  }
  ::close(fd);
  return sent;
}

}  // namespace parupo
