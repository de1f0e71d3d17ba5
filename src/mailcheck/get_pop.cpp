#include "mailcheck/get_pop.h"

namespace parupo {

namespace {

// The folder as text without a trailing separator (the root stays "/").
std::string folderText(const std::filesystem::path& folder) {
  std::string text = folder.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace

std::optional<mail::MailError> GetPOP(const PopAccount& account, MailLibrary& mail,
                                      const std::function<void(const std::string&)>& setCaption) {
  using enum mail::MailErrorKind;
  try {
    setCaption("受信チェック中");
    const PopCall call{.server = account.server,
                       .user = account.user,
                       .password = account.password,
                       .command = "STAT",
                       .folder = folderText(account.programFolder),
                       .allowPlainLogin = account.allowPlainLogin};
    const std::optional<mail::MailError> error = withoutExceptions(mail::MailProtocol::Pop3,
                                                                   [&] { return mail.receive(call); });
    // Stopped before the password could go unencrypted: the one outcome the user learns.
    if (error && error->kind == PopCheckSkippedForPassword) return error;
  } catch (...) {
    // The check's outcome is never used, and its failure must not stop the send.
  }
  return std::nullopt;
}

}  // namespace parupo
