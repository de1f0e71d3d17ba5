// The message log (one file per send in the folder "log") and the error log error.txt.
// Both share one layout, written in CP932 with CR LF line ends.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/clock.h"
#include "send/send_decisions.h"

namespace parupo {

// The lines of a log file: EL (which may itself hold line breaks), the recipient text
// szToo, the reply-to address, the subject, the body and the attachment of `vars`.
std::vector<std::string> logFileLines(const std::string& EL, const std::string& szToo, const SendVariables& vars);

// SaveLogX: writes one log file, replacing any file of that name, a character CP932
// lacks as a reference ("&#x2665;", see withCharacterReferences). Does not create
// folders. Empty text on success, otherwise a sentence for the user.
[[nodiscard]] std::string SaveLogX(const std::filesystem::path& file, const std::string& EL, const std::string& szToo,
                                   const SendVariables& vars);

// The file for a new message log written at `t`: "yyyymmdd-hhmm-ss.txt" in logFolder.
// When a log of that second already exists, the next free of "yyyymmdd-hhmm-ss_002.txt",
// "_003" ... up to "_999", so that a later log never replaces an earlier one and the
// names still sort oldest first by plain byte order ('.' sorts before '_', and both
// before the digits of the next second). Empty path when all of them are taken, or when
// the folder cannot be looked into: then `error` tells why.
std::filesystem::path newMessageLogPath(const std::filesystem::path& logFolder, const LocalDateTime& t,
                                        std::error_code& error);

// The message log of a send at `t`: a new file in the folder "log" of the program's
// folder, made when missing. Empty text when it was written, otherwise what went wrong,
// to tell the user once the send's outcome is settled.
[[nodiscard]] std::string writeMessageLog(const std::filesystem::path& programFolder, const LocalDateTime& t,
                                          const std::string& szToo, const SendVariables& vars);

}  // namespace parupo
