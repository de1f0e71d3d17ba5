#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <system_error>

#include "platform/charset.h"

namespace parupo {

namespace {

std::string errorText(const std::filesystem::path& file, int err) {
  return "ファイル " + file.string() + " を保存できませんでした（" + fileErrorReason(err, true) + "）";
}

bool writeAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// Opens a new, unused temporary file beside `target`. The kernel applies the umask to
// `mode`, exactly as for a file created in place.
int createTemporary(const std::filesystem::path& target, mode_t mode, std::filesystem::path& tmp) {
  static std::atomic<unsigned> counter{0};
  const auto seed = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const unsigned long long tag = seed ^ (static_cast<unsigned long long>(::getpid()) << 20) ^
                                   (counter.fetch_add(1) * 0x9E3779B97F4A7C15ULL);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%012llx.tmp", tag & 0xFFFFFFFFFFFFULL);
    tmp = target.parent_path() / ("." + target.filename().string() + suffix);
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

void syncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // best effort: the rename itself has already happened
  ::close(fd);
}

// Fills a new temporary file beside `target` through `fill` (0 or an errno), makes it
// owner-only (0600) and renames it over `target`: `target` is always either its old
// self or the whole new file. `file` is the name the user knows it by.
std::string replaceFile(const std::filesystem::path& file, const std::filesystem::path& target,
                        const std::function<int(int)>& fill) {
  std::filesystem::path tmp;
  const int fd = createTemporary(target, 0600, tmp);
  if (fd < 0) return errorText(file, errno);
  int err = fill(fd);
  if (!err && ::fchmod(fd, 0600) != 0) err = errno;  // 0600 whatever the umask says
  if (!err && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && ::rename(tmp.c_str(), target.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(tmp.c_str());
    return errorText(file, err);
  }
  syncFolder(target.parent_path());
  return "";
}

}  // namespace

std::string fileErrorReason(int err, bool writing) {
  switch (err) {
    case EACCES:
    case EPERM: return writing ? "書き込みが許可されていません" : "読み取りが許可されていません";
    case EROFS: return "読み取り専用の場所です";
    case ENOSPC:
    case EDQUOT: return "ディスクの空きが足りません";
    case ENOENT:
    case ENOTDIR: return writing ? "フォルダーがありません" : "ファイルがありません";
    case EISDIR: return "同じ名前のフォルダーがあります";
    case ELOOP: return "シンボリックリンクが循環しています";
    case EIO: return "入出力エラーが発生しました";
    case EINVAL: return "通常のファイルではありません";
    case EFBIG: return "ファイルが大きすぎます";
    default: return std::strerror(err);
  }
}

std::string toCp932(std::string_view utf8) {
  return convertCharset(utf8, "UTF-8", "CP932", Unconvertible::Replace).value_or(std::string(utf8));
}

std::string fromCp932(std::string_view cp932) {
  return convertCharset(cp932, "CP932", "UTF-8", Unconvertible::Replace).value_or(std::string(cp932));
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.emplace_back(text.substr(start));
  return lines;
}

int openRegularFile(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  const int err = ::fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : !S_ISREG(st.st_mode) ? EINVAL : 0;
  if (err == 0) {
    // A regular file reads the same either way; the flag only kept the open from waiting.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
  }
  ::close(fd);
  errno = err;
  return -1;
}

TextFileRead readTextFile(const std::filesystem::path& file) {
  TextFileRead read;
  auto fail = [&](int err) {
    // Only a file that is not there is missing; any other failure is told as it is.
    if (err != ENOENT && err != ENOTDIR) {
      read.problem = "ファイル " + file.string() + " を読み込めませんでした（" + fileErrorReason(err, false) + "）";
    }
    return read;
  };
  const int fd = openRegularFile(file);
  if (fd < 0) return fail(errno);
  std::string bytes;
  int err = 0;
  char buffer[65536];
  while (err == 0) {
    // One byte beyond the limit is enough to tell a file too large: no more is read.
    const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, kMaxDataFileBytes + 1 - bytes.size()));
    if (n == 0) break;
    if (n > 0) {
      bytes.append(buffer, static_cast<std::size_t>(n));
      if (bytes.size() > kMaxDataFileBytes) err = EFBIG;
    } else if (errno != EINTR) {
      err = errno;
    }
  }
  ::close(fd);
  if (err != 0) return fail(err);
  // CR and LF never occur inside a CP932 double-byte character, so the text can be
  // converted whole and split afterwards.
  std::vector<std::string> lines = splitLines(fromCp932(bytes));
  if (lines.back().empty()) lines.pop_back();  // the end of the last line, or an empty file
  read.lines = std::move(lines);
  return read;
}

std::optional<std::vector<std::string>> readTextLines(const std::filesystem::path& file) {
  return readTextFile(file).lines;
}

std::string writeTextLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) {
    bytes += toCp932(line);
    bytes += "\r\n";
  }

  // A data file reached through a symbolic link is replaced where it really lives.
  std::filesystem::path target = file;
  std::error_code ec;
  if (std::filesystem::is_symlink(file, ec)) {
    auto resolved = std::filesystem::weakly_canonical(file, ec);
    if (!ec) target = resolved;
  }
  if (std::filesystem::is_directory(target, ec)) return errorText(file, EISDIR);
  return replaceFile(file, target, [&bytes](int fd) { return writeAll(fd, bytes) ? 0 : errno; });
}

std::string copyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to) {
  const int in = openRegularFile(from);
  if (in < 0) return errorText(to, errno);
  std::string result = replaceFile(to, to, [in](int out) {
    std::vector<char> buffer(64 * 1024);
    for (;;) {
      const ssize_t n = ::read(in, buffer.data(), buffer.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return n < 0 ? errno : 0;
      if (!writeAll(out, {buffer.data(), static_cast<std::size_t>(n)})) return errno;
    }
  });
  ::close(in);
  return result;
}

void makeOwnerOnly(const std::filesystem::path& path) {
  struct stat before {};
  if (::lstat(path.c_str(), &before) != 0 || (before.st_mode & 077) == 0) return;
  if (!S_ISREG(before.st_mode) && !S_ISDIR(before.st_mode)) return;  // a link, a FIFO, a device
  // O_NONBLOCK: should a FIFO have taken the name since, the open does not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  const bool same = ::fstat(fd, &st) == 0 && st.st_dev == before.st_dev && st.st_ino == before.st_ino;
  if (same) ::fchmod(fd, st.st_mode & 07700);
  ::close(fd);
}

bool makePrivateFolder(const std::filesystem::path& path, std::error_code& error) {
  error.clear();
  if (::mkdir(path.c_str(), 0700) == 0) return true;  // the umask can only narrow it further
  if (errno != EEXIST) {
    error.assign(errno, std::generic_category());
    return false;
  }
  makeOwnerOnly(path);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    error.assign(errno, std::generic_category());
    return false;
  }
  if (!S_ISDIR(st.st_mode)) error = std::make_error_code(std::errc::not_a_directory);
  return !error;
}

void removeLeftoverTemporaries(const std::filesystem::path& folder) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    // "." + the file's name + "." + 12 hex digits + ".tmp", as createTemporary names them.
    constexpr std::size_t kTail = 1 + 12 + 4;
    if (name.size() < 2 + kTail || name[0] != '.' || !name.ends_with(".tmp")) continue;
    const std::string_view hex = std::string_view(name).substr(name.size() - kTail + 1, 12);
    if (name[name.size() - kTail] != '.' || hex.find_first_not_of("0123456789abcdef") != std::string_view::npos) {
      continue;
    }
    std::error_code ignored;
    if (it->is_regular_file(ignored) && !it->is_symlink(ignored)) std::filesystem::remove(it->path(), ignored);
  }
}

}  // namespace parupo
