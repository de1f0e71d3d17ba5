// The real dialogs, on Qt Widgets.
#pragma once

#include <QWidget>
#include <QPointer>
#include <memory>

#include "platform/dialogs.h"

class QFileDialog;

namespace parupo {

class QtDialogs final : public Dialogs {
 public:
  // Boxes open over `parent` when it is given, still there and on the screen; otherwise
  // over `fallback` (the window that made it, for a window not shown yet), else over none.
  explicit QtDialogs(QWidget* parent = nullptr, QWidget* fallback = nullptr) : parent_(parent), fallback_(fallback) {}
  void setParentWindow(QWidget* parent) { parent_ = parent; }

  void message(const std::string& text) override;
  bool askYesNo(const std::string& text, const std::string& title) override;
  bool askYesNoDefaultNo(const std::string& text, const std::string& title) override;
  std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                      const std::string& initial) override;
  std::optional<std::string> openFile(const std::string& initialPath, const std::string& filter) override;
  // `window` must be a QWidget; the boxes then open over its top-level window.
  std::unique_ptr<Dialogs> over(DialogParent& window) override;

 private:
  QWidget* owner() const;

  QPointer<QWidget> parent_;
  QPointer<QWidget> fallback_;
};

// The file-open dialog of openFile, set up and sized to fit the screen, not yet shown.
std::unique_ptr<QFileDialog> openFileDialog(QWidget* parent, const std::string& initialPath, const std::string& filter);

}  // namespace parupo
