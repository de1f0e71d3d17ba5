#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "platform/clock.h"
#include "platform/instance_lock.h"
#include "platform/random.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

TEST(Clock, LocalTimeAndPaddedStamps) {
  ::setenv("TZ", "Asia/Tokyo", 1);  // nothing else in these tests reads the system's zone
  ::tzset();
  const LocalDateTime local = toLocal(std::chrono::sys_days{std::chrono::year{2026} / 3 / 7} + std::chrono::seconds{18309});
  EXPECT_EQ(local, (LocalDateTime{2026, 3, 7, 14, 5, 9}));
  EXPECT_EQ(formatDayStamp(local), "20260307");
}

TEST(Random, StaysInItsRangeAndReachesEveryValue) {
  SystemRandom r;
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) { seen.insert(r.uniformInt(-2, 3)); ASSERT_LT(r.unit(), 1.0); }
  EXPECT_EQ(seen, (std::set<int>{-2, -1, 0, 1, 2, 3}));
}

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
  EXPECT_FALSE(inChild([&] { return !InstanceLock::acquire(dir.path()) || ::raise(SIGKILL); }));  // dies holding it
  auto mine = InstanceLock::acquire(dir.path());
  ASSERT_NE(mine, nullptr);
  EXPECT_FALSE(inChild([&] { return InstanceLock::acquire(dir.path()) != nullptr; }));
  EXPECT_TRUE(inChild([&] { return InstanceLock::acquire(other.path()) != nullptr; }));
  mine.reset();
  EXPECT_TRUE(inChild([&] { return InstanceLock::acquire(dir.path()) != nullptr; }));
  EXPECT_TRUE(std::filesystem::exists(programFolder() / "parupo_unit_tests"));
}

}  // namespace
}  // namespace parupo
