// The mail library as the windows use it when logins may lack a password: a login that
// PP1.dat names without one (the SMTP field "smtp://taro@host:587", or a POP user with an
// empty password) gets it from a PasswordSource, just before the call and for that call
// only; a login the server refuses forgets it. Everything else passes through unchanged.
//
// It calls the password box, so it runs where the windows run: around the library that
// moves the calls off that thread, never inside it.
#pragma once

#include "core/password_source.h"
#include "mailapi/mail_library.h"

namespace parupo {

class KeyringMail final : public MailLibrary {
 public:
  KeyringMail(MailLibrary& inner, PasswordSource& passwords) : inner_(inner), passwords_(passwords) {}

  // PasswordNotGiven when the box was cancelled: nothing was sent.
  [[nodiscard]] std::optional<mail::MailError> send(const MailCall& call) override;
  // PasswordNotGiven when the box was cancelled: the server was not asked.
  [[nodiscard]] std::optional<mail::MailError> receive(const PopCall& call) override;
  void setTransferWatch(TransferWatch* watch) override { inner_.setTransferWatch(watch); }

 private:
  MailLibrary& inner_;
  PasswordSource& passwords_;
};

}  // namespace parupo
