// The main window on a screen of another dpi. Sizes in twips are inches, so the window
// measures the same in device pixels whether Qt scales it (device pixel ratio 1.5 at 144
// dpi) or hands the dpi to the program unscaled; the panels' captions sit in their frame
// lines either way. These run at 96 dpi with the others, and at 144 dpi both ways.
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
  pp1.height = 6000, pp1.width = 8100;  // whole pixels at 96 and 144 dpi
  putPP1();
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

// What the panel looks like on screen: the top frame line is the first row that is not
// background at the right end; the caption's ink lies above and below that row; no
// control inside reaches up to it.
void expectCaptionInFrameLine(QGroupBox* frame) {
  SCOPED_TRACE(frame->title().toStdString());
  const QImage image = frame->grab().toImage();
  const QRgb background = image.pixel(image.width() - 3, 0);
  int line = 0;
  while (line < image.height() / 2 && image.pixel(image.width() - 3, line) == background) ++line;
  ASSERT_GT(line, 0);
  ASSERT_LT(line, image.height() / 2);

  const int captionWidth = frame->fontMetrics().horizontalAdvance(frame->title());
  int top = image.height(), bottom = -1, firstInk = image.width();
  for (int y = 0; y < image.height() / 4; ++y) {
    for (int x = 1; x < captionWidth + 20 && x < image.width() / 2; ++x) {
      if (y == line || qGray(image.pixel(x, y)) > 128) continue;  // ink is dark, off the line
      top = std::min(top, y), bottom = std::max(bottom, y), firstInk = std::min(firstInk, x);
    }
  }
  EXPECT_LT(top, line);
  EXPECT_GT(bottom, line);
  EXPECT_NE(image.pixel(firstInk - 2, line), image.pixel(image.width() - 3, line));  // the caption cuts the line

  for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isVisibleTo(frame)) {
      EXPECT_GT(child->geometry().top(), line + 1) << child->objectName().toStdString();
    }
  }
}

TEST_F(Form1Dpi, PanelCaptionsSitInTheirFrameLineAboveEveryControl) {
  putPP1();
  auto form = start();
  expectCaptionInFrameLine(the<QGroupBox>(*form, "Frame2"));
  entry(*form, "PopSetup", 0)->trigger();  // "設定"
  QApplication::processEvents();
  ASSERT_TRUE(form->settingsPanelShown());
  expectCaptionInFrameLine(the<QGroupBox>(*form, "Frame1"));
}

}  // namespace
}  // namespace parupo
