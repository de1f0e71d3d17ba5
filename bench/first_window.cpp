// first_window SECONDS PROGRAM [ARGS...]: starts PROGRAM on $DISPLAY (an X server with
// no window manager and no other client) and prints three numbers: the milliseconds
// from exec to its first top-level window being mapped, its resident memory in KiB
// SECONDS after that, and 1 when libcurl is in its address space then (else 0). Then
// kills the program. Watching MapNotify on the root window costs the program nothing,
// unlike polling it with xwininfo.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

long statusKib(pid_t pid, const std::string& field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
  }
  return -1;
}

bool mapsLibrary(pid_t pid, const std::string& name) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/maps");
  for (std::string line; std::getline(in, line);) {
    if (line.find(name) != std::string::npos) return true;
  }
  return false;
}

int fail(const char* what, pid_t child) {
  std::fprintf(stderr, "first_window: %s\n", what);
  if (child > 0) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: first_window SECONDS PROGRAM [ARGS...]\n");
    return 2;
  }
  const auto settle = std::chrono::duration<double>(std::atof(argv[1]));
  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(x)) return fail("cannot connect to the X server", 0);
  xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
  const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
  // A round trip, so the selection is in force before the program starts.
  std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));

  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child < 0) return fail("fork failed", 0);
  if (child == 0) {
    execv(argv[2], argv + 2);
    _exit(127);
  }

  const Clock::time_point deadline = start + std::chrono::seconds(30);
  Clock::time_point mapped{};
  while (mapped == Clock::time_point{}) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
      if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY &&
          !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect && mapped == Clock::time_point{}) {
        mapped = Clock::now();
      }
      std::free(event);
    }
    if (mapped != Clock::time_point{}) break;
    if (xcb_connection_has_error(x)) return fail("lost the X server", child);
    if (waitpid(child, nullptr, WNOHANG) == child) return fail("the program ended before its window", 0);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return fail("no window within 30 s", child);
    pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(std::min<long>(left.count(), 50)));
  }

  std::this_thread::sleep_until(mapped + settle);
  const long rss = statusKib(child, "VmRSS");
  const bool curl = mapsLibrary(child, "libcurl");
  // Killed, not asked to end: what a program does at its end is not measured here.
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  xcb_disconnect(x);
  std::printf("%.2f %ld %d\n", std::chrono::duration<double, std::milli>(mapped - start).count(), rss, curl ? 1 : 0);
  return rss < 0 ? 1 : 0;
}
