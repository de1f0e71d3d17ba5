// The message logs as the log viewer sees them: the "*.txt" files of the folder "log",
// the recipient of each log (GetTo), the recipient menu's list and the filter by
// recipient. Plain C++; the viewer window only shows what this gives.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace parupo {

// The recipients of a log from its first lines (UTF-8, character references as the
// file keeps them, read back here): the first line is skipped as one
// comma field, the rest of the line after it is the recipient line, with every "宛先 : "
// taken out of it. The reply-to modes add the user's own address at its end (after
// " & " or a TAB) and the dummy address in front (before a TAB): as the log's own
// reply-to line ("返信 : ", the line after it) tells them, never today's settings, they
// are no recipients. What is left names the people written to: two or more addresses
// give each bare address once, in their order ("A, B" is listed under A and under B).
// Any other text gives one recipient as the logs of the earlier program always did:
// when it holds both "<" and ">", it is cut before its first ">" and what follows the
// first "<" of the remainder is the recipient ("Taro <abc>" gives "abc"; with ">"
// before any "<", the text before that ">"). None when the text is empty.
std::vector<std::string> recipientsFromLines(const std::vector<std::string>& lines);

// GetTo over a CP932 log file. Reads only as far as
// the reply-to line, so that the menu over thousands of logs stays quick. None when the
// file cannot be read.
std::vector<std::string> GetTo(const std::filesystem::path& logFile);

// The text of a log as the viewer shows it: every line followed by CR LF, whatever line
// ends the file had, its character references read back. "" when the file cannot be
// read, or holds more than a data file may (kMaxDataFileBytes: no more of it is read).
std::string logText(const std::filesystem::path& logFile);

// The recipient menu: from the recipients of the logs, oldest log first, the distinct
// non-empty ones (compared exactly, case and all), newest log first and each log's in
// their order, at most ten.
std::vector<std::string> recentRecipients(const std::vector<std::vector<std::string>>& recipientsOldestFirst);

// The log folder's listing, taken once when the viewer opens and not refreshed while it
// is open: a log written meanwhile appears at the next opening. Each log's recipient is
// read at most once, when the menu or the filter first needs it.
class LogList {
 public:
  // The ordinary files of `folder` whose names end in ".txt" (in any case), hidden ones
  // (beginning with ".") left out, in ascending byte order of name: log names are
  // "yyyymmdd-hhmm-ss.txt", so that is oldest first. A folder that cannot be read gives
  // an empty list.
  explicit LogList(std::filesystem::path folder);

  const std::filesystem::path& folder() const { return folder_; }
  const std::vector<std::string>& names() const { return names_; }  // oldest first
  std::vector<std::string> newestFirst() const;

  // The recipients of the log at `index` of names(); none past the end.
  const std::vector<std::string>& recipients(std::size_t index);
  // recentRecipients over every listed log.
  const std::vector<std::string>& recipientMenu();
  // The names of the logs with a recipient equal to `recipient` exactly, newest first.
  std::vector<std::string> newestFirstTo(const std::string& recipient);

 private:
  void readRecipients();

  std::filesystem::path folder_;
  std::vector<std::string> names_;
  std::vector<std::vector<std::string>> recipients_;  // by index of names_, once read
  std::optional<std::vector<std::string>> menu_;
};

}  // namespace parupo
