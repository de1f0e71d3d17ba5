// Keeps the window painting while a mail call runs: each call of the wrapped library
// runs on a worker thread while the user-interface thread waits in a local event loop.
// User input that arrives meanwhile (mouse, keys, wheel, touch, shortcuts, context menus,
// drag and drop) is dropped, never kept for later: a click on the greyed send button
// must not send again once the button is back. Two things only ask: Esc, in any of the
// program's windows, is handed to `onEscape`, and a request to close the window reaches
// the window as usual; the send's stage (send/send_stage.h) says whether they ask, and the
// question takes input while it is up. Everything else goes on, painting and the
// caption's progress included.
// To the caller the call is still synchronous, exceptions included. The worker works on
// its own copy of the call.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "mailapi/mail_library.h"
#include "mailapi/transfer_watch.h"

namespace parupo {

class ResponsiveMail final : public MailLibrary {
 public:
  // Hands the wrapped library this object's watch until it goes.
  explicit ResponsiveMail(MailLibrary& inner);
  ~ResponsiveMail() override;
  ResponsiveMail(const ResponsiveMail&) = delete;
  ResponsiveMail& operator=(const ResponsiveMail&) = delete;

  [[nodiscard]] std::optional<mail::MailError> send(const MailCall& call) override;
  [[nodiscard]] std::optional<mail::MailError> receive(const PopCall& call) override;

  // What the calls report their upload to; stopping it stops the call in progress.
  TransferWatch& watch() { return watch_; }

  // Both run on the window's thread during a call. onEscape: Esc was pressed (once per
  // press, never again while the last one is still waiting). onProgress: the per cent
  // the caption is to show now; nothing once the call is over, to put the caption back.
  std::function<void()> onEscape;
  std::function<void(std::optional<int>)> onProgress;

 private:
  template <typename Call>
  std::optional<mail::MailError> run(Call&& call);

  MailLibrary& inner_;
  TransferWatch watch_;
  bool escapePending_ = false;
};

}  // namespace parupo
