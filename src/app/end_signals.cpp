#include "app/end_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace parupo {

namespace {

// The handler may only do what is safe inside a signal handler: it writes one byte
// into a pipe, and the event loop reads it (the self-pipe).
int gPipe[2] = {-1, -1};

constexpr int kEndSignals[] = {SIGTERM, SIGHUP};

extern "C" void onEndSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(gPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

EndSignals::EndSignals(std::function<void()> requestEnd, QObject* parent)
    : QObject(parent), requestEnd_(std::move(requestEnd)) {
  if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;  // the signals keep their default
  notifier_ = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { readSignals(); });
  struct sigaction action {};
  action.sa_handler = onEndSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kEndSignals) ::sigaction(signal, &action, nullptr);
}

EndSignals::~EndSignals() {
  if (notifier_ == nullptr) return;
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (int signal : kEndSignals) ::sigaction(signal, &action, nullptr);
  delete notifier_;
  ::close(gPipe[0]);
  ::close(gPipe[1]);
  gPipe[0] = gPipe[1] = -1;
}

void EndSignals::readSignals() {
  char bytes[16];
  ssize_t n = 0;
  bool received = false;
  while ((n = ::read(gPipe[0], bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR)) received |= n > 0;
  if (received && requestEnd_) requestEnd_();
}

}  // namespace parupo
