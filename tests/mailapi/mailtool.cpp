// parupo_mailtool: the real mail library from the command line, for the integration
// tests and for trying a server by hand.
//   parupo_mailtool [--cafile FILE] [--quick] send SERVER RECIPIENTS REPLYTO SUBJECT BODY [FILE]
//   parupo_mailtool [--cafile FILE] [--quick] rcv SERVER USER PASSWORD
// --quick: time-outs of a few seconds. Prints the result; exit status 0 when it is empty.
#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include "mailapi/curl_mail_library.h"

int main(int argc, char** argv) {
  using namespace std::chrono_literals;
  parupo::CurlMailOptions options;
  std::vector<std::string> a;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--cafile" && i + 1 < argc) {
      options.caFile = argv[++i];
    } else if (arg == "--quick") {
      options.connectTimeout = 3s;
      options.responseTimeout = 2s;
      options.lowSpeedTime = 2s;
    } else {
      a.push_back(arg);
    }
  }
  a.resize(std::max<std::size_t>(a.size(), 7));
  parupo::CurlMailLibrary library(options);
  std::string result;
  if (a[0] == "send") {
    result = library.SendMail(a[1], a[2], a[3], a[4], a[5], a[6]);
  } else if (a[0] == "rcv") {
    result = library.RcvMail(a[1], a[2], a[3], a[4], a[5]);
  } else {
    std::cerr << "usage: parupo_mailtool [--cafile FILE] [--quick] send|rcv ...\n";
    return 2;
  }
  std::cout << result;
  return result.empty() ? 0 : 1;
}
