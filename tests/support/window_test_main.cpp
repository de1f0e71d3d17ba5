// Window tests run on Qt's offscreen platform with a private runtime folder: no display needed or touched.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/temp_folder.h"

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  parupo::test::TempFolder runtime;
  ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
