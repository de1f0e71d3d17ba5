// [--cafile FILE] [--bundle-only FILE] [--quick] [--keep SECONDS] COMMAND [--then [--pause SECONDS] [--stop SECONDS]
// COMMAND]...
//   COMMAND: send SERVER RECIPIENTS REPLYTO SUBJECT BODY [FILE [SENDER]] | rcv SERVER USER PASSWORD [plain]
// runs the commands through one real mail library, watched as the program watches it, and
// prints their results, one line each: empty when the call went through, otherwise the
// error's kind, a TAB and its sentence; exits 1 when any failed. --bundle-only: libcurl
// taken as one built without a CA folder, whose CA bundle is FILE. --quick: short
// time-outs. --keep: how long the SMTP connection stays open after a send. --pause: a wait
// before that command. --stop: a stop asked for that long into it; "stopped in N ms", from
// the stop to the end of the call, then goes to standard error. plain: the POP password may
// go in clear to a server without STLS.
#include <chrono>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "mailapi/curl_mail_library.h"
#include "mailapi/mail_error.h"
#include "mailapi/transfer_watch.h"

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// Runs `call`, and from another thread stops it once `stopAfter` has passed (never when zero).
template <typename Call>
std::optional<parupo::mail::MailError> watched(parupo::TransferWatch& watch, Seconds stopAfter, Call call) {
  watch.clear();
  if (stopAfter.count() == 0) return call();
  Clock::time_point stoppedAt;
  std::thread stopper([&] {
    std::this_thread::sleep_for(stopAfter);
    stoppedAt = Clock::now();
    watch.requestStop();
  });
  std::optional<parupo::mail::MailError> result = call();
  const Clock::time_point end = Clock::now();
  stopper.join();
  std::cerr << "stopped in " << std::chrono::duration_cast<std::chrono::milliseconds>(end - stoppedAt).count()
            << " ms\n";
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace std::chrono_literals;
  const std::vector<std::string> args(argv + 1, argv + argc);
  parupo::CurlMailOptions options;
  std::size_t i = 0;
  for (; i < args.size() && args[i].starts_with("--") && args[i] != "--pause" && args[i] != "--stop"; ++i) {
    if (args[i] == "--cafile") {
      options.caFile = args.at(++i);
    } else if (args[i] == "--bundle-only") {
      options.builtInTrust = parupo::mail::BuiltInTrust{.caFolder = "", .caBundle = args.at(++i)};
    } else if (args[i] == "--keep") {
      options.keepConnection = std::chrono::duration_cast<std::chrono::milliseconds>(Seconds(std::stod(args.at(++i))));
    } else {  // --quick
      options.connectTimeout = 3s;
      options.responseTimeout = options.lowSpeedTime = 2s;
    }
  }
  parupo::CurlMailLibrary library(options);
  parupo::TransferWatch watch;
  library.setTransferWatch(&watch);
  bool failed = false;
  for (bool first = true; i < args.size(); first = false) {
    if (args[i] == "--then") ++i;
    Seconds stopAfter{0};
    for (; args.at(i) == "--pause" || args.at(i) == "--stop"; i += 2) {
      const Seconds value(std::stod(args.at(i + 1)));
      if (args[i] == "--pause") std::this_thread::sleep_for(value);
      if (args[i] == "--stop") stopAfter = value;
    }
    std::vector<std::string> a;
    while (i < args.size() && args[i] != "--then") a.push_back(args[i++]);
    a.resize(std::max<std::size_t>(a.size(), 8));
    const auto error = watched(watch, stopAfter, [&] {
      return a[0] == "send" ? library.send({.server = a[1],
                                            .recipients = a[2],
                                            .replyTo = a[3],
                                            .subject = a[4],
                                            .body = a[5],
                                            .attachment = a[6],
                                            .sender = a[7]})
                            : library.receive(
                                  {.server = a[1], .user = a[2], .password = a[3], .allowPlainLogin = a[4] == "plain"});
    });
    std::cout << (first ? "" : "\n");
    if (error) std::cout << parupo::mail::kindName(error->kind) << '\t' << parupo::mail::mailErrorText(*error);
    std::cout << std::flush;
    failed = failed || error.has_value();
  }
  library.setTransferWatch(nullptr);
  return failed ? 1 : 0;
}
