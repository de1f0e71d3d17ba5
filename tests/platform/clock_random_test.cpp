#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <set>

#include "platform/clock.h"
#include "platform/random.h"

namespace parupo {
namespace {

TEST(Clock, LocalTimeAndPaddedStamps) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  ::setenv("TZ", "Asia/Tokyo", 1);
  ::tzset();
  const auto t = std::chrono::sys_days{std::chrono::year{2026} / 3 / 7} + std::chrono::hours{5} +
                 std::chrono::minutes{5} + std::chrono::seconds{9};
  const LocalDateTime local = toLocal(t);
  if (old) ::setenv("TZ", saved.c_str(), 1); else ::unsetenv("TZ");
  ::tzset();
  EXPECT_EQ(local, (LocalDateTime{2026, 3, 7, 14, 5, 9}));
  EXPECT_EQ(formatMonthDayTime(local), "03/07 14:05");
  EXPECT_EQ(formatLogStamp(local), "20260307-1405-09");
  EXPECT_EQ(formatDayStamp(local), "20260307");
}

TEST(Random, StaysInItsRangeAndReachesEveryValue) {
  SystemRandom r;
  r.seedFromClock();
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) seen.insert(r.uniformInt(-2, 3));
  EXPECT_EQ(seen, (std::set<int>{-2, -1, 0, 1, 2, 3}));
  for (int i = 0; i < 2000; ++i) ASSERT_LT(r.unit(), 1.0);
  EXPECT_EQ(r.uniformInt(7, 7), 7);
}

}  // namespace
}  // namespace parupo
