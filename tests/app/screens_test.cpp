// The windows on the test's screen; ctest runs these also on a screen of 1280 by 1024 pixels at 96 dpi, at 144 dpi
// (scaled by Qt and unscaled) and at Qt's scale of 2. Sizes in twips are inches, so the main window measures the
// same in device pixels however Qt scales it; no control crosses its window's or its panel's edge; the panels'
// captions sit in their frame lines; the address book and the log viewer open wholly on the screen. The main
// window shown again after the viewer: the viewer's window test; its place needs a window manager: the
// end-to-end screens test.
#include <gtest/gtest.h>

#include "addressbook/form4.h"
#include "app/form1_fixture.h"
#include "logs/form2.h"

namespace parupo {
namespace {

using namespace test;

double fromEnvironment(const char* name, double otherwise) {
  const char* value = std::getenv(name);
  return value ? std::atof(value) : otherwise;
}
// Device pixels of `twips` on the screen: its dpi, times the scale the user asked Qt for.
int devicePixels(double twips) {
  const double dpi = fromEnvironment("PARUPO_TEST_DPI", 96) * fromEnvironment("QT_SCALE_FACTOR", 1);
  return static_cast<int>(twips * dpi / 1440 + 0.5);
}
QSize devicePixels(const QWidget& w, QSize logical) { return (QSizeF(logical) * w.devicePixelRatioF()).toSize(); }

template <typename Window>
Window* openWindow() {
  QApplication::processEvents();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* found = qobject_cast<Window*>(w); found && found->isVisible()) return found;
  return nullptr;
}

// Every named control that shows lies inside its parent and inside its window.
void expectControlsWhole(QWidget* window) {
  SCOPED_TRACE(window->windowTitle().toStdString());
  for (QWidget* c : window->findChildren<QWidget*>()) {
    if (c->objectName().isEmpty() || c->objectName().startsWith(QStringLiteral("qt_")) || !c->isVisibleTo(window)) continue;
    SCOPED_TRACE(c->objectName().toStdString());
    EXPECT_TRUE(c->parentWidget()->rect().contains(c->geometry()));
    EXPECT_TRUE(window->rect().contains(QRect(c->mapTo(window, QPoint(0, 0)), c->size())));
  }
}

// The panel as drawn (in device pixels): its top frame line is the first row that is not background at the right
// end; the caption's dark ink lies above and below that row and interrupts it; no control inside reaches up to it.
void expectCaptionInFrameLine(QGroupBox* frame) {
  SCOPED_TRACE(frame->title().toStdString());
  const QImage image = frame->grab().toImage();
  const int right = image.width() - 3;
  int line = 0;
  while (line < image.height() / 2 && image.pixel(right, line) == image.pixel(right, 0)) ++line;
  ASSERT_LT(line, image.height() / 2);

  const double dpr = image.devicePixelRatio();
  const int captionWidth = int(frame->fontMetrics().horizontalAdvance(frame->title()) * dpr);
  const int captionEnd = std::min(captionWidth + 20, image.width() / 2);
  QRect ink;  // the caption's dark pixels off the line
  for (int y = 0; y < image.height() / 4; ++y) {
    for (int x = 1; x < captionEnd; ++x) {
      if (y != line && qGray(image.pixel(x, y)) <= 128) ink |= QRect(x, y, 1, 1);
    }
  }
  EXPECT_LT(ink.top(), line);
  EXPECT_GT(ink.bottom(), line);
  EXPECT_NE(image.pixel(ink.left() - 2, line), image.pixel(right, line));
  for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isVisibleTo(frame)) {
      EXPECT_GT(child->y() * dpr, line + 1) << child->objectName().toStdString();
    }
  }
}

class Screens : public Form1Fixture<FakeMail> {
 protected:
  void SetUp() override {
    pp1.height = 6000, pp1.width = 8100;  // whole pixels at every scale
    putPP1();
    put("PPad.dat", {"友人", "山田 太郎\tyamada.taro@example.jp\t090-1234-5678"});
    std::filesystem::create_directory(folder / "log");
    put("log/20240101-0000-00.txt", {"", "宛先 : a@example.jp"});
  }
};

TEST_F(Screens, TheMainWindowMeasuresItsTwipsWithEveryControlAndCaptionWhole) {
  auto form = start();
  EXPECT_EQ(devicePixels(*form, outer(*form)), QSize(devicePixels(8100), devicePixels(6000)));
  expectControlsWhole(form.get());
  expectCaptionInFrameLine(the<QGroupBox>(*form, "Frame2"));
  entry(*form, "PopSetup", 0)->trigger();  // "設定"
  QApplication::processEvents();
  ASSERT_TRUE(form->settingsPanelShown());
  expectControlsWhole(form.get());
  expectCaptionInFrameLine(the<QGroupBox>(*form, "Frame1"));
  entry(*form, "PopSetup", 0)->trigger();

  const QSize frame = outer(*form) - form->size();  // resized from outside: the twips follow the screen's inches
  form->resize(QSize(devicePixels(9000), devicePixels(7500)) / form->devicePixelRatioF() - frame);
  QApplication::processEvents();
  EXPECT_NEAR(form->windowWidth(), 9000, 15);
  EXPECT_NEAR(form->windowHeight(), 7500, 15);
}

// Where beside the main window they go is the placement's own table (platform_test); here the main window stands at
// the screen's right edge, where neither fits on its right.
TEST_F(Screens, TheBookAndTheViewerOpenOnTheScreenWithEveryControlWhole) {
  auto form = start();
  const QRect screen = form->screen()->availableGeometry();
  form->move(screen.right() + 1 - outer(*form).width(), screen.y() + 20);

  entry(*form, "PopSetup", 6)->trigger();  // "あ2"
  Form4* book = openWindow<Form4>();
  ASSERT_NE(book, nullptr);
  EXPECT_TRUE(screen.contains(book->frameGeometry())) << book->frameGeometry().x();
  expectControlsWhole(book);
  book->mn01[3]->trigger();  // 連続送信: the list ends above the name and address rows
  EXPECT_LT(book->List1->geometry().bottom(), book->Text1->y());
  EXPECT_FALSE(book->List1->toolTip().isEmpty());
  expectControlsWhole(book);
  book->close();

  entry(*form, "PopSetup", 4)->trigger();  // "び"
  Form2* viewer = openWindow<Form2>();
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(screen.contains(viewer->frameGeometry())) << viewer->frameGeometry().x();
  expectControlsWhole(viewer);
  viewer->close();
}

}  // namespace
}  // namespace parupo
