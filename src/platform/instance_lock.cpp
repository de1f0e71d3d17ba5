#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace parupo {

namespace {
const char* const kLockName = ".parupo.lock";
}

std::unique_ptr<InstanceLock> InstanceLock::acquire(const std::filesystem::path& folder) {
  const std::filesystem::path file = folder / kLockName;
  // Never through a symbolic link: a link put in the lock's place would otherwise have
  // the program create or open a file wherever it points.
  int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  // A folder the user may not write to still lets an existing lock file be locked.
  if (fd < 0 && errno != ELOOP) fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    // Without a lock file (or with a link in its place) there is nothing to coordinate
    // on; refusing to start would wrongly tell the user another copy is running.
    return std::unique_ptr<InstanceLock>(new InstanceLock(-1));
  }
  // The lock belongs to this open file: the system drops it when the process ends,
  // however it ends, so a crash never leaves the folder locked.
  int r;
  do {
    r = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (r != 0 && errno == EINTR);
  if (r != 0) {
    const int err = errno;
    ::close(fd);
    if (err == EWOULDBLOCK) return nullptr;
    return std::unique_ptr<InstanceLock>(new InstanceLock(-1));
  }
  return std::unique_ptr<InstanceLock>(new InstanceLock(fd));
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace parupo
