// The clock seam: local date and time as the user's calendar shows it.
#pragma once

#include <chrono>
#include <string>

namespace parupo {

struct LocalDateTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  auto operator<=>(const LocalDateTime&) const = default;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime now() const = 0;
};

class SystemClock final : public Clock {
 public:
  LocalDateTime now() const override;
};

LocalDateTime toLocal(std::chrono::system_clock::time_point t);

std::string formatMonthDayTime(const LocalDateTime& t);  // "mm/dd hh:mm"
std::string formatLogStamp(const LocalDateTime& t);      // "yyyymmdd-hhmm-ss"
std::string formatDayStamp(const LocalDateTime& t);      // "yyyymmdd"

}  // namespace parupo
