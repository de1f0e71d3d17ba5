// The mail check before a send: log in to the POP server with the user's name and
// password and ask for the mailbox status. Nothing it finds is used.
#pragma once

#include <filesystem>

#include "mailapi/mail_library.h"
#include "send/send_window.h"

namespace parupo {

void GetPOP(SendWindow& window, MailLibrary& mail, const std::filesystem::path& programFolder);

}  // namespace parupo
