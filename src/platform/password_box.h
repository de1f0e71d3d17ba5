// The box that asks for a mail password no file and no keyring holds. Windows call this
// interface; the real box is QtPasswordBox, tests hand in a fake.
#pragma once

#include <optional>
#include <string>

namespace parupo {

struct PasswordAnswer {
  std::string password;
  bool saveToKeyring = false;  // "キーリングに保存する" was checked
};

class PasswordBox {
 public:
  virtual ~PasswordBox() = default;
  // Asks "パスワードを入力してください（account）" in a masked box. With `keyringAnswers`
  // the check "キーリングに保存する" shows, checked; without it the check is hidden. A
  // `note` that is not empty stands under the box. Nothing when cancelled.
  virtual std::optional<PasswordAnswer> ask(const std::string& account, bool keyringAnswers,
                                            const std::string& note) = 0;
};

}  // namespace parupo
