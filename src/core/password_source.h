// Where a send or a mail check gets the password of a login that PP1.dat names without
// one: from what this run already knows, from the keyring, or else from the password box.
// A password it hands out is never written anywhere by it, except into the keyring when
// the user asks for that in the box.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "platform/keyring.h"
#include "platform/password_box.h"

namespace parupo {

// Said under the box once per run when no keyring answers.
inline constexpr const char* kMemoryOnlyNote =
    "キーリングが見つからないため、パスワードは保存されず、ぱるぽを終了するまでの間だけ使われます";

class PasswordSource {
 public:
  PasswordSource(Keyring& keyring, PasswordBox& box) : keyring_(keyring), box_(box) {}

  // The password of the login `key`; nothing when the user cancelled the box. A password
  // typed into the box is kept for the rest of the run, and stored in the keyring when
  // the box's check asked for it (a failed store is not told: the password still works
  // for this run, and the next start asks again).
  std::optional<std::string> passwordFor(const KeyringKey& key);

  // The server refused the login: the password is forgotten here and in the keyring,
  // so that the next call asks and the new one replaces it.
  void refused(const KeyringKey& key);

 private:
  using Login = std::tuple<std::string, std::string, int, std::string>;
  static Login login(const KeyringKey& k) { return {k.protocol, k.host, k.port, k.user}; }

  Keyring& keyring_;
  PasswordBox& box_;
  std::map<Login, std::string> known_;  // passwords of this run, by login
  bool noteGiven_ = false;
};

}  // namespace parupo
