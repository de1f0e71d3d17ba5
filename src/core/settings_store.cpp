#include "core/settings_store.h"

#include "core/settings_file.h"
#include "platform/text_file.h"

namespace parupo {

std::optional<Settings> loadSettings(const std::filesystem::path& folder, Settings base) {
  const auto lines = readTextLines(folder / "PP1.dat");
  if (!lines) return std::nullopt;
  readSettingsFile(*lines, base);
  return base;
}

std::optional<std::string> loadRetentionDays(const std::filesystem::path& folder) {
  const auto lines = readTextLines(folder / "PP4.dat");
  if (!lines) return std::nullopt;
  return retentionFromFile(*lines);
}

std::vector<std::string> saveSettings(const std::filesystem::path& folder, const Settings& settings) {
  std::vector<std::string> problems;
  auto write = [&](const char* what, const char* name, const std::vector<std::string>& lines,
                   FileAccess access) {
    const std::string error = writeTextLines(folder / name, lines, access);
    if (!error.empty()) problems.push_back(std::string(what) + "を保存できませんでした。\n" + error);
  };
  write("設定 (PP1.dat) ", "PP1.dat", settingsFileLines(settings), FileAccess::Private);
  write("ログの保存日数 (PP4.dat) ", "PP4.dat", {settings.retentionDays}, FileAccess::Normal);
  return problems;
}

}  // namespace parupo
