// A fresh folder under the system's temporary folder, removed with everything in it
// when the object goes away.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace parupo::test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Raw bytes of a file ("" when missing), and writing raw bytes (e.g. CP932 fixtures).
std::string readBytes(const std::filesystem::path& file);
void writeBytes(const std::filesystem::path& file, const std::string& bytes);

}  // namespace parupo::test
