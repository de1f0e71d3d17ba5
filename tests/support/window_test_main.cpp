// Window tests run on Qt's offscreen platform with a private runtime folder: no display needed or touched.
// PARUPO_TEST_DPI gives the offscreen screen another logical dpi (96 otherwise);
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/fonts.h"
#include "platform/qt_translation.h"
#include "support/temp_folder.h"

int main(int argc, char** argv) {
  parupo::test::TempFolder runtime;
  std::string platform = "offscreen";
  // PARUPO_TEST_SCREEN ("1280x1024") gives it another size in device pixels.
  const char* dpi = std::getenv("PARUPO_TEST_DPI");
  const char* screen = std::getenv("PARUPO_TEST_SCREEN");
  if (dpi || screen) {
    int width = 2560, height = 1600;
    if (screen) std::sscanf(screen, "%dx%d", &width, &height);
    const auto config = runtime / "offscreen.json";
    parupo::test::writeBytes(
        config, std::string(R"({"windowFrameMargins": true, "screens": [{"name": "test", "x": 0, "y": 0,)") +
                    " \"width\": " + std::to_string(width) + ", \"height\": " + std::to_string(height) +
                    R"(, "logicalDpi": )" + (dpi ? dpi : "96") + R"(, "logicalBaseDpi": 96, "dpr": 1}]})");
    platform += ":configfile=" + config.string();
  }
  ::setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
  // Qt's file dialog keeps its state in the user's configuration: here, in the private folder.
  ::setenv("XDG_CONFIG_HOME", (runtime / "config").c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  // As the program starts: Qt's own words in Japanese (the tests read them), one font.
  if (!parupo::loadQtJapanese(app))
    std::fprintf(stderr, "Qt's Japanese translation (qt6-translations-l10n) is missing\n");
  parupo::useProgramFont();
  return RUN_ALL_TESTS();
}
