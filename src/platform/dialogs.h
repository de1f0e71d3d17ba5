// The dialog seam: every message box, input box and file dialog the program shows.
// Windows call this, never QMessageBox and friends; tests hand in a recording fake.
#pragma once

#include <optional>
#include <string>

namespace parupo {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // OK button only, no icon.
  virtual void message(const std::string& text) = 0;
  // Yes and No buttons with the exclamation icon; true for Yes.
  virtual bool askYesNo(const std::string& text, const std::string& title) = 0;
  // Empty optional when cancelled.
  virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                               const std::string& initial) = 0;
  // File-open dialog; empty optional when cancelled. filter is "label|pattern|...".
  virtual std::optional<std::string> openFile(const std::string& initialPath,
                                              const std::string& filter) = 0;
};

}  // namespace parupo
