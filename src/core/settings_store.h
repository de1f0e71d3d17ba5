// Where the settings live between runs: PP1.dat (the settings; it holds a password, so
// only its owner may read it) and PP4.dat (the retention days) in the program folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/settings.h"

namespace parupo {

// PP1.dat's values over `base`; none when the file is missing or cannot be read.
std::optional<Settings> loadSettings(const std::filesystem::path& folder, Settings base);

// The retention field's text from PP4.dat; none when the file is missing or cannot be read.
std::optional<std::string> loadRetentionDays(const std::filesystem::path& folder);

// Writes PP1.dat and PP4.dat. Returns what could not be written, as sentences for the
// user; empty when both files were written.
std::vector<std::string> saveSettings(const std::filesystem::path& folder, const Settings& settings);

}  // namespace parupo
