// What the windows get from outside: the platform seams and the mail library.
// main.cpp hands in the real ones; window tests hand in fakes.
#pragma once

#include <filesystem>
#include <functional>

#include "mailapi/mail_library.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/keyring.h"
#include "platform/password_box.h"
#include "platform/random.h"

namespace parupo {

struct Services {
  Dialogs& dialogs;
  const Clock& clock;
  Random& random;
  MailLibrary& mail;
  std::filesystem::path programFolder;  // APas
  std::function<void()> endProgram;     // ends the program at once
  // Where logins without a password in PP1.dat find theirs; without them such a login
  // goes to the server without a password.
  Keyring* keyring = nullptr;
  PasswordBox* passwordBox = nullptr;
};

}  // namespace parupo
