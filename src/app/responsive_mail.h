// Keeps the window painting while a mail call runs: each call of the wrapped library
// runs on a worker thread while the user-interface thread waits in a local event loop.
// User input that arrives meanwhile (mouse, keys, wheel, touch, shortcuts, context menus,
// drag and drop) is dropped, never kept for later: a click on the greyed send button
// must not send again once the button is back. Everything else goes on, a request to
// close the window included, which the window carries out once the send is over.
// To the caller the call is still synchronous, exceptions included. The worker works on
// copies of the texts, which are written back once it has ended.
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
