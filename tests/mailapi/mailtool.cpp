// [--cafile FILE] [--quick] send SERVER RECIPIENTS REPLYTO SUBJECT BODY [FILE [SENDER]] | rcv SERVER USER PASSWORD
// prints the real mail library's result and exits 1 when it is not empty. --quick: short time-outs.
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
      options.responseTimeout = options.lowSpeedTime = 2s;
    } else {
      a.push_back(arg);
    }
  }
  a.resize(std::max<std::size_t>(a.size(), 8));
  parupo::CurlMailLibrary library(options);
  const std::string result = a[0] == "send" ? library.SendMail(a[1], a[2], a[3], a[4], a[5], a[6], a[7])
                                            : library.RcvMail(a[1], a[2], a[3], a[4], a[5]);
  std::cout << result;
  return result.empty() ? 0 : 1;
}
