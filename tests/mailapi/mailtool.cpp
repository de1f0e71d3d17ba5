// parupo_mailtool: calls the real mail library from the command line, for the
// integration tests and for trying a server by hand.
//
//   parupo_mailtool [options] send SERVER RECIPIENTS REPLYTO SUBJECT BODY [ATTACHMENT]
//   parupo_mailtool [options] rcv SERVER USER PASSWORD [COMMAND]
//
// Options: --cafile FILE, --connect-timeout MS, --response-timeout MS,
// --low-speed-time S, --repeat N (send only), --body-file FILE (BODY is then ignored).
// Prints the library's result on standard output; exit status 0 when it was empty.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "mailapi/curl_mail_library.h"

int main(int argc, char** argv) {
  parupo::CurlMailOptions options;
  int repeat = 1;
  std::string bodyFile;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << a << " needs a value\n";
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--cafile") {
      options.caFile = value();
    } else if (a == "--connect-timeout") {
      options.connectTimeout = std::chrono::milliseconds(std::stol(value()));
    } else if (a == "--response-timeout") {
      options.responseTimeout = std::chrono::milliseconds(std::stol(value()));
    } else if (a == "--low-speed-time") {
      options.lowSpeedTime = std::chrono::seconds(std::stol(value()));
    } else if (a == "--repeat") {
      repeat = std::stoi(value());
    } else if (a == "--body-file") {
      bodyFile = value();
    } else {
      args.push_back(a);
    }
  }
  parupo::CurlMailLibrary library(options);
  std::string result;
  if (!args.empty() && args[0] == "send" && (args.size() == 6 || args.size() == 7)) {
    if (!bodyFile.empty()) {
      std::ifstream in(bodyFile, std::ios::binary);
      std::ostringstream s;
      s << in.rdbuf();
      args[5] = s.str();
    }
    for (int n = 0; n < repeat && result.empty(); ++n) {
      std::string server = args[1], to = args[2], reply = args[3], subject = args[4],
                  body = args[5], attach = args.size() == 7 ? args[6] : "";
      result = library.SendMail(server, to, reply, subject, body, attach);
    }
  } else if (!args.empty() && args[0] == "rcv" && (args.size() == 4 || args.size() == 5)) {
    std::string server = args[1], user = args[2], pass = args[3],
                command = args.size() == 5 ? args[4] : "STAT", folder = ".";
    result = library.RcvMail(server, user, pass, command, folder);
  } else {
    std::cerr << "usage: parupo_mailtool [options] send SERVER RECIPIENTS REPLYTO SUBJECT BODY "
                 "[ATTACHMENT]\n       parupo_mailtool [options] rcv SERVER USER PASSWORD "
                 "[COMMAND]\n";
    return 2;
  }
  std::cout << result << std::flush;
  return result.empty() ? 0 : 1;
}
