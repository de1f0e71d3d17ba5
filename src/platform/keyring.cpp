#include "platform/keyring.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace parupo {

namespace {

// The few declarations of libsecret and GLib this file needs, as their headers give
// them; the program is built without those headers and loads the library at the first need.
struct GError {
  unsigned domain;
  int code;
  char* message;
};
enum SecretSchemaFlags { kSecretSchemaDontMatchName = 1 << 1 };
struct SecretSchemaAttribute {
  const char* name;
  int type;  // 0: string
};
struct SecretSchema {
  const char* name;
  SecretSchemaFlags flags;
  SecretSchemaAttribute attributes[32];
  int reserved;
  void* reserved1[7];
};

// Items of any program with the same four attributes match: a password stored with
// `secret-tool store ... protocol smtp host ... port 587 user taro` is found as well.
const SecretSchema kSchema = {"jp.parupo.Password",
                              kSecretSchemaDontMatchName,
                              {{"protocol", 0}, {"host", 0}, {"port", 0}, {"user", 0}, {nullptr, 0}},
                              0,
                              {}};

constexpr const char* kLibrary = "libsecret-1.so.0";

struct SecretApi {
  int (*store)(const SecretSchema*, const char*, const char*, const char*, void*, GError**, ...);
  char* (*lookup)(const SecretSchema*, void*, GError**, ...);
  int (*clear)(const SecretSchema*, void*, GError**, ...);
  void (*freePassword)(char*);  // wipes it before freeing
  void (*freeError)(GError*);
};

template <typename Function>
bool resolve(void* library, const char* name, Function& slot) {
  slot = reinterpret_cast<Function>(dlsym(library, name));
  return slot != nullptr;
}

struct Loaded {
  SecretApi api{};
  std::string error;  // why the library cannot be used; empty when it can
};

Loaded load() {
  Loaded loaded;
  // The library, with GLib and D-Bus under it, stays loaded until the program ends.
  void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    loaded.error = std::string(kLibrary) + " を読み込めません: " + (reason ? reason : "dlopen");
    return loaded;
  }
  SecretApi& a = loaded.api;
  if (!(resolve(library, "secret_password_store_sync", a.store) &&
        resolve(library, "secret_password_lookup_sync", a.lookup) &&
        resolve(library, "secret_password_clear_sync", a.clear) &&
        resolve(library, "secret_password_free", a.freePassword) && resolve(library, "g_error_free", a.freeError))) {
    loaded.error = std::string(kLibrary) + " に必要な関数がありません";
  }
  return loaded;
}

// A session bus to ask: without one, GLib would try to start a bus of its own.
bool sessionBusKnown() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && *address != '\0') return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime != nullptr && *runtime != '\0' && ::access((std::string(runtime) + "/bus").c_str(), F_OK) == 0;
}

class SecretServiceKeyring final : public Keyring {
 public:
  bool answers() override {
    std::string why;
    const SecretApi* a = api(why);
    if (a == nullptr) return false;
    GError* error = nullptr;
    // A key no item has: the service answers without unlocking anything.
    char* found = a->lookup(&kSchema, nullptr, &error, "protocol", "", "host", "", "port", "", "user", "", nullptr);
    if (found != nullptr) a->freePassword(found);
    return !taken(a, error, why);
  }

  std::optional<std::string> lookUp(const KeyringKey& key) override {
    std::string why;
    const SecretApi* a = api(why);
    if (a == nullptr) return std::nullopt;
    const std::string port = std::to_string(key.port);
    GError* error = nullptr;
    char* found = a->lookup(&kSchema, nullptr, &error, "protocol", key.protocol.c_str(), "host", key.host.c_str(),
                            "port", port.c_str(), "user", key.user.c_str(), nullptr);
    (void)taken(a, error, why);
    if (found == nullptr) return std::nullopt;
    std::string password = found;
    a->freePassword(found);
    return password;
  }

  std::string store(const KeyringKey& key, const std::string& password) override {
    std::string why;
    const SecretApi* a = api(why);
    if (a == nullptr) return "キーリングに保存できません。" + why;
    const std::string port = std::to_string(key.port);
    const std::string label = "ぱるぽ: " + key.user + "@" + key.host;
    GError* error = nullptr;
    const int stored = a->store(&kSchema, nullptr, label.c_str(), password.c_str(), nullptr, &error, "protocol",
                                key.protocol.c_str(), "host", key.host.c_str(), "port", port.c_str(), "user",
                                key.user.c_str(), nullptr);
    if (taken(a, error, why) || !stored) return "キーリングに保存できませんでした。" + why;
    return "";
  }

  std::string forget(const KeyringKey& key) override {
    std::string why;
    const SecretApi* a = api(why);
    if (a == nullptr) return "";  // nothing can be stored there either
    const std::string port = std::to_string(key.port);
    GError* error = nullptr;
    (void)a->clear(&kSchema, nullptr, &error, "protocol", key.protocol.c_str(), "host", key.host.c_str(), "port",
                   port.c_str(), "user", key.user.c_str(), nullptr);
    if (taken(a, error, why)) return "キーリングから削除できませんでした。" + why;
    return "";
  }

 private:
  // The library, or nothing and why.
  static const SecretApi* api(std::string& why) {
    if (!sessionBusKnown()) {
      why = "デスクトップのセッション (D-Bus) がありません";
      return nullptr;
    }
    static const Loaded loaded = load();
    why = loaded.error;
    return loaded.error.empty() ? &loaded.api : nullptr;
  }

  // Whether a call failed; its words go to `why`, and the error is freed.
  static bool taken(const SecretApi* a, GError* error, std::string& why) {
    if (error == nullptr) return false;
    why = error->message != nullptr ? error->message : "";
    a->freeError(error);
    return true;
  }
};

}  // namespace

std::unique_ptr<Keyring> makeSecretServiceKeyring() { return std::make_unique<SecretServiceKeyring>(); }

}  // namespace parupo
