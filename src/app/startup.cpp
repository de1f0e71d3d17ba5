#include "app/startup.h"

#include <optional>
#include <system_error>

#include "core/settings_store.h"
#include "logs/log_upkeep.h"
#include "platform/text_file.h"

namespace parupo {

namespace {

// The recipient box starts with a domain to complete, until a history says better.
const char* const kDefaultRecipient = "@example.jp";

bool fileExists(const std::filesystem::path& p) {
  std::error_code ec;
  return std::filesystem::exists(p, ec);
}

}  // namespace

StartupPlan planStartup(const std::filesystem::path& folder, const LocalDateTime& now) {
  StartupPlan plan;
  // A run that was killed while saving may have left its temporary files behind.
  removeLeftoverTemporaries(folder);
  removeLeftoverTemporaries(folder / "log");
  // Files copied in from elsewhere, the old backups among them, are narrowed now rather
  // than at their next write.
  makeFilesPrivate(folder);
  // Before any data file is read, so that the day's backups hold what the last run left.
  makeDailyBackups(folder, now);

  plan.developmentFolder = fileExists(folder / "pigeon2.vbp");
  if (plan.developmentFolder) plan.subject = "×";

  SettingsRead pp1 = loadSettings(folder, Settings{});
  if (pp1.settings) plan.settings = std::move(*pp1.settings);
  plan.settingsUnreadable = std::move(pp1.unreadable);
  const std::optional<std::string> retention = loadRetentionDays(folder);
  if (retention) plan.settings.retentionDays = *retention;
  if (auto date = plan.settings.dateSubject(now)) plan.subject = *date;

  plan.recipient = kDefaultRecipient;
  TextFileRead pp2 = readTextFile(folder / "PP2.dat");
  if (pp2.lines) {
    plan.history.load(*pp2.lines);
    plan.recipient = plan.history.slot(0);
  }
  plan.history.keepUnreadableFile(std::move(pp2.problem));
  if (plan.settings.startupAddress) plan.recipient = plan.settings.specificAddress;

  plan.openSettingsPanel = plan.settings.smtpServer.empty();
  if (auto lines = readTextLines(folder / "PPad.dat")) plan.addressBookLines = std::move(*lines);

  // Old logs are deleted only by a retention the user has saved: without PP4.dat the
  // field's default keeps every log.
  if (retention) ageLogs(folder, *retention, now);
  return plan;
}

}  // namespace parupo
