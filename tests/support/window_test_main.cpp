// Window tests run on Qt's offscreen platform with a private runtime folder, so that no
// test needs or touches a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::string runtime = (std::filesystem::temp_directory_path() / "parupo-xdg-XXXXXX").string();
  if (::mkdtemp(runtime.data()) != nullptr) ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  const int result = RUN_ALL_TESTS();
  std::error_code ec;
  std::filesystem::remove_all(runtime, ec);
  return result;
}
