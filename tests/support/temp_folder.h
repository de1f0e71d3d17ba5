// A fresh temporary folder, removed with everything in it at the end; raw file bytes ("" when missing);
// data files written as the program writes them; CP932 bytes written as the words they hold.
#pragma once

#include <iconv.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_file.h"

namespace parupo::test {

class TempFolder {
  std::filesystem::path path_;

 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "parupo-test-XXXXXX").string();
    if (const char* made = ::mkdtemp(pattern.data())) path_ = made;
    else std::abort();
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
};

inline std::string readBytes(const std::filesystem::path& f) {
  std::ifstream in(f, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
inline void writeBytes(const std::filesystem::path& f, const std::string& b) {
  std::ofstream(f, std::ios::binary) << b;
}
// cp932("宛先 : a@x") is those words in CP932, converted by the C library's iconv rather than by
// the program's own converter, so an expected file's bytes need no hex escapes.
inline std::string cp932(std::string_view utf8) {
  const iconv_t toCp932 = ::iconv_open("CP932", "UTF-8");
  std::string bytes(utf8.size() * 2, '\0');
  char* in = const_cast<char*>(utf8.data());
  char* out = bytes.data();
  std::size_t inLeft = utf8.size(), outLeft = bytes.size();
  if (toCp932 == iconv_t(-1) || ::iconv(toCp932, &in, &inLeft, &out, &outLeft) == std::size_t(-1)) std::abort();
  ::iconv_close(toCp932);
  bytes.resize(bytes.size() - outLeft);
  return bytes;
}
// A data file as the program writes it: CP932, every line ended by CR LF.
inline std::string crlf(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += cp932(line) + "\r\n";
  return bytes;
}
inline void writeCp932Lines(const std::filesystem::path& f, const std::vector<std::string>& lines) {
  writeBytes(f, crlf(lines));
}

}  // namespace parupo::test
