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

// The user's own addresses as the settings hold them now ("山田太郎 <taro@x.jp>" or a
// bare address): a log's recipient is never one of them while someone else is named.
struct OwnAddresses {
  std::string replyTo;  // Text5
  std::string dummy;    // Text7
};

// The recipient of a log from its first lines (UTF-8): the first line is skipped as one
// comma field, the rest of the line after it is the recipient line; every "宛先 : " is
// taken out of it. A line of several addresses (as the recipient box reads them, the
// copy to oneself after a TAB or " & ") gives the first bare address that is not one of
// `own`. Any other line gives what the logs of the earlier program always gave: when
// it holds both "<" and ">", it is cut before its first ">" and what follows the first
// "<" of the remainder is the recipient ("Taro <abc>" gives "abc"; with ">" before any
// "<", the text before that ">"). "" when there is no second line.
std::string recipientFromLines(const std::vector<std::string>& lines, const OwnAddresses& own = {});

// GetTo over a CP932 log file. Reads only as far as the recipient line, so that the
// menu over thousands of logs stays quick. "" when the file cannot be read.
std::string GetTo(const std::filesystem::path& logFile, const OwnAddresses& own = {});

// The text of a log as the viewer shows it: every line followed by CR LF, whatever line
// ends the file had. "" when the file cannot be read, or holds more than a data file
// may (kMaxDataFileBytes: no more of it is read).
std::string logText(const std::filesystem::path& logFile);

// The recipient menu: from the recipients of the logs, oldest first, the distinct
// non-empty ones (compared exactly, case and all), newest first, at most ten.
std::vector<std::string> recentRecipients(const std::vector<std::string>& recipientsOldestFirst);

// The log folder's listing, taken once when the viewer opens and not refreshed while it
// is open: a log written meanwhile appears at the next opening. Each log's recipient is
// read at most once, when the menu or the filter first needs it.
class LogList {
 public:
  // The ordinary files of `folder` whose names end in ".txt" (in any case), hidden ones
  // (beginning with ".") left out, in ascending byte order of name: log names are
  // "yyyymmdd-hhmm-ss.txt", so that is oldest first. A folder that cannot be read gives
  // an empty list.
  // Recipients are read with `own` as the settings held it when the viewer opened.
  explicit LogList(std::filesystem::path folder, OwnAddresses own = {});

  const std::filesystem::path& folder() const { return folder_; }
  const std::vector<std::string>& names() const { return names_; }  // oldest first
  std::vector<std::string> newestFirst() const;

  // The recipient of the log at `index` of names(); "" past the end.
  const std::string& recipient(std::size_t index);
  // recentRecipients over every listed log.
  const std::vector<std::string>& recipientMenu();
  // The names of the logs whose recipient equals `recipient` exactly, newest first.
  std::vector<std::string> newestFirstTo(const std::string& recipient);

 private:
  void readRecipients();

  std::filesystem::path folder_;
  OwnAddresses own_;
  std::vector<std::string> names_;
  std::vector<std::string> recipients_;  // by index of names_, once read
  std::optional<std::vector<std::string>> menu_;
};

}  // namespace parupo
