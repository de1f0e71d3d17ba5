#include "app/link_intake.h"

#include <QSocketNotifier>

#include "app/form1.h"
#include "send/mailto_link.h"

namespace parupo {

LinkIntake::LinkIntake(std::unique_ptr<LinkListener> listener, Form1& window)
    : QObject(&window),
      listener_(std::move(listener)),
      notifier_(new QSocketNotifier(listener_->descriptor(), QSocketNotifier::Read, this)) {
  connect(notifier_, &QSocketNotifier::activated, this, [this, &window] {
    const std::optional<std::string> text = listener_->take();
    if (!text) return;
    // Whatever else was handed over is not a link: nothing is filled from it.
    if (const std::optional<MailtoLink> link = readMailtoLink(*text)) window.openMailtoLink(*link);
  });
}

LinkIntake::~LinkIntake() = default;

}  // namespace parupo
