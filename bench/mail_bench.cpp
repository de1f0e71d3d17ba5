// mail_bench SERVER COUNT [ATTACHMENT]: sends COUNT small messages (or COUNT messages
// with the attachment) through one CurlMailLibrary, one SendMail call each, and prints
// the wall time and the process's peak resident memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "mailapi/curl_mail_library.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: mail_bench SERVER COUNT [ATTACHMENT]\n");
    return 2;
  }
  const int count = std::stoi(argv[2]);
  parupo::CurlMailLibrary library;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    std::string server = argv[1], to = "hanako@example.jp", reply = "taro@example.jp",
                subject = "ベンチマーク " + std::to_string(i),
                body = "短い本文です。\nThis is message " + std::to_string(i) + ".\n",
                attachment = argc > 3 ? argv[3] : "";
    std::string result = library.SendMail(server, to, reply, subject, body, attachment, "");
    if (!result.empty()) {
      std::fprintf(stderr, "message %d: %s\n", i, result.c_str());
      return 1;
    }
  }
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%d %.3f %ld\n", count, seconds, usage.ru_maxrss);
  return 0;
}
