#include "core/keyring_mail.h"

#include "core/login_passwords.h"

namespace parupo {

namespace {

using mail::MailErrorKind;

mail::MailError notGiven(mail::MailProtocol protocol) {
  return {.kind = MailErrorKind::PasswordNotGiven, .protocol = protocol};
}

}  // namespace

std::optional<mail::MailError> KeyringMail::send(const MailCall& call) {
  const std::optional<KeyringKey> key = smtpLoginKey(call.server);
  if (!key || !smtpFieldPassword(call.server).empty()) return inner_.send(call);
  const std::optional<std::string> password = passwords_.passwordFor(*key);
  if (!password) return notGiven(mail::MailProtocol::Smtp);
  MailCall withPassword = call;
  withPassword.server = smtpFieldWithPassword(call.server, *password);
  std::optional<mail::MailError> error = inner_.send(withPassword);
  if (error && error->kind == MailErrorKind::LoginRefused) passwords_.refused(*key);
  return error;
}

std::optional<mail::MailError> KeyringMail::receive(const PopCall& call) {
  const std::optional<KeyringKey> key = popLoginKey(call.server, call.user);
  if (!key || !call.password.empty()) return inner_.receive(call);
  const std::optional<std::string> password = passwords_.passwordFor(*key);
  if (!password) return notGiven(mail::MailProtocol::Pop3);
  PopCall withPassword = call;
  withPassword.password = *password;
  std::optional<mail::MailError> error = inner_.receive(withPassword);
  if (error && error->kind == MailErrorKind::LoginRefused) passwords_.refused(*key);
  return error;
}

}  // namespace parupo
