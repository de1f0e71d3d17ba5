// The real dialogs, on Qt Widgets.
#pragma once

#include <QWidget>
#include <QPointer>

#include "platform/dialogs.h"

namespace parupo {

class QtDialogs final : public Dialogs {
 public:
  // Boxes are centred on the given window when it is set.
  void setParentWindow(QWidget* parent) { parent_ = parent; }

  void message(const std::string& text) override;
  bool askYesNo(const std::string& text, const std::string& title) override;
  std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                      const std::string& initial) override;
  std::optional<std::string> openFile(const std::string& initialPath,
                                      const std::string& filter) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace parupo
