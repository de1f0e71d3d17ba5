// The mail logins' passwords outside PP1.dat: which keyring key a server field's login
// has, the field with a password put in for one call or taken out for good, and the move
// of the passwords of PP1.dat into the keyring. Plain C++, no window.
#pragma once

#include <optional>
#include <string>

#include "core/settings.h"
#include "platform/keyring.h"

namespace parupo {

// The SMTP field's login, when it names a user: "smtp://taro@host:587" and
// "smtps://taro:pw@host" have one, "host:25" none. The key is the same with or without
// the password in the field.
std::optional<KeyringKey> smtpLoginKey(const std::string& smtpField);
// The POP account's key, when it names a server and a user.
std::optional<KeyringKey> popLoginKey(const std::string& popField, const std::string& user);

// The SMTP field with its password removed: "smtp://taro:pw@host:587" gives
// "smtp://taro@host:587"; a field without one is returned as it is.
std::string smtpFieldWithoutPassword(const std::string& smtpField);
// The field with `password` put in after the user, encoded as the field's URL reads it
// back; for one call only, never saved.
std::string smtpFieldWithPassword(const std::string& smtpField, const std::string& password);
// The field's own password, as the mail library reads it ("" when it has none).
std::string smtpFieldPassword(const std::string& smtpField);

// Stores the SMTP field's password and the POP password in the keyring, then takes them
// out of `settings`. Only when the keyring confirmed every store is `settings` changed;
// otherwise it is left as it was and the text says why. Empty text when moved; a note
// when there was nothing to move.
std::string movePasswordsToKeyring(Settings& settings, Keyring& keyring);

// What the move says when PP1.dat held no password.
inline constexpr const char* kNothingToMove = "PP1.dat に移すパスワードはありません";

}  // namespace parupo
