#include "app/startup.h"

#include <system_error>

#include "core/settings_store.h"
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
  plan.developmentFolder = fileExists(folder / "pigeon2.vbp");
  if (plan.developmentFolder) plan.subject = "×";

  if (auto settings = loadSettings(folder, Settings{})) plan.settings = std::move(*settings);
  if (auto days = loadRetentionDays(folder)) plan.settings.retentionDays = *days;
  if (auto date = plan.settings.dateSubject(now)) plan.subject = *date;

  plan.recipient = kDefaultRecipient;
  if (auto lines = readTextLines(folder / "PP2.dat")) {
    plan.history.load(*lines);
    plan.recipient = plan.history.slot(0);
  }
  if (plan.settings.startupAddress) plan.recipient = plan.settings.specificAddress;

  plan.openSettingsPanel = plan.settings.smtpServer.empty();
  if (auto lines = readTextLines(folder / "PPad.dat")) plan.addressBookLines = std::move(*lines);
  return plan;
}

}  // namespace parupo
