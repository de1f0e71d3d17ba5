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
  parupo::CurlMailOptions options;
  struct Command {
    Seconds pause{0};
    std::vector<std::string> a;
  };
  std::vector<Command> commands(1);
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--cafile" && i + 1 < argc) {
      options.caFile = argv[++i];
    } else if (arg == "--quick") {
      options.connectTimeout = 3s;
      options.responseTimeout = options.lowSpeedTime = 2s;
    } else if (arg == "--keep" && i + 1 < argc) {
      options.keepConnection = std::chrono::duration_cast<std::chrono::milliseconds>(Seconds(std::stod(argv[++i])));
    } else if (arg == "--pause" && i + 1 < argc) {
      commands.back().pause = Seconds(std::stod(argv[++i]));
    } else if (arg == "--then") {
      commands.emplace_back();
    } else {
      commands.back().a.push_back(arg);
    }
  }
  parupo::CurlMailLibrary library(options);
  bool failed = false;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    std::this_thread::sleep_for(commands[i].pause);
    auto& a = commands[i].a;
    a.resize(std::max<std::size_t>(a.size(), 8));
    const std::string result = a[0] == "send" ? library.SendMail(a[1], a[2], a[3], a[4], a[5], a[6], a[7])
                                              : library.RcvMail(a[1], a[2], a[3], a[4], a[5]);
    std::cout << (i > 0 ? "\n" : "") << result << std::flush;
    failed = failed || !result.empty();
  }
  return failed ? 1 : 0;
}
