// naisho.txt, the decoration set: any file gives a set, and decorating with it leaves
// no mark behind.
#include "fuzz_support.h"
#include "mailapi/text_encoding.h"
#include "platform/random.h"
#include "send/compose_rules.h"

using namespace parupo;

namespace {

// Draws every value in turn, so that each character of the set is used.
class CyclingRandom final : public Random {
 public:
  void seedFromClock() override {}
  int uniformInt(int low, int high) override { return low + static_cast<int>(next_++ % (high - low + 1)); }
  double unit() override { return static_cast<double>(next_++ % 100) / 100; }

 private:
  unsigned next_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::scratchFile("naisho.txt", fuzz::bytesOf(data, size));
  const std::string set = readDecorationSet(fuzz::scratchFolder());
  fuzz::require(mail::sanitizeUtf8(set) == set, "the set is well-formed text", set);
  CyclingRandom random;
  const std::string decorated = decorate("よろしく、お願いします。では。", set, random);
  // Only a "、" of the set itself may stand in the result.
  fuzz::require(decorated.find("。") == std::string::npos &&
                    (decorated.find("、") == std::string::npos || set.find("、") != std::string::npos),
                "no mark is left undecorated", decorated);
  return 0;
}
