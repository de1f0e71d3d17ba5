// What the main window shows when it opens, worked out from the files in the program
// folder. Plain C++: the window applies the plan to its controls.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/settings.h"
#include "platform/clock.h"
#include "send/recipient_history.h"

namespace parupo {

struct StartupPlan {
  // PP1.dat over the defaults, the retention days from PP4.dat.
  Settings settings;
  // Why a PP1.dat that exists could not be read (empty when read or missing); saving
  // leaves such a file alone.
  std::string settingsUnreadable;
  // A folder holding the project file is the developer's: "帰" shows, and a mark stands
  // in the subject so that a test mail is never mistaken for a real one.
  bool developmentFolder = false;
  std::string recipient;                      // Text1
  std::string subject;                        // Text3
  RecipientHistory history;                   // PP2.dat
  std::vector<std::string> addressBookLines;  // PPad.dat, for the history's names
  // No SMTP server yet: the first use starts in the settings panel.
  bool openSettingsPanel = false;
};

// The start-up's work on the files of `folder`: makes its files the user's alone, makes
// the daily backups of the data files, reads what the window shows, and deletes the
// message logs older than the retention days saved in PP4.dat. A file that is missing or
// cannot be read leaves its part at the default; nothing is ever reported.
StartupPlan planStartup(const std::filesystem::path& folder, const LocalDateTime& now);

}  // namespace parupo
