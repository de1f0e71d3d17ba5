// Keeps the window painting while a mail call runs: each call of the wrapped library
// runs on a worker thread while the user-interface thread waits in a local event loop
// that handles painting and timers but no user input. To the caller the call is still
// synchronous, exceptions included.
#pragma once

#include <string>

#include "mailapi/mail_library.h"

namespace parupo {

class ResponsiveMail final : public MailLibrary {
 public:
  explicit ResponsiveMail(MailLibrary& inner) : inner_(inner) {}

  std::string SendMail(std::string& server, std::string& recipients, std::string& replyTo,
                       std::string& subject, std::string& body,
                       std::string& attachmentPath, const std::string& sender) override;
  std::string RcvMail(std::string& popServer, std::string& user, std::string& password,
                      std::string& command, std::string& folder) override;

  // True while a call is running.
  bool busy() const { return running_ > 0; }

 private:
  template <typename Call>
  std::string run(Call&& call);

  MailLibrary& inner_;
  int running_ = 0;
};

}  // namespace parupo
