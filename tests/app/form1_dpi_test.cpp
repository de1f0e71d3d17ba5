// The main window's twips on a screen of another dpi: sizes in twips are inches, so the
// window measures the same in device pixels whether Qt scales the window (device pixel
// ratio 1.5 at 144 dpi) or hands the dpi to the program unscaled. The same test runs at
// 96 dpi with the others, and at 144 dpi both ways as tests of their own.
#include <gtest/gtest.h>

#include <QTest>

#include "app/form1_fixture.h"

namespace parupo {
namespace {

using namespace test;

class Form1Dpi : public Form1Fixture<FakeMail> {
 protected:
  // Device pixels of `twips` at the screen's real dpi.
  static int devicePixels(double twips) { return static_cast<int>(twips * dpi / 1440.0 + 0.5); }
  static QSize devicePixels(const QWidget& w, QSize logical) { return (QSizeF(logical) * w.devicePixelRatioF()).toSize(); }
  static inline const double dpi = std::getenv("PARUPO_TEST_DPI") ? std::atof(std::getenv("PARUPO_TEST_DPI")) : 96.0;
};

TEST_F(Form1Dpi, SizesInTwipsAreTheSameInchesAtAnyDpiAndComeBackUnchanged) {
  pp1[11] = " 6000 ", pp1[12] = " 8100 ";  // whole pixels at 96 and 144 dpi
  put("PP1.dat", pp1);
  const std::string original = file("PP1.dat");
  auto form = start();
  ASSERT_NEAR(form->logicalDpiY() * form->devicePixelRatioF(), dpi, 0.5);
  EXPECT_EQ(devicePixels(*form, outer(*form)), QSize(devicePixels(8100), devicePixels(6000)));
  auto* body = the<QPlainTextEdit>(*form, "Text4");  // 1020 twips narrower and 1950 lower than the window
  EXPECT_EQ(devicePixels(*body, body->size()), QSize(devicePixels(8100 - 1020), devicePixels(6000 - 1950)));
  form->close();
  EXPECT_EQ(file("PP1.dat"), original);

  form = start();  // resized from outside: the twips follow the screen's inches
  const QSize frame = outer(*form) - form->size();
  form->resize(QSize(devicePixels(9000), devicePixels(7500)) / form->devicePixelRatioF() - frame);
  QApplication::processEvents();
  EXPECT_NEAR(form->windowWidth(), 9000, 15);
  EXPECT_NEAR(form->windowHeight(), 7500, 15);
}

}  // namespace
}  // namespace parupo
