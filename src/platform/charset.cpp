#include "platform/charset.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "platform/text_util.h"

namespace parupo {

namespace {

bool isUtf8(const char* name) { return ::strcasecmp(name, "UTF-8") == 0; }

// Opening a converter costs far more than most conversions (the mail writer converts a
// character at a time while it sizes encoded words), so each thread keeps the ones it
// has opened, reset to the initial state before every use.
class Converters {
 public:
  ~Converters() {
    for (auto& [key, cd] : open_) ::iconv_close(cd);
  }
  iconv_t get(const char* from, const char* to) {
    const std::pair<std::string, std::string> key{from, to};
    auto it = open_.find(key);
    if (it == open_.end()) {
      iconv_t cd = ::iconv_open(to, from);
      if (cd == reinterpret_cast<iconv_t>(-1)) return cd;
      it = open_.emplace(key, cd).first;
    }
    ::iconv(it->second, nullptr, nullptr, nullptr, nullptr);
    return it->second;
  }

 private:
  std::map<std::pair<std::string, std::string>, iconv_t> open_;
};

}  // namespace

std::optional<std::string> convertCharset(std::string_view text, const char* from, const char* to,
                                          Unconvertible policy) {
  thread_local Converters converters;
  iconv_t cd = converters.get(from, to);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  const std::string_view replacement = isUtf8(to) ? "\xEF\xBF\xBD" : "?";
  std::string out;
  out.reserve(text.size() * 3 / 2 + 16);
  char buffer[4096];
  // Moves what iconv wrote into `out`; with no input, writes the shift back to the
  // initial state first.
  auto step = [&](char** src, std::size_t* srcLeft) {
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    const std::size_t r = ::iconv(cd, src, srcLeft, &dst, &dstLeft);
    const int err = r == static_cast<std::size_t>(-1) ? errno : 0;
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    return err;
  };
  char* src = const_cast<char*>(text.data());
  std::size_t srcLeft = text.size();
  bool ok = true;
  while (ok && srcLeft > 0) {
    const int err = step(&src, &srcLeft);
    if (err == 0 || err == E2BIG) continue;
    // EILSEQ, or EINVAL for a sequence cut off at the end.
    if (policy == Unconvertible::Fail) {
      ok = false;
      break;
    }
    while (step(nullptr, nullptr) == E2BIG) {
    }
    const std::size_t skip = isUtf8(from) ? utf8CharLength(std::string_view(src, srcLeft)) : 1;
    out += replacement;
    src += skip;
    srcLeft -= skip;
  }
  while (ok) {
    const int err = step(nullptr, nullptr);
    if (err == 0) break;
    ok = err == E2BIG;
  }
  if (!ok) return std::nullopt;
  return out;
}

}  // namespace parupo
