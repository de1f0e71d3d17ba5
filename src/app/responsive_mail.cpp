#include "app/responsive_mail.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <atomic>
#include <exception>
#include <thread>

namespace parupo {

template <typename Call>
std::string ResponsiveMail::run(Call&& call) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || QThread::currentThread() != app->thread()) return call();

  struct Running {
    int& count;
    explicit Running(int& c) : count(c) { ++count; }
    ~Running() { --count; }
  } running(running_);

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
  while (!done) loop.exec(QEventLoop::ExcludeUserInputEvents);
  // The worker has posted its quit to `loop`; joining before `loop` goes away keeps that
  // post from reaching a destroyed object (Qt drops events of a deleted receiver).
  worker.join();
  if (error) std::rethrow_exception(error);
  return result;
}

std::string ResponsiveMail::SendMail(std::string& server, std::string& recipients,
                                     std::string& replyTo, std::string& subject, std::string& body,
                                     std::string& attachmentPath, const std::string& sender) {
  return run([&] {
    return inner_.SendMail(server, recipients, replyTo, subject, body, attachmentPath, sender);
  });
}

std::string ResponsiveMail::RcvMail(std::string& popServer, std::string& user,
                                    std::string& password, std::string& command,
                                    std::string& folder) {
  return run([&] { return inner_.RcvMail(popServer, user, password, command, folder); });
}

}  // namespace parupo
