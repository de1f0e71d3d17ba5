#include "mailcheck/get_pop.h"

#include <string>

namespace parupo {

namespace {

// The folder as text without a trailing separator (the root stays "/").
std::string folderText(const std::filesystem::path& folder) {
  std::string text = folder.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace

void GetPOP(SendWindow& window, MailLibrary& mail, const std::filesystem::path& programFolder) {
  try {
    window.setCaption("受信チェック中");
    const Settings settings = window.settings();
    // Local copies: the library may change them; nothing reads them afterwards.
    std::string server = settings.popServer;
    std::string user = settings.popUser;
    std::string password = settings.popPassword;
    std::string command = "STAT";
    std::string folder = folderText(programFolder);
    (void)mail.RcvMail(server, user, password, command, folder);
  } catch (...) {
    // The check's outcome is never used, and its failure must not stop the send.
  }
}

}  // namespace parupo
