// What the command line asks for: the text of --help or --version, a mailto: link to
// open, and whether a screen is there to show the window on. Decided before Qt starts, so
// that --help and --version work without a display.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace parupo {

struct CommandLine {
  std::optional<std::string> answer;  // --help or --version: print it and end with status 0
  std::optional<std::string> link;    // the first mailto: argument
};

CommandLine readCommandLine(const std::vector<std::string>& arguments);

// Why no window can be shown, in one Japanese line; nothing when a screen is there (or a
// Qt platform was chosen explicitly). `environment` answers getenv.
std::optional<std::string> missingDisplay(const std::function<const char*(const char*)>& environment);

}  // namespace parupo
