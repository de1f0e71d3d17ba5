// Where the settings live between runs: PP1.dat (the settings; it holds a password, so
// only its owner may read it) and PP4.dat (the retention days) in the program folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/settings.h"

namespace parupo {

// What start-up found in PP1.dat.
struct SettingsRead {
  std::optional<Settings> settings;  // the file's values over the base; none when not read
  // Why a PP1.dat that exists could not be read; empty when it was read or is missing.
  // Such a file is never replaced by the settings of this run (see saveSettings).
  std::string unreadable;
};

// PP1.dat's values over `base`.
SettingsRead loadSettings(const std::filesystem::path& folder, Settings base);

// The retention field's text from PP4.dat; none when the file is missing or cannot be read.
std::optional<std::string> loadRetentionDays(const std::filesystem::path& folder);

// The refusal to show when a text field of the settings holds a character that the
// files, in CP932, cannot keep (unsavableTextMessage); "" when they can keep them all.
std::string unsavableSettings(const Settings& settings);

// Writes PP1.dat and PP4.dat; neither when unsavableSettings refuses (then its refusal
// is the one thing returned), so a character is never silently lost. A PP1.dat that could not be read at start-up
// (`pp1Unreadable`, from loadSettings) is left as it is: writing it would put defaults
// over settings the user still has. Returns what could not be written, as sentences for
// the user; empty when both files were written.
[[nodiscard]] std::vector<std::string> saveSettings(const std::filesystem::path& folder, const Settings& settings,
                                                    const std::string& pp1Unreadable = {});

}  // namespace parupo
