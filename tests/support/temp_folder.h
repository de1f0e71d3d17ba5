// A fresh temporary folder, removed with everything in it at the end; raw file bytes ("" when missing);
// data files written as the program writes them.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/text_file.h"

namespace parupo::test {

class TempFolder {
  std::filesystem::path path_;

 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "parupo-test-XXXXXX").string();
    if (const char* made = ::mkdtemp(pattern.data())) path_ = made; else std::abort();
  }
  ~TempFolder() { std::error_code ec; std::filesystem::remove_all(path_, ec); }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
};

inline std::string readBytes(const std::filesystem::path& f) {
  std::ifstream in(f, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
inline void writeBytes(const std::filesystem::path& f, const std::string& b) { std::ofstream(f, std::ios::binary) << b; }
// A data file as the program writes it: CP932, every line ended by CR LF.
inline void writeCp932Lines(const std::filesystem::path& f, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += toCp932(line) + "\r\n";
  writeBytes(f, bytes);
}

}  // namespace parupo::test
