#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_folder.h"

namespace parupo {
namespace {

// Runs `body` in a child process and gives back its exit status (-1 when it did not
// exit normally).
template <typename F>
int inChild(F body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(InstanceLock, OneHolderPerFolder) {
  test::TempFolder dir;
  auto first = InstanceLock::acquire(dir.path());
  ASSERT_NE(first, nullptr);
  // Another process, and another attempt in this one, are both refused.
  EXPECT_EQ(inChild([&] { return InstanceLock::acquire(dir.path()) ? 1 : 0; }), 0);
  EXPECT_EQ(InstanceLock::acquire(dir.path()), nullptr);

  // Another folder is another program.
  test::TempFolder other;
  EXPECT_NE(InstanceLock::acquire(other.path()), nullptr);

  first.reset();
  EXPECT_EQ(inChild([&] { return InstanceLock::acquire(dir.path()) ? 1 : 0; }), 1);
}

TEST(InstanceLock, AHolderThatCrashedDoesNotBlock) {
  test::TempFolder dir;
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    auto lock = InstanceLock::acquire(dir.path());
    const char c = lock ? 'y' : 'n';
    if (::write(ready[1], &c, 1) != 1) ::_exit(2);
    ::pause();  // killed below, lock still held
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_EQ(c, 'y');
  EXPECT_EQ(InstanceLock::acquire(dir.path()), nullptr);

  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  EXPECT_NE(InstanceLock::acquire(dir.path()), nullptr);
}

TEST(InstanceLock, ProgramFolderHoldsTheRunningExecutable) {
  const auto folder = programFolder();
  EXPECT_TRUE(folder.is_absolute());
  EXPECT_TRUE(std::filesystem::exists(folder / "parupo_unit_tests"));
}

}  // namespace
}  // namespace parupo
