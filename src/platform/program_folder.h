// Where ぱるぽ keeps its data files, its log folder and its lock: the program folder.
#pragma once

#include <filesystem>

namespace parupo {

// The program folder. A portable installation keeps its files beside the running
// executable; a program installed for every user (built with PARUPO_XDG_DATA, as the
// Debian package is) keeps each user's files in their data folder, see userDataFolder.
std::filesystem::path programFolder();

// $XDG_DATA_HOME/parupo, or `home`/.local/share/parupo when XDG_DATA_HOME is unset, empty
// or relative (the user's home from the password database when `home` is unset or
// relative too). Made when missing, owner-only (0700), with any missing folder above it;
// a folder that exists keeps the permissions its owner gave it. When it cannot be made,
// its path all the same: reading then finds nothing, and saving says why it failed.
std::filesystem::path userDataFolder(const char* xdgDataHome, const char* home);

}  // namespace parupo
