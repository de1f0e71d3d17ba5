#include "platform/program_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

namespace parupo {

namespace {

namespace fs = std::filesystem;

#ifdef PARUPO_XDG_DATA
constexpr bool kInstalledForEveryUser = true;
#else
constexpr bool kInstalledForEveryUser = false;
#endif

fs::path executableFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return fs::current_path(ec);
  // An executable replaced while it runs is reported with this mark after its name.
  std::string s = exe.string();
  const std::string deleted = " (deleted)";
  if (s.size() > deleted.size() && s.ends_with(deleted)) {
    s.resize(s.size() - deleted.size());
    exe = s;
  }
  return exe.parent_path();
}

bool isAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

fs::path homeFolder(const char* home) {
  if (isAbsolute(home)) return home;
  const passwd* user = ::getpwuid(::getuid());
  if (user != nullptr && isAbsolute(user->pw_dir)) return user->pw_dir;
  return "/";
}

// Makes each missing folder of `folder`, from the top down, readable by its owner only.
void makeOwnerOnlyFolders(const fs::path& folder) {
  fs::path made;
  for (const fs::path& part : folder) {
    made /= part;
    if (::mkdir(made.c_str(), 0700) == 0) ::chmod(made.c_str(), 0700);  // whatever the umask
  }
}

}  // namespace

fs::path userDataFolder(const char* xdgDataHome, const char* home) {
  const fs::path data = isAbsolute(xdgDataHome) ? fs::path(xdgDataHome) : homeFolder(home) / ".local" / "share";
  const fs::path folder = (data / "parupo").lexically_normal();
  makeOwnerOnlyFolders(folder);
  return folder;
}

fs::path programFolder() {
  if constexpr (kInstalledForEveryUser) {
    return userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  }
  return executableFolder();
}

}  // namespace parupo
