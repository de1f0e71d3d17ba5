// mail_bench send SERVER COUNT [ATTACHMENT]: sends COUNT messages (small ones, or with
//   the attachment) through one CurlMailLibrary, one send each, and prints the
//   count, the wall time of the sends and the process's peak resident memory in KiB
//   (VmHWM: its own image only; getrusage would also count the parent it was forked
//   from).
//   With "watched" after the attachment, a watch takes the upload's per cent, and another
//   thread reads it four times a second, as the window does.
// mail_bench stop SERVER ATTACHMENT: sends the message to a server that stops reading
//   during the upload; once the upload has stalled for half a second, asks the watch to
//   stop, and prints the milliseconds from that to the end of the send.
// mail_bench compose ATTACHMENT OUT: writes the same message with the attachment to OUT,
//   for the curl command line to upload.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/upload_progress.h"
#include "mailapi/curl_mail_library.h"
#include "mailapi/mime_writer.h"
#include "mailapi/transfer_watch.h"

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

// Reads the watch as the window does while it lives; `stall` > 0: asks for a stop once
// the per cent has stood still that long, and keeps the time it asked. Ending it wakes it
// at once, as a window's timer keeps nobody waiting.
class Reader {
 public:
  Reader(parupo::TransferWatch& watch, std::chrono::milliseconds interval, std::chrono::milliseconds stall)
      : thread_([this, &watch, interval, stall] {
          std::optional<int> last;
          auto since = std::chrono::steady_clock::now();
          std::unique_lock lock(mutex_);
          while (!wake_.wait_for(lock, interval, [this] { return over_; })) {
            const std::optional<int> now = watch.percent();
            if (now != last) since = std::chrono::steady_clock::now(), last = now;
            if (stall.count() > 0 && now && !stopped_ && std::chrono::steady_clock::now() - since >= stall) {
              stoppedAt_ = std::chrono::steady_clock::now();
              stopped_ = true;
              watch.requestStop();
            }
          }
        }) {}
  ~Reader() { end(); }
  void end() {
    {
      std::lock_guard lock(mutex_);
      over_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
  }
  std::chrono::steady_clock::time_point stoppedAt() const { return stoppedAt_; }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool over_ = false;
  std::atomic<bool> stopped_{false};
  std::chrono::steady_clock::time_point stoppedAt_{};
  std::thread thread_;
};

int stop(std::string server, const std::string& attachmentPath) {
  parupo::CurlMailLibrary library;
  parupo::TransferWatch watch;
  library.setTransferWatch(&watch);
  std::string to = kTo, reply = kFrom, s = subject(0), b = body(0), attachment = attachmentPath;
  Reader reader(watch, std::chrono::milliseconds(10), std::chrono::milliseconds(500));
  const std::string result = parupo::mail::sendResultText(library.send(
      {.server = server, .recipients = to, .replyTo = reply, .subject = s, .body = b, .attachment = attachment}));
  const auto end = std::chrono::steady_clock::now();
  reader.end();
  library.setTransferWatch(nullptr);
  if (result.empty()) return std::fprintf(stderr, "stop: the message went through\n"), 1;
  std::printf("%.1f\n", std::chrono::duration<double, std::milli>(end - reader.stoppedAt()).count());
  return 0;
}

int send(std::string server, int count, const std::string& attachmentPath, bool watched) {
  parupo::CurlMailLibrary library;
  parupo::TransferWatch watch;
  if (watched) library.setTransferWatch(&watch);
  std::optional<Reader> reader;
  if (watched) reader.emplace(watch, parupo::UploadProgress::kTick, std::chrono::milliseconds::zero());
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    std::string to = kTo, reply = kFrom, s = subject(i), b = body(i), attachment = attachmentPath;
    const std::string result = parupo::mail::sendResultText(library.send(
        {.server = server, .recipients = to, .replyTo = reply, .subject = s, .body = b, .attachment = attachment}));
    if (!result.empty()) {
      std::fprintf(stderr, "message %d: %s\n", i, result.c_str());
      return 1;
    }
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%d %.3f %ld\n", count, seconds, peakResidentKib());
  library.setTransferWatch(nullptr);
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
  if (mode == "send" && argc >= 4) {
    return send(argv[2], std::stoi(argv[3]), argc > 4 ? argv[4] : "", argc > 5 && std::string(argv[5]) == "watched");
  }
  if (mode == "stop" && argc == 4) return stop(argv[2], argv[3]);
  if (mode == "compose" && argc == 4) return compose(argv[2], argv[3]);
  std::fprintf(stderr,
               "usage: mail_bench send SERVER COUNT [ATTACHMENT [watched]] | stop SERVER ATTACHMENT | "
               "compose ATTACHMENT OUT\n");
  return 2;
}
