// How a later start hands a mailto: link to the program already running for the same
// program folder: a Unix socket beside the instance lock, readable by the user alone.
// The later start writes the link and closes; the running program reads it whole.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace parupo {

// The most bytes one hand-over carries; what comes after is not read.
inline constexpr std::size_t kLinkHandOverLimit = 4 * 1024 * 1024;

class LinkListener {
 public:
  // Listens on the folder's socket (a stale one left by a crash is replaced; whatever
  // else stands at that name is left alone). Null when that is not possible: later starts
  // then say that the program already runs.
  static std::unique_ptr<LinkListener> open(const std::filesystem::path& folder);
  ~LinkListener();
  LinkListener(const LinkListener&) = delete;
  LinkListener& operator=(const LinkListener&) = delete;

  // The descriptor to watch: it becomes readable when a later start connects.
  int descriptor() const { return fd_; }
  // Takes one waiting hand-over: what the later start wrote, read for at most a second
  // and at most kLinkHandOverLimit bytes. Nothing when no start was waiting.
  std::optional<std::string> take();

 private:
  LinkListener(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
  int fd_;
  std::filesystem::path path_;
};

// Hands the text to the program running for the folder. False when none takes it.
bool handOverLink(const std::filesystem::path& folder, std::string_view text);

}  // namespace parupo
