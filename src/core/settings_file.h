// PP1.dat (17 lines: texts, flags, numbers; the earlier 16-line layout is still read)
// and PP4.dat (the retention days). Pure functions over lines of UTF-8 text; reading and
// writing the CP932 files is platform/text_file.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"

namespace parupo {

// Applies the file's values onto `settings`: a value that can't be used (or a missing
// line) leaves that field or check mark as it was, except as the layout says (a missing
// text line empties its field; a missing size counts as 0).
void readSettingsFile(const std::vector<std::string>& lines, Settings& settings);

// The 17 lines of PP1.dat for these settings.
std::vector<std::string> settingsFileLines(const Settings& settings);

// The retention field's text from PP4.dat's lines: the whole number it holds, or the default
// (999) when that is missing, not a number, below 1 or outside the 16-bit range.
std::string retentionFromFile(const std::vector<std::string>& lines);

// Value conversions of the settings files.
std::optional<bool> flagValue(std::string_view value);        // "True"/"False"/number; else none
double numberValue(std::string_view value);                   // leading sign, digits and point; else 0
std::optional<int> wholeNumberValue(std::string_view value);  // halves to even, signed 16-bit
std::string formatNumber(double value);                       // " 5220 ", "-3 ", " 2.5 "

}  // namespace parupo
