// The desktop's keyring: where the mail passwords are kept when PP1.dat holds none.
// The real one speaks to the Secret Service of the session (GNOME Keyring, KWallet,
// KeePassXC) through libsecret, loaded when a password is first needed, so that a start
// that sends nothing pays nothing for it. Tests hand in a fake.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace parupo {

// Which password: a login on one server. Every field is matched exactly.
struct KeyringKey {
  std::string protocol;  // "smtp" or "pop3" (the TLS forms share their plain form's password)
  std::string host;
  int port = 0;
  std::string user;
  bool operator==(const KeyringKey&) const = default;
};

class Keyring {
 public:
  virtual ~Keyring() = default;
  // Whether a keyring answers at all. Asked again at each call: a keyring started
  // after the program is found.
  virtual bool answers() = 0;
  // The stored password; nothing when none is stored or no keyring answers.
  virtual std::optional<std::string> lookUp(const KeyringKey& key) = 0;
  // Stores the password, replacing one stored before under the same key. Empty text
  // when the keyring confirmed it, otherwise why not, fit to show the user.
  virtual std::string store(const KeyringKey& key, const std::string& password) = 0;
  // Removes the stored password, if there is one. Empty text when none is left.
  virtual std::string forget(const KeyringKey& key) = 0;
};

// The Secret Service of the session's D-Bus. Items carry the attributes protocol, host,
// port and user (those `secret-tool lookup` takes), under the label "ぱるぽ: user@host".
std::unique_ptr<Keyring> makeSecretServiceKeyring();

}  // namespace parupo
