// The dialog seam: every message box, input box and file dialog the program shows.
// Windows call this, never QMessageBox and friends; tests hand in a recording fake.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace parupo {

// A window of the program as the dialogs see it: the window a box opens over. Windows
// that ask something are one; plain code only passes them on.
class DialogParent {
 public:
  virtual ~DialogParent() = default;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // OK button only, no icon.
  virtual void message(const std::string& text) = 0;
  // Yes and No buttons with the exclamation icon; true for Yes.
  virtual bool askYesNo(const std::string& text, const std::string& title) = 0;
  // The same, with No as the default button (Enter and Esc answer No): for a question
  // whose Yes gives something away.
  virtual bool askYesNoDefaultNo(const std::string& text, const std::string& title) = 0;
  // Empty optional when cancelled.
  virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                              const std::string& initial) = 0;
  // File-open dialog; empty optional when cancelled. filter is "label|pattern|...".
  virtual std::optional<std::string> openFile(const std::string& initialPath, const std::string& filter) = 0;
  // The same dialogs, opening over `window`, the window that asks: its boxes are
  // centred on it and keep it from input while they are open.
  virtual std::unique_ptr<Dialogs> over(DialogParent& window) = 0;
};

}  // namespace parupo
