#include "core/settings_store.h"

#include "core/settings_file.h"
#include "platform/cp932_text.h"
#include "platform/text_file.h"

namespace parupo {

SettingsRead loadSettings(const std::filesystem::path& folder, Settings base) {
  // The passwords inside are the user's alone, also in a file copied in from elsewhere.
  makeOwnerOnly(folder / "PP1.dat");
  TextFileRead file = readTextFile(folder / "PP1.dat");
  SettingsRead read{.settings = std::nullopt, .unreadable = std::move(file.problem)};
  if (file.lines) {
    readSettingsFile(*file.lines, base);
    read.settings = std::move(base);
  }
  return read;
}

std::optional<std::string> loadRetentionDays(const std::filesystem::path& folder) {
  const auto lines = readTextLines(folder / "PP4.dat");
  if (!lines) return std::nullopt;
  return retentionFromFile(*lines);
}

std::string unsavableSettings(const Settings& settings) {
  std::string texts = settings.retentionDays;
  for (const std::string& line : settingsFileLines(settings)) texts += line;
  return unsavableTextMessage(texts);
}

std::vector<std::string> saveSettings(const std::filesystem::path& folder, const Settings& settings,
                                      const std::string& pp1Unreadable) {
  if (std::string refused = unsavableSettings(settings); !refused.empty()) return {std::move(refused)};
  std::vector<std::string> problems;
  auto write = [&](const char* what, const char* name, const std::vector<std::string>& lines) {
    const std::string error = writeTextLines(folder / name, lines);
    if (!error.empty()) problems.push_back(std::string(what) + "を保存できませんでした。\n" + error);
  };
  if (pp1Unreadable.empty()) {
    write("設定 (PP1.dat) ", "PP1.dat", settingsFileLines(settings));
  } else {
    problems.push_back(
        "設定 (PP1.dat) を保存できませんでした。起動時に読み込めなかったため、"
        "元のファイルを残しています。\n" +
        pp1Unreadable);
  }
  write("ログの保存日数 (PP4.dat) ", "PP4.dat", {settings.retentionDays});
  return problems;
}

}  // namespace parupo
