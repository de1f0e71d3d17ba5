// Which POP servers without STLS the user lets the mail check log in to without
// encryption. The answer はい is kept in PPpop.dat of the program folder, one
// "host:port" a line (the server alone, never a name or password), so it is asked once
// for each server; いいえ is kept for the run only, so that the question does not come at
// every send and comes again at the next start.
#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <string>

namespace parupo {

class PlainPopLogins {
 public:
  explicit PlainPopLogins(std::filesystem::path programFolder);

  // Whether the user let the server of this POP field have the password in clear. A
  // field that names no server, or a file that cannot be read, allows nothing.
  bool allowed(const std::string& popField) const;
  // The question for the server of this field, when it is still to be asked (neither
  // answered はい before nor いいえ in this run); otherwise nothing.
  std::optional<std::string> question(const std::string& popField) const;
  // Keeps the user's answer. Empty text, or why PPpop.dat could not be saved (then the
  // answer holds for this run).
  [[nodiscard]] std::string answer(const std::string& popField, bool yes);

 private:
  std::filesystem::path file_;
  std::set<std::string> thisRun_;   // answered はい, whether or not the file kept it
  std::set<std::string> declined_;  // answered いいえ
};

}  // namespace parupo
