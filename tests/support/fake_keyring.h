// A keyring in memory and a password box that answers as scripted, for the tests of
// what asks for passwords.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/keyring.h"
#include "platform/password_box.h"

namespace parupo::test {

inline std::string keyText(const KeyringKey& k) {  // "smtp taro@host:587"
  return k.protocol + " " + k.user + "@" + k.host + ":" + std::to_string(k.port);
}

struct FakeKeyring : Keyring {
  bool answering = true;
  std::string storeRefusal;                  // not empty: every store fails with it
  std::map<std::string, std::string> items;  // by keyText
  std::vector<std::string> forgotten;        // keyText of every forget

  bool answers() override { return answering; }
  std::optional<std::string> lookUp(const KeyringKey& key) override {
    const auto item = items.find(keyText(key));
    if (!answering || item == items.end()) return std::nullopt;
    return item->second;
  }
  std::string store(const KeyringKey& key, const std::string& password) override {
    if (!storeRefusal.empty()) return storeRefusal;
    items[keyText(key)] = password;
    return "";
  }
  std::string forget(const KeyringKey& key) override {
    forgotten.push_back(keyText(key));
    items.erase(keyText(key));
    return "";
  }
};

struct FakePasswordBox : PasswordBox {
  struct Asked {
    std::string account;
    bool keyringAnswers;
    std::string note;
  };
  std::deque<std::optional<PasswordAnswer>> answers;  // in turn; cancelled when none is left
  std::vector<Asked> asked;

  std::optional<PasswordAnswer> ask(const std::string& account, bool keyringAnswers, const std::string& note) override {
    asked.push_back({account, keyringAnswers, note});
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace parupo::test
