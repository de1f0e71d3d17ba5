#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <system_error>

#include "platform/charset.h"

namespace parupo {

namespace {

std::string errorText(const std::filesystem::path& file, int err) {
  std::string reason;
  switch (err) {
    case EACCES:
    case EPERM:
      reason = "書き込みが許可されていません";
      break;
    case EROFS:
      reason = "読み取り専用の場所です";
      break;
    case ENOSPC:
    case EDQUOT:
      reason = "ディスクの空きが足りません";
      break;
    case ENOENT:
    case ENOTDIR:
      reason = "フォルダーがありません";
      break;
    default:
      reason = std::strerror(err);
  }
  return "ファイル " + file.string() + " を保存できませんでした（" + reason + "）";
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
  const auto seed = static_cast<unsigned long long>(
      std::chrono::steady_clock::now().time_since_epoch().count());
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

// Fills a new temporary file beside `target` through `fill` (0 or an errno), gives it
// `mode` when set, and renames it over `target`: `target` is always either its old self
// or the whole new file. `file` is the name the user knows it by.
std::string replaceFile(const std::filesystem::path& file, const std::filesystem::path& target,
                        mode_t createMode, std::optional<mode_t> mode, const std::function<int(int)>& fill) {
  std::filesystem::path tmp;
  const int fd = createTemporary(target, createMode, tmp);
  if (fd < 0) return errorText(file, errno);
  int err = fill(fd);
  if (!err && mode && ::fchmod(fd, *mode) != 0) err = errno;
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

std::string toCp932(std::string_view utf8) {
  return convertCharset(utf8, "UTF-8", "CP932", Unconvertible::Replace).value_or(std::string(utf8));
}

std::string fromCp932(std::string_view cp932) {
  return convertCharset(cp932, "CP932", "UTF-8", Unconvertible::Replace)
      .value_or(std::string(cp932));
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

std::optional<std::vector<std::string>> readTextLines(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) return std::nullopt;
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  // CR and LF never occur inside a CP932 double-byte character, so the text can be
  // converted whole and split afterwards.
  std::vector<std::string> lines = splitLines(fromCp932(bytes));
  if (lines.back().empty()) lines.pop_back();  // the end of the last line, or an empty file
  return lines;
}

std::string writeTextLines(const std::filesystem::path& file, const std::vector<std::string>& lines,
                           FileAccess access) {
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

  // The replacement keeps the old file's permissions; a new file gets the usual ones,
  // or owner-only ones when it is private.
  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;
  if (existed && S_ISDIR(old.st_mode)) return errorText(file, EISDIR);
  const mode_t createMode = access == FileAccess::Private ? 0600 : 0666;
  return replaceFile(file, target, createMode, existed ? std::optional<mode_t>(old.st_mode & 07777) : std::nullopt,
                     [&bytes](int fd) { return writeAll(fd, bytes) ? 0 : errno; });
}

std::string copyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return errorText(to, errno);
  struct stat source {};
  std::string result;
  if (::fstat(in, &source) != 0) {
    result = errorText(to, errno);
  } else if (!S_ISREG(source.st_mode)) {
    result = errorText(to, EINVAL);
  } else {
    const mode_t mode = source.st_mode & 07777;
    result = replaceFile(to, to, mode, mode, [in](int out) {
      std::vector<char> buffer(64 * 1024);
      for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : 0;
        if (!writeAll(out, {buffer.data(), static_cast<std::size_t>(n)})) return errno;
      }
    });
  }
  ::close(in);
  return result;
}

}  // namespace parupo
