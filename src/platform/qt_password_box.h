// The real password box, a small dialog on Qt Widgets over the given window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/password_box.h"

namespace parupo {

class QtPasswordBox final : public PasswordBox {
 public:
  explicit QtPasswordBox(QWidget* parent = nullptr) : parent_(parent) {}
  void setParentWindow(QWidget* parent) { parent_ = parent; }

  std::optional<PasswordAnswer> ask(const std::string& account, bool keyringAnswers, const std::string& note) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace parupo
