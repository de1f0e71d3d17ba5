// PP1.dat and PP4.dat as the program reads them at start. Besides not crashing: what
// the program writes from any file reads back to the same file (load-then-save of a
// file the program wrote gives the same bytes), and the retention is always usable.
#include <charconv>

#include "core/settings_file.h"
#include "fuzz_support.h"

using namespace parupo;

namespace {

std::string rewritten(const std::vector<std::string>& lines) {
  Settings settings;
  readSettingsFile(lines, settings);
  return fuzz::fileBytes(settingsFileLines(settings));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines = fuzz::fileLines(fuzz::bytesOf(data, size));

  const std::string once = rewritten(lines);
  fuzz::require(rewritten(fuzz::fileLines(once)) == once, "PP1.dat written by the program reads back unchanged", once);

  const std::string days = retentionFromFile(lines);
  int value = 0;
  const auto [end, error] = std::from_chars(days.data(), days.data() + days.size(), value);
  fuzz::require(error == std::errc() && end == days.data() + days.size() && value >= 1 && value <= 32767,
                "PP4.dat gives a retention of 1 to 32767 days", days);
  return 0;
}
