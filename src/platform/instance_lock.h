// One running program per program folder: a lock file in the folder, held with an
// advisory lock that the system drops when the process ends, crash or not.
#pragma once

#include <filesystem>
#include <memory>

namespace parupo {

class InstanceLock {
 public:
  // Null when another process holds the lock on this folder. A symbolic link in the lock
  // file's place is never followed: the program then runs without a lock, as it does in
  // a folder where no lock file can be made.
  static std::unique_ptr<InstanceLock> acquire(const std::filesystem::path& folder);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

 private:
  explicit InstanceLock(int fd) : fd_(fd) {}
  int fd_;
};

}  // namespace parupo
