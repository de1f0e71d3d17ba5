#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_folder.h"

namespace parupo {
namespace {

// Runs `body` in another process: true when it exited with 1.
template <typename F>
bool inChild(F body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body() ? 1 : 0);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

TEST(InstanceLock, OneHolderPerFolderAndACrashedHolderDoesNotBlock) {
  test::TempFolder dir, other;
  // The holder dies with its lock file still in the folder.
  EXPECT_FALSE(inChild([&] {
    auto lock = InstanceLock::acquire(dir.path());
    if (lock) ::raise(SIGKILL);
    return true;
  }));
  auto mine = InstanceLock::acquire(dir.path());
  ASSERT_NE(mine, nullptr);
  EXPECT_EQ(InstanceLock::acquire(dir.path()), nullptr);
  EXPECT_FALSE(inChild([&] { return InstanceLock::acquire(dir.path()) != nullptr; }));
  EXPECT_TRUE(inChild([&] { return InstanceLock::acquire(other.path()) != nullptr; }));
  mine.reset();
  EXPECT_TRUE(inChild([&] { return InstanceLock::acquire(dir.path()) != nullptr; }));
  EXPECT_TRUE(std::filesystem::exists(programFolder() / "parupo_unit_tests"));
}

}  // namespace
}  // namespace parupo
