// ぱるぽ: makes the application and the real platform, settles the single instance, and
// runs the main window.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "app/end_signals.h"
#include "app/form1.h"
#include "app/command_line.h"
#include "app/link_intake.h"
#include "core/services.h"
#include "mailapi/curl_mail_library.h"
#include "send/mailto_link.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/instance_lock.h"
#include "platform/link_socket.h"
#include "platform/process_guard.h"
#include "platform/program_folder.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_translation.h"
#include "platform/random.h"

namespace {

// Ends the program at once: no closing step of any window runs. Every data file has
// been written whole by then.
[[noreturn]] void endNow() {
  std::fflush(nullptr);
  std::quick_exit(0);
}

// Says QUIT to a mail server whose connection is still kept open, then ends. The mail
// has gone by then, so a server that fell silent gets two seconds for its answer, not
// the minute a send allows it, and never holds the program open.
[[noreturn]] void quitMailThenEnd(parupo::CurlMailLibrary& mail) {
  std::promise<void> quit;
  std::future<void> said = quit.get_future();
  try {
    std::thread([&mail, quit = std::move(quit)]() mutable {
      mail.closeConnections();
      quit.set_value();
    }).detach();
    said.wait_for(std::chrono::seconds(2));
  } catch (const std::system_error&) {
    // Without a thread the connection is simply dropped at the end.
  }
  endNow();
}

// A later start with a mailto: link hands it to the program already running for the
// folder and ends; the running one may be starting itself, so it is given a few tries.
bool handedOver(const std::filesystem::path& folder, const std::string& link) {
  for (int attempt = 0; attempt < 30; ++attempt) {
    if (parupo::handOverLink(folder, link)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // Before anything is read, and before any thread exists (each takes the signal
  // dispositions of its start): no crash leaves the passwords in a file, no other process
  // reads them from memory, and no cut connection kills the program by SIGPIPE.
  for (const std::string& refused : parupo::guardProcess(std::getenv("PARUPO_TEST_DUMPABLE")))
    std::fprintf(stderr, "parupo: %s\n", refused.c_str());
  const parupo::CommandLine line = parupo::readCommandLine(std::vector<std::string>(argv, argv + argc));
  if (line.answer) {
    std::fputs(line.answer->c_str(), stdout);
    return 0;
  }
  if (const auto why = parupo::missingDisplay([](const char* name) { return std::getenv(name); })) {
    std::fprintf(stderr, "%s\n", why->c_str());
    return 1;
  }
  const std::filesystem::path folder = parupo::programFolder();
  auto lock = parupo::InstanceLock::acquire(folder);
  if (!lock && line.link && handedOver(folder, *line.link)) return 0;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("parupo"));
  // Without Qt's translation its buttons stay English; nothing else depends on it.
  (void)parupo::loadQtJapanese(app);
  parupo::useProgramFont();

  parupo::QtDialogs dialogs;
  if (!lock) {
    dialogs.message("既に起動されています");
    return 0;
  }

  parupo::SystemClock clock;
  parupo::SystemRandom random;
  // A server's own certificate, or a private authority's, is trusted when the user puts
  // it into the program folder, as cacert.pem.
  parupo::CurlMailOptions mailOptions;
  mailOptions.caFile = (folder / "cacert.pem").string();
  parupo::CurlMailLibrary mail(mailOptions);
  parupo::Form1 form(parupo::Services{dialogs, clock, random, mail, folder, [&mail] { quitMailThenEnd(mail); }});
  dialogs.setParentWindow(&form);
  // Shutdown, logout and `kill` end the program as its close box does.
  parupo::EndSignals endSignals([&form] { form.requestEnd(); });
  // Later starts hand their mailto: links to this window.
  if (auto listener = parupo::LinkListener::open(folder)) new parupo::LinkIntake(std::move(listener), form);
  form.show();
  if (line.link) {
    if (const auto link = parupo::readMailtoLink(*line.link)) form.openMailtoLink(*link);
  }
  return QApplication::exec();
}
