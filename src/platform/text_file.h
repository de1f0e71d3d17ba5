// CP932 (Windows Shift-JIS) text files with CR LF line ends: every data file of the
// program goes through here. Text inside the program is UTF-8.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace parupo {

// UTF-8 -> CP932. A character CP932 cannot hold becomes "?".
std::string toCp932(std::string_view utf8);
// CP932 -> UTF-8. A byte sequence that is not CP932 becomes U+FFFD.
std::string fromCp932(std::string_view cp932);

// What reading a whole file found: its lines; or nothing, because the file is missing;
// or nothing, because it exists but cannot be read (then `problem` says why). Only a
// regular file of at most kMaxDataFileBytes is read: a FIFO, a device or a huge file is
// unreadable, never waited on.
struct TextFileRead {
  std::optional<std::vector<std::string>> lines;
  std::string problem;
  bool missing() const { return !lines && problem.empty(); }
};

inline constexpr std::size_t kMaxDataFileBytes = 64u << 20;

// Reads a whole CP932 file and splits it into lines. CR LF, LF and a lone CR all end
// a line; a line end at the very end of the file does not start another line.
TextFileRead readTextFile(const std::filesystem::path& file);
// The lines only: empty optional when the file is missing or cannot be read.
std::optional<std::vector<std::string>> readTextLines(const std::filesystem::path& file);

// Why a file operation failed (an errno value), in words for the user.
std::string fileErrorReason(int err, bool writing);

// Writes each line followed by CR LF, in CP932. The whole file goes to a temporary
// file in the same folder first and is renamed over the old one, so a crash or a full
// disk never leaves half a file. Every file the program writes holds the user's mail,
// addresses or passwords: it is owner-only (0600) after every write, whatever mode it
// had. Returns an empty string on success, otherwise a sentence fit to show the user.
[[nodiscard]] std::string writeTextLines(const std::filesystem::path& file, const std::vector<std::string>& lines);

// Copies the regular file `from` to `to` byte for byte through a temporary file beside
// `to` that is renamed over it, so `to` is always either its old self or a whole copy,
// never a half one or none. The copy is owner-only (0600). Empty text on success,
// otherwise a sentence fit to show the user.
[[nodiscard]] std::string copyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to);

// Takes the permissions of group and others away from an existing file or folder (a
// file copied in from elsewhere). A symbolic link is left alone, and so is what it points
// to: a folder the user linked elsewhere (a shared one) keeps its permissions. The file is
// opened without following links and narrowed through that open file, so a link put in
// its place meanwhile changes nothing either. FIFOs and devices are left alone. Failures
// are ignored.
void makeOwnerOnly(const std::filesystem::path& path);

// Makes the folder `path` when it is missing, owner-only (0700) from its first moment; an
// existing one is narrowed by makeOwnerOnly (a link to a folder counts as existing and is
// left alone). True when a folder (or a link to one) stands there afterwards; otherwise
// `error` says why.
bool makePrivateFolder(const std::filesystem::path& path, std::error_code& error);

// Opens an existing file for reading without waiting on it (a FIFO or a device never
// blocks), and only when it is a regular file: otherwise -1 with errno set (EINVAL for
// a file of another kind, EISDIR for a folder).
int openRegularFile(const std::filesystem::path& file);

// Splits UTF-8 text at CR LF, LF or a lone CR (used for multi-line values such as a body).
// Every line break counts: "A\r\n" gives "A" and "", and "" gives one empty line, so
// joining the parts with CR LF gives the text back with its line breaks as CR LF.
std::vector<std::string> splitLines(std::string_view text);

// Removes the temporary files that a whole-file write left in `folder` when the program
// was killed in the middle of it (".NAME.<12 hex digits>.tmp"); the files they were to
// replace are whole either way. Call it only while no write can be under way (at
// start-up, holding the single-instance lock). Failures are ignored.
void removeLeftoverTemporaries(const std::filesystem::path& folder);

}  // namespace parupo
