// The mail check before a send: log in to the POP server with the user's name and
// password and ask for the mailbox status. Nothing it finds is used.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "mailapi/mail_library.h"

namespace parupo {

struct PopAccount {
  std::string server;    // Text8
  std::string user;      // Text9
  std::string password;  // Text10
  std::filesystem::path programFolder;
  bool allowPlainLogin = false;  // the user let this server, without STLS, have the password in clear
};

// Shows "受信チェック中" through `setCaption`, then asks the server. Never throws: the
// check's failure must not stop the send that follows it. Returns what the user should
// learn of it, once per run: that the check was skipped to keep the password from
// going unencrypted (PopCheckSkippedForPassword); otherwise nothing.
std::optional<mail::MailError> GetPOP(const PopAccount& account, MailLibrary& mail,
                                      const std::function<void(const std::string&)>& setCaption);

}  // namespace parupo
