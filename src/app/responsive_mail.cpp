#include "app/responsive_mail.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <array>
#include <atomic>
#include <exception>
#include <thread>
#include <utility>

namespace parupo {

namespace {

bool isUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Gesture:
    case QEvent::NativeGesture:
      return true;
    default:
      return false;
  }
}

// Swallows the application's user input while it is installed.
class InputDrop final : public QObject {
 public:
  InputDrop() { QCoreApplication::instance()->installEventFilter(this); }
  ~InputDrop() override { QCoreApplication::instance()->removeEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override { return isUserInput(event->type()); }
};

// The caller's texts, copied for the worker and written back when it has ended (also
// when the call threw), so that no text is touched by both threads.
template <std::size_t N>
class TextCopies {
 public:
  explicit TextCopies(std::array<std::string*, N> texts) : texts_(texts) {
    for (std::size_t i = 0; i < N; ++i) copies_[i] = *texts_[i];
  }
  ~TextCopies() {
    for (std::size_t i = 0; i < N; ++i) *texts_[i] = std::move(copies_[i]);
  }
  TextCopies(const TextCopies&) = delete;
  TextCopies& operator=(const TextCopies&) = delete;
  std::string& operator[](std::size_t i) { return copies_[i]; }

 private:
  std::array<std::string*, N> texts_;
  std::array<std::string, N> copies_;
};

}  // namespace

template <typename Call>
std::string ResponsiveMail::run(Call&& call) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || QThread::currentThread() != app->thread()) return call();

  struct Running {
    int& count;
    explicit Running(int& c) : count(c) { ++count; }
    ~Running() { --count; }
  } running(running_);
  const InputDrop inputDrop;

  std::string result;
  // An exception of the call is carried over to this thread and goes on from here, so
  // that the caller sees it as from a direct call.
  std::exception_ptr error;
  QEventLoop loop;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    try {
      result = call();
    } catch (...) {
      error = std::current_exception();
    }
    done = true;
    // Posted, so that it is handled inside loop.exec() even when the call was quicker
    // than the start of the loop.
    QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });
  // All events are handled, and so dropped, now: input kept for later would act on the
  // window as it is after the call.
  while (!done) loop.exec(QEventLoop::AllEvents);
  // The worker has posted its quit to `loop`; joining before `loop` goes away keeps that
  // post from reaching a destroyed object (Qt drops events of a deleted receiver).
  worker.join();
  // Input that reached the program just before the end of the call is dropped too,
  // rather than kept for the window as it is afterwards.
  QCoreApplication::processEvents();
  if (error) std::rethrow_exception(error);
  return result;
}

std::string ResponsiveMail::SendMail(std::string& server, std::string& recipients,
                                     std::string& replyTo, std::string& subject, std::string& body,
                                     std::string& attachmentPath, const std::string& sender) {
  TextCopies<6> t({&server, &recipients, &replyTo, &subject, &body, &attachmentPath});
  return run([&, from = sender] { return inner_.SendMail(t[0], t[1], t[2], t[3], t[4], t[5], from); });
}

std::string ResponsiveMail::RcvMail(std::string& popServer, std::string& user,
                                    std::string& password, std::string& command,
                                    std::string& folder) {
  TextCopies<5> t({&popServer, &user, &password, &command, &folder});
  return run([&] { return inner_.RcvMail(t[0], t[1], t[2], t[3], t[4]); });
}

}  // namespace parupo
