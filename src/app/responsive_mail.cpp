#include "app/responsive_mail.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <atomic>
#include <exception>
#include <thread>
#include <utility>

#include "app/upload_progress.h"

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
    case QEvent::NativeGesture: return true;
    default: return false;
  }
}

// Whether the receiver belongs to the question asked during the call (whether to stop
// it): the only modal window that can come up while a call runs.
bool insideQuestion(QObject* receiver) {
  const QWidget* question = QApplication::activeModalWidget();
  if (question == nullptr) return false;
  if (auto* widget = qobject_cast<QWidget*>(receiver)) return widget->window() == question;
  if (auto* window = qobject_cast<QWindow*>(receiver)) return window == question->windowHandle();
  return false;
}

// Swallows the application's user input while it is installed, except what goes to the
// question; a press of Esc is reported first.
class InputDrop final : public QObject {
 public:
  explicit InputDrop(std::function<void()> escape) : escape_(std::move(escape)) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~InputDrop() override { QCoreApplication::instance()->removeEventFilter(this); }
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (!isUserInput(event->type()) || insideQuestion(receiver)) return false;
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Escape && !key->isAutoRepeat()) escape_();
    }
    return true;
  }

 private:
  std::function<void()> escape_;
};

// Reads the watch at every tick and hands on the per cent the caption is to show; when
// the call is over, the caption is put back.
class ProgressTicks {
 public:
  ProgressTicks(const TransferWatch& watch, const std::function<void(std::optional<int>)>& show) : show_(show) {
    QObject::connect(&timer_, &QTimer::timeout, [this, &watch] {
      if (const std::optional<int> percent = progress_.tick(watch.percent()); percent && show_) show_(percent);
    });
    timer_.start(UploadProgress::kTick);
  }
  ~ProgressTicks() {
    timer_.stop();
    if (progress_.shown() && show_) show_(std::nullopt);
  }
  ProgressTicks(const ProgressTicks&) = delete;
  ProgressTicks& operator=(const ProgressTicks&) = delete;

 private:
  const std::function<void(std::optional<int>)>& show_;
  UploadProgress progress_;
  QTimer timer_;
};

}  // namespace

template <typename Call>
std::optional<mail::MailError> ResponsiveMail::run(Call&& call) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || QThread::currentThread() != app->thread()) return call();

  QEventLoop loop;
  std::atomic<bool> done{false};
  // Esc is answered from the loop once its event has been dropped, not from inside the
  // event's delivery, and only while the call still runs; presses while one waits add nothing.
  escapePending_ = false;
  const InputDrop inputDrop([this, &loop, &done] {
    if (std::exchange(escapePending_, true)) return;
    QMetaObject::invokeMethod(
        &loop,
        [this, &done] {
          escapePending_ = false;
          if (!done && onEscape) onEscape();
        },
        Qt::QueuedConnection);
  });
  const ProgressTicks ticks(watch_, onProgress);

  std::optional<mail::MailError> result;
  // An exception of the call is carried over to this thread and goes on from here, so
  // that the caller sees it as from a direct call.
  std::exception_ptr error;
  std::thread worker([&] {
    try {
      result = call();
    } catch (...) {
      error = std::current_exception();
    }
    done = true;
    // Posted, so that it is handled inside loop.exec() even when the call was quicker
    // than the start of the loop.
    QMetaObject::invokeMethod(
        &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
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

ResponsiveMail::ResponsiveMail(MailLibrary& inner) : inner_(inner) { inner_.setTransferWatch(&watch_); }

ResponsiveMail::~ResponsiveMail() { inner_.setTransferWatch(nullptr); }

std::optional<mail::MailError> ResponsiveMail::send(const MailCall& call) {
  return run([this, call] { return inner_.send(call); });
}

std::optional<mail::MailError> ResponsiveMail::receive(const PopCall& call) {
  return run([this, call] { return inner_.receive(call); });
}

}  // namespace parupo
