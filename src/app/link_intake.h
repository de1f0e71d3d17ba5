// The running program's side of a mailto: hand-over: a later start's link fills the main
// window's boxes, as the link of the first start does.
#pragma once

#include <QObject>
#include <memory>

#include "platform/link_socket.h"

class QSocketNotifier;

namespace parupo {

class Form1;

class LinkIntake final : public QObject {
 public:
  // Takes the listener; every link that arrives goes to the window.
  LinkIntake(std::unique_ptr<LinkListener> listener, Form1& window);
  ~LinkIntake() override;

 private:
  std::unique_ptr<LinkListener> listener_;
  QSocketNotifier* notifier_;
};

}  // namespace parupo
