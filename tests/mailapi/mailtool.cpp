// The real mail library from the command line; prints the result, exits 1 when it is
// not empty. [--cafile FILE] [--quick] send SERVER RECIPIENTS REPLYTO SUBJECT BODY [FILE]
// or [--cafile FILE] [--quick] rcv SERVER USER PASSWORD. --quick: short time-outs.
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
    return 2;
  }
  std::cout << result;
  return result.empty() ? 0 : 1;
}
