#include "core/password_source.h"

namespace parupo {

std::optional<std::string> PasswordSource::passwordFor(const KeyringKey& key) {
  if (const auto known = known_.find(login(key)); known != known_.end()) return known->second;
  const bool keyring = keyring_.answers();
  if (keyring) {
    if (auto stored = keyring_.lookUp(key)) {
      known_[login(key)] = *stored;
      return stored;
    }
  }
  std::string note;
  if (!keyring && !noteGiven_) {
    note = kMemoryOnlyNote;
    noteGiven_ = true;
  }
  auto answer = box_.ask(key.user + "@" + key.host, keyring, note);
  if (!answer) return std::nullopt;
  if (keyring && answer->saveToKeyring) (void)keyring_.store(key, answer->password);
  known_[login(key)] = answer->password;
  return answer->password;
}

void PasswordSource::refused(const KeyringKey& key) {
  known_.erase(login(key));
  if (keyring_.answers()) (void)keyring_.forget(key);
}

}  // namespace parupo
