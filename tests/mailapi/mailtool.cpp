// [--cafile FILE] [--quick] [--keep SECONDS] COMMAND [--then [--pause SECONDS] COMMAND]...
//   COMMAND: send SERVER RECIPIENTS REPLYTO SUBJECT BODY [FILE [SENDER]] | rcv SERVER USER PASSWORD
// runs the commands through one real mail library and prints their results, one line
// each; exits 1 when any is not empty. --quick: short time-outs. --keep: how long the
// SMTP connection stays open after a send. --pause: a wait before that command.
#include <chrono>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "mailapi/curl_mail_library.h"

int main(int argc, char** argv) {
  using namespace std::chrono_literals;
  using Seconds = std::chrono::duration<double>;
  const std::vector<std::string> args(argv + 1, argv + argc);
  parupo::CurlMailOptions options;
  std::size_t i = 0;
  for (; i < args.size() && args[i].starts_with("--"); ++i) {
    if (args[i] == "--cafile") {
      options.caFile = args.at(++i);
    } else if (args[i] == "--keep") {
      options.keepConnection = std::chrono::duration_cast<std::chrono::milliseconds>(Seconds(std::stod(args.at(++i))));
    } else {  // --quick
      options.connectTimeout = 3s;
      options.responseTimeout = options.lowSpeedTime = 2s;
    }
  }
  parupo::CurlMailLibrary library(options);
  bool failed = false;
  for (bool first = true; i < args.size(); first = false) {
    if (args[i] == "--then") ++i;
    if (args.at(i) == "--pause") {
      std::this_thread::sleep_for(Seconds(std::stod(args.at(i + 1))));
      i += 2;
    }
    std::vector<std::string> a;
    while (i < args.size() && args[i] != "--then") a.push_back(args[i++]);
    a.resize(std::max<std::size_t>(a.size(), 8));
    const std::string result = a[0] == "send" ? library.SendMail(a[1], a[2], a[3], a[4], a[5], a[6], a[7])
                                              : library.RcvMail(a[1], a[2], a[3], a[4], a[5]);
    std::cout << (first ? "" : "\n") << result << std::flush;
    failed = failed || !result.empty();
  }
  return failed ? 1 : 0;
}
