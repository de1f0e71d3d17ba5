#include "platform/random.h"

#include <chrono>
#include <cstdint>
#include <random>

namespace parupo {

namespace {

// splitmix64: small, fast and good enough for the program's few random choices.
std::uint64_t step(unsigned long long& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace

SystemRandom::SystemRandom() {
  std::random_device device;
  state_ = (static_cast<unsigned long long>(device()) << 32) ^ device();
}

void SystemRandom::seedFromClock() {
  state_ ^= static_cast<unsigned long long>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
  step(state_);
}

int SystemRandom::uniformInt(int low, int high) {
  if (high < low) return low;
  const std::uint64_t range = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low) + 1;
  // Draws above the last whole multiple of the range are redrawn, so no value is favoured.
  const std::uint64_t limit = UINT64_MAX - UINT64_MAX % range;
  std::uint64_t r;
  do {
    r = step(state_);
  } while (r >= limit);
  return static_cast<int>(static_cast<std::int64_t>(low) + static_cast<std::int64_t>(r % range));
}

double SystemRandom::unit() { return static_cast<double>(step(state_) >> 11) * 0x1.0p-53; }

}  // namespace parupo
