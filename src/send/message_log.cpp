#include "send/message_log.h"

#include <cstdio>
#include <string_view>
#include <system_error>

#include "platform/cp932_text.h"
#include "platform/text_file.h"

namespace parupo {

namespace {

constexpr std::string_view kCrLf = "\r\n";

}  // namespace

std::vector<std::string> logFileLines(const std::string& EL, const std::string& szToo, const SendVariables& vars) {
  // The file is this stream of text; building it whole and splitting it afterwards
  // keeps line breaks inside any of the values (an error text, the body) exact.
  std::string text;
  text += EL;
  text += kCrLf;
  text += "宛先 : " + szToo;
  text += kCrLf;
  text += "返信 : " + vars.ReplyAdr;
  text += kCrLf;
  text += "件名 : " + vars.SubjTxt;
  text += kCrLf;
  text += "本文 : ";
  text += kCrLf;
  text += vars.BodyTxt;
  text += kCrLf;
  text += kCrLf;
  text += "添付 : " + vars.TnpPath;
  // writeTextLines ends every line with CR LF, the last one included.
  return splitLines(text);
}

std::string SaveLogX(const std::filesystem::path& file, const std::string& EL, const std::string& szToo,
                     const SendVariables& vars) {
  // What CP932 cannot write whole stays readable as references, which the log viewer
  // reads back.
  std::vector<std::string> lines = logFileLines(EL, szToo, vars);
  for (std::string& line : lines) line = withCharacterReferences(line);
  return writeTextLines(file, lines);
}

std::filesystem::path newMessageLogPath(const std::filesystem::path& logFolder, const LocalDateTime& t,
                                        std::error_code& error) {
  const std::string stamp = formatLogStamp(t);
  error.clear();
  for (int n = 1; n <= 999; ++n) {
    char suffix[8] = "";
    if (n > 1) std::snprintf(suffix, sizeof suffix, "_%03d", n);
    const std::filesystem::path candidate = logFolder / (stamp + suffix + ".txt");
    // symlink_status: a name is taken by whatever stands there, even a broken link.
    const auto status = std::filesystem::symlink_status(candidate, error);
    if (status.type() == std::filesystem::file_type::not_found) {
      error.clear();
      return candidate;
    }
    if (error) return {};  // the folder cannot be looked into: no name can be told free
  }
  return {};
}

std::string writeMessageLog(const std::filesystem::path& programFolder, const LocalDateTime& t,
                            const std::string& szToo, const SendVariables& vars) {
  const std::filesystem::path logFolder = programFolder / "log";
  std::error_code ec;
  // The logs hold whole mails: a folder made here is the user's alone from the start. A
  // "log" that links elsewhere is where the user chose to keep them, as it is.
  if (!makePrivateFolder(logFolder, ec)) {
    return "送信記録のフォルダー " + logFolder.string() + " を作成できませんでした。" + (ec ? "\n" + ec.message() : "");
  }
  std::error_code nameError;
  const std::filesystem::path file = newMessageLogPath(logFolder, t, nameError);
  const std::string written = !file.empty() ? SaveLogX(file, "", szToo, vars)
                              : nameError ? "送信記録のフォルダー " + logFolder.string() + " を読み込めませんでした（" +
                                                fileErrorReason(nameError.value(), false) + "）"
                                          : "同じ時刻の送信記録が多すぎます。";
  return written.empty() ? "" : "送信記録を保存できませんでした。\n" + written;
}

}  // namespace parupo
