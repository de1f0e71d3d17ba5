// ぱるぽ: makes the application and the real platform, settles the single instance, and
// runs the main window.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/end_signals.h"
#include "app/form1.h"
#include "app/single_instance.h"
#include "core/services.h"
#include "mailapi/curl_mail_library.h"
#include "platform/clock.h"
#include "platform/instance_lock.h"
#include "platform/qt_dialogs.h"
#include "platform/random.h"

namespace {

// Ends the program at once: no closing step of any window runs. Every data file has
// been written whole by then.
[[noreturn]] void endNow() {
  std::fflush(nullptr);
  std::quick_exit(0);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("parupo"));

  parupo::QtDialogs dialogs;
  const std::filesystem::path folder = parupo::programFolder();
  const auto lock = parupo::claimSingleInstance(folder, dialogs);
  if (!lock) return 0;

  parupo::SystemClock clock;
  parupo::SystemRandom random;
  parupo::CurlMailLibrary mail;
  // Ending at once still says QUIT to a mail server whose connection is kept open.
  parupo::Form1 form(parupo::Services{dialogs, clock, random, mail, folder, [&mail] {
                                        mail.closeConnections();
                                        endNow();
                                      }});
  dialogs.setParentWindow(&form);
  // Shutdown, logout and `kill` end the program as its close box does.
  parupo::EndSignals endSignals([&form] { form.requestEnd(); });
  form.show();
  return QApplication::exec();
}
