#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <set>

#include "platform/clock.h"
#include "platform/random.h"

namespace parupo {
namespace {

TEST(Clock, StampsArePaddedAndOnTheTwentyFourHourClock) {
  const LocalDateTime t{2026, 3, 7, 14, 5, 9};
  EXPECT_EQ(formatMonthDayTime(t), "03/07 14:05");
  EXPECT_EQ(formatLogStamp(t), "20260307-1405-09");
  EXPECT_EQ(formatDayStamp(t), "20260307");
  EXPECT_EQ(formatMonthDayTime({2025, 12, 31, 0, 0, 0}), "12/31 00:00");
}

TEST(Clock, LocalTimeFollowsTheTimeZone) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  ::setenv("TZ", "Asia/Tokyo", 1);
  ::tzset();
  // 2026-03-07 05:05:09 UTC is 14:05:09 in Tokyo.
  const auto t = std::chrono::sys_days{std::chrono::year{2026} / 3 / 7} + std::chrono::hours{5} +
                 std::chrono::minutes{5} + std::chrono::seconds{9};
  EXPECT_EQ(toLocal(t), (LocalDateTime{2026, 3, 7, 14, 5, 9}));
  if (old) ::setenv("TZ", saved.c_str(), 1); else ::unsetenv("TZ");
  ::tzset();
}

TEST(Random, StaysInItsRangeAndReachesEveryValue) {
  SystemRandom r;
  r.seedFromClock();
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) {
    const int v = r.uniformInt(-2, 3);
    ASSERT_GE(v, -2);
    ASSERT_LE(v, 3);
    seen.insert(v);
    const double u = r.unit();
    ASSERT_GE(u, 0.0);
    ASSERT_LT(u, 1.0);
  }
  EXPECT_EQ(seen.size(), 6u);
  EXPECT_EQ(r.uniformInt(7, 7), 7);
  const int wide = r.uniformInt(INT32_MIN, INT32_MAX);  // the whole range does not overflow
  (void)wide;
}

}  // namespace
}  // namespace parupo
