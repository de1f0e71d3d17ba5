// mail_bench send SERVER COUNT [ATTACHMENT]: sends COUNT messages (small ones, or with
//   the attachment) through one CurlMailLibrary, one SendMail call each, and prints the
//   count, the wall time of the sends and the process's peak resident memory in KiB
//   (VmHWM: its own image only; getrusage would also count the parent it was forked
//   from).
// mail_bench compose ATTACHMENT OUT: writes the same message with the attachment to OUT,
//   for the curl command line to upload.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "mailapi/curl_mail_library.h"
#include "mailapi/mime_writer.h"

namespace {

const std::string kTo = "hanako@example.jp", kFrom = "taro@example.jp";

std::string subject(int i) { return "ベンチマーク " + std::to_string(i); }
std::string body(int i) { return "短い本文です。\nThis is message " + std::to_string(i) + ".\n"; }

long peakResidentKib() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmHWM:")) return std::stol(line.substr(6));
  }
  return -1;
}

int send(std::string server, int count, const std::string& attachmentPath) {
  parupo::CurlMailLibrary library;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    std::string to = kTo, reply = kFrom, s = subject(i), b = body(i), attachment = attachmentPath;
    std::string result = library.SendMail(server, to, reply, s, b, attachment, "");
    if (!result.empty()) {
      std::fprintf(stderr, "message %d: %s\n", i, result.c_str());
      return 1;
    }
  }
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%d %.3f %ld\n", count, seconds, peakResidentKib());
  return 0;
}

int compose(const std::string& attachment, const std::string& out) {
  parupo::mail::MessageParts parts;
  parts.from = {"", kFrom};
  parts.to = {{"", kTo}};
  parts.replyTo = {parts.from};
  parts.subject = subject(0);
  parts.body = body(0);
  parts.attachment = attachment;
  parupo::mail::MessageStream message(std::move(parts));
  std::ofstream file(out, std::ios::binary);
  static char buffer[1 << 16];
  while (std::size_t n = message.read(buffer, sizeof buffer)) file.write(buffer, static_cast<std::streamsize>(n));
  if (!message.ok() || !file) {
    std::fprintf(stderr, "compose: %s\n", message.ok() ? "" : parupo::mail::mailErrorText(*message.failure()).c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "send" && argc >= 4) return send(argv[2], std::stoi(argv[3]), argc > 4 ? argv[4] : "");
  if (mode == "compose" && argc == 4) return compose(argv[2], argv[3]);
  std::fprintf(stderr, "usage: mail_bench send SERVER COUNT [ATTACHMENT] | compose ATTACHMENT OUT\n");
  return 2;
}
