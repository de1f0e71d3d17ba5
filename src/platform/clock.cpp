#include "platform/clock.h"

#include <ctime>
#include <cstdio>

namespace parupo {

LocalDateTime toLocal(std::chrono::system_clock::time_point t) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
  std::tm tm{};
  if (::localtime_r(&seconds, &tm) == nullptr) return {};
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

LocalDateTime SystemClock::now() const { return toLocal(std::chrono::system_clock::now()); }

std::string formatMonthDayTime(const LocalDateTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d %02d:%02d", t.month, t.day, t.hour, t.minute);
  return buf;
}

std::string formatLogStamp(const LocalDateTime& t) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d-%02d%02d-%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return buf;
}

std::string formatDayStamp(const LocalDateTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", t.year, t.month, t.day);
  return buf;
}

}  // namespace parupo
