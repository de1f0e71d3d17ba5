// What the windows get from outside: the platform seams and the mail library.
// main.cpp hands in the real ones; window tests hand in fakes.
#pragma once

#include <filesystem>
#include <functional>

#include "mailapi/mail_library.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/random.h"

namespace parupo {

struct Services {
  Dialogs& dialogs;
  const Clock& clock;
  Random& random;
  MailLibrary& mail;
  std::filesystem::path programFolder;  // APas
  std::function<void()> endProgram;      // ends the program at once
};

}  // namespace parupo
