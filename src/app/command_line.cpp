#include "app/command_line.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

#include "send/mailto_link.h"

#ifndef PARUPO_VERSION
#define PARUPO_VERSION "0"
#endif

namespace parupo {

namespace {

const char* const kHelp =
    "使い方: parupo [mailto:リンク]\n"
    "ぱるぽ: 宛先・件名・本文を入力して、SMTP サーバーから短いメールを送ります。\n"
    "\n"
    "  mailto:リンク  宛先・件名・本文を入れて開きます（送信はしません）。\n"
    "                 すでに起動しているときは、そのウィンドウに入れます。\n"
    "  --help         この説明を表示して終わります。\n"
    "  --version      版を表示して終わります。\n";

// Whether something listens on the Unix socket; `abstract`: the name in Linux's abstract
// namespace, where most X servers listen as well as in /tmp/.X11-unix.
bool socketAnswers(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;
  if (path.size() + offset >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + offset, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  // A path's name ends in its NUL; an abstract name is its leading NUL and the path.
  const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
  const bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0;
  ::close(fd);
  return answers;
}

// Whether an X server answers on the display's local socket (":0", ":1.0"); a display on
// another host is taken as there.
bool localXServerAnswers(const std::string& display) {
  if (display.empty() || display[0] != ':') return true;
  const std::string number = display.substr(1, display.find('.') - 1);
  if (number.empty()) return true;
  const std::string path = "/tmp/.X11-unix/X" + number;
  return socketAnswers(path, false) || socketAnswers(path, true);
}

}  // namespace

CommandLine readCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a == "--help" || a == "-h") return {kHelp, std::nullopt};
    if (a == "--version") return {std::string("parupo ") + PARUPO_VERSION + "\n", std::nullopt};
    if (!line.link && isMailtoLink(a)) line.link = a;
  }
  return line;
}

std::optional<std::string> missingDisplay(const std::function<const char*(const char*)>& environment) {
  auto set = [&](const char* name) {
    const char* value = environment(name);
    return value != nullptr && *value != '\0';
  };
  if (set("QT_QPA_PLATFORM") || set("WAYLAND_DISPLAY")) return std::nullopt;
  if (!set("DISPLAY"))
    return "ぱるぽ: ウィンドウを表示する画面がありません（DISPLAY "
           "が設定されていません）。デスクトップの中で起動してください。";
  if (!localXServerAnswers(environment("DISPLAY"))) {
    return std::string("ぱるぽ: 画面（") + environment("DISPLAY") +
           "）に接続できません。デスクトップの中で起動してください。";
  }
  return std::nullopt;
}

}  // namespace parupo
