#include "logs/log_upkeep.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <optional>
#include <system_error>
#include <vector>

#include "core/settings_file.h"
#include "platform/text_file.h"

namespace parupo {

namespace {

// Nothing when the calendar cannot hold the moment (a wildly wrong file time), so that
// such a file is neither copied by date nor deleted by age.
std::optional<LocalDateTime> localTime(std::time_t seconds) {
  std::tm tm{};
  if (::localtime_r(&seconds, &tm) == nullptr) return std::nullopt;
  return LocalDateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

// The data files of the daily backup, in the order they are copied.
constexpr const char* kDataFiles[] = {"PP1.dat", "PP2.dat", "PP3.dat", "PP4.dat", "PPad.dat"};

}  // namespace

std::filesystem::path backupPath(const std::filesystem::path& dataFile) {
  std::string name = dataFile.string();
  // The last character may take several bytes in UTF-8: drop all of them.
  while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80) name.pop_back();
  if (!name.empty()) name.pop_back();
  return name + "$";
}

bool backupDue(const LocalDateTime& modified, const LocalDateTime& now, int force) {
  return force == 1 || formatDayStamp(modified) < formatDayStamp(now);
}

void BakDat(const std::filesystem::path& dataFile, int force, const LocalDateTime& now) {
  struct stat st {};
  if (::stat(dataFile.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  const auto modified = localTime(st.st_mtim.tv_sec);
  const bool due = modified ? backupDue(*modified, now, force) : force == 1;
  // A backup that fails is skipped silently, as every step of the start-up is.
  if (due) static_cast<void>(copyFileAtomically(dataFile, backupPath(dataFile)));
}

void makeDailyBackups(const std::filesystem::path& programFolder, const LocalDateTime& now) {
  for (const char* name : kDataFiles) BakDat(programFolder / name, 0, now);
}

void makeFilesPrivate(const std::filesystem::path& programFolder) {
  for (const char* name : kDataFiles) {
    makeOwnerOnly(programFolder / name);
    makeOwnerOnly(backupPath(programFolder / name));
  }
  for (const char* name : {"naisho.txt", "error.txt"}) makeOwnerOnly(programFolder / name);
  const std::filesystem::path log = programFolder / "log";
  struct stat st {};
  if (::lstat(log.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
  makeOwnerOnly(log);
  std::error_code ec;
  for (std::filesystem::directory_iterator it(log, ec), end; !ec && it != end; it.increment(ec))
    makeOwnerOnly(it->path());  // a link among the logs is left alone there too
}

long dayNumber(const LocalDateTime& t) {
  using namespace std::chrono;
  const sys_days day{year{t.year} / t.month / t.day};
  const sys_days epoch{year{1899} / December / 30};
  const long afternoon = t.hour * 3600 + t.minute * 60 + t.second >= 12 * 3600 ? 1 : 0;
  return static_cast<long>((day - epoch).count()) + afternoon;
}

long fileAge(const LocalDateTime& modified, const LocalDateTime& now) { return dayNumber(now) - dayNumber(modified); }

void ageLogs(const std::filesystem::path& programFolder, double retentionDays, const LocalDateTime& now) {
  DIR* folder = ::opendir((programFolder / "log").c_str());
  if (folder == nullptr) return;
  // The list is taken once, in name order, before anything is deleted. Names beginning
  // with "." are hidden files (and the folder's own "." and "..").
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(folder))
    if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
  std::sort(names.begin(), names.end());
  // Looked up beside the open folder, not through the whole path: over thousands of logs
  // that is most of the ageing's time. Without following links, a symbolic link is no
  // ordinary file, so nothing it points to is judged or deleted; unlinkat never removes a
  // folder, even one put there since the listing.
  const int fd = ::dirfd(folder);
  for (const auto& name : names) {
    struct stat st {};
    if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    const auto modified = localTime(st.st_mtim.tv_sec);
    if (modified && fileAge(*modified, now) > retentionDays) ::unlinkat(fd, name.c_str(), 0);
  }
  ::closedir(folder);
}

void ageLogs(const std::filesystem::path& programFolder, std::string_view retentionField, const LocalDateTime& now) {
  ageLogs(programFolder, numberValue(retentionField), now);
}

}  // namespace parupo
