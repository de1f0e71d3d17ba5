#include "mailcheck/get_pop.h"

#include "mailapi/mail_error.h"

namespace parupo {

namespace {

// The folder as text without a trailing separator (the root stays "/").
std::string folderText(const std::filesystem::path& folder) {
  std::string text = folder.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace

std::string GetPOP(const PopAccount& account, MailLibrary& mail,
                   const std::function<void(const std::string&)>& setCaption) {
  try {
    setCaption("受信チェック中");
    // Local copies: the library may change them; nothing reads them afterwards.
    std::string server = account.server;
    std::string user = account.user;
    std::string password = account.password;
    std::string command = "STAT";
    std::string folder = folderText(account.programFolder);
    const std::string result = mail.RcvMail(server, user, password, command, folder);
    // Stopped before the password could go unencrypted: the one outcome the user learns.
    using enum mail::MailErrorKind;
    if (result == mail::mailErrorText({.kind = PopCheckSkippedForPassword, .protocol = mail::MailProtocol::Pop3})) {
      return result;
    }
  } catch (...) {
    // The check's outcome is never used, and its failure must not stop the send.
  }
  return "";
}

}  // namespace parupo
