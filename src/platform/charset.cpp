#include "platform/charset.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "platform/text_util.h"

namespace parupo {

namespace {

bool isUtf8(const char* name) { return ::strcasecmp(name, "UTF-8") == 0; }

}  // namespace

std::optional<std::string> convertCharset(std::string_view text, const char* from, const char* to,
                                          Unconvertible policy) {
  iconv_t cd = ::iconv_open(to, from);
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
  ::iconv_close(cd);
  if (!ok) return std::nullopt;
  return out;
}

}  // namespace parupo
