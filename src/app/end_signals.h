// The system's requests to end the program: SIGTERM (shutdown, `kill`) and SIGHUP (the
// terminal or the session went away). Each is turned into a call on the user-interface
// thread, so that the program ends as a close does, saving first. While an object of
// this class lives, those signals no longer end the process by themselves.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace parupo {

class EndSignals final : public QObject {
 public:
  // `requestEnd` runs on this thread, from the event loop, once per signal received.
  explicit EndSignals(std::function<void()> requestEnd, QObject* parent = nullptr);
  ~EndSignals() override;

 private:
  void readSignals();

  std::function<void()> requestEnd_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace parupo
