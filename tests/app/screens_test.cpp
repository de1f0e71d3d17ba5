// The windows on the test's screen, which ctest also makes 1280 by 1024 pixels at 96 dpi, at 144 dpi (scaled by Qt
// and unscaled) and at Qt's scale of 2. The main window's place after the viewer: the end-to-end screens test.
#include <gtest/gtest.h>

#include "addressbook/form4.h"
#include "app/form1_fixture.h"
#include "logs/form2.h"
#include "platform/qt_dialogs.h"

namespace parupo {
namespace {

using namespace test;

double fromEnvironment(const char* name, double otherwise) {
  const char* value = std::getenv(name);
  return value ? std::atof(value) : otherwise;
}

// The window that the main window's menu item opens (the viewer hides the main window).
QWidget* opened(Form1& form, int item) {
  entry(form, "PopSetup", item)->trigger();
  QApplication::processEvents();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != &form && w->isVisible()) return w;
  return nullptr;
}

// Every named control that shows lies inside its parent and inside its window.
void expectControlsWhole(QWidget* window) {
  SCOPED_TRACE(window->windowTitle().toStdString());
  for (QWidget* c : window->findChildren<QWidget*>()) {
    if (c->objectName().isEmpty() || c->objectName().startsWith(QStringLiteral("qt_")) || !c->isVisibleTo(window))
      continue;
    SCOPED_TRACE(c->objectName().toStdString());
    EXPECT_TRUE(c->parentWidget()->rect().contains(c->geometry()));
    EXPECT_TRUE(window->rect().contains(QRect(c->mapTo(window, QPoint(0, 0)), c->size())));
  }
}

// The panel as drawn (in device pixels): its top frame line, the first row that is not background at the right end,
// runs through the caption, whose dark ink lies above and below it; no control inside reaches up to it.
void expectCaptionInFrameLine(QGroupBox* frame) {
  SCOPED_TRACE(frame->title().toStdString());
  const QImage image = frame->grab().toImage();
  const int right = image.width() - 3;
  int line = 0;
  while (line < image.height() / 2 && image.pixel(right, line) == image.pixel(right, 0)) ++line;
  const double dpr = image.devicePixelRatio();
  const int captionEnd = std::min(int(frame->fontMetrics().horizontalAdvance(frame->title()) * dpr) + 20, right);
  QRect ink;  // the caption's dark pixels off the line
  for (int y = 0; y < image.height() / 4; ++y)
    for (int x = 1; x < captionEnd; ++x)
      if (y != line && qGray(image.pixel(x, y)) <= 128) ink |= QRect(x, y, 1, 1);
  EXPECT_LT(ink.top(), line);
  EXPECT_GT(ink.bottom(), line);
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

TEST_F(Screens, EveryWindowShowsItsControlsWholeAndTheMainWindowMeasuresItsTwips) {
  auto form = start();
  // Twips are inches: the screen's dpi times the scale the user asked Qt for gives the device pixels.
  const double dpi = fromEnvironment("PARUPO_TEST_DPI", 96) * fromEnvironment("QT_SCALE_FACTOR", 1);
  EXPECT_EQ((QSizeF(outer(*form)) * form->devicePixelRatioF()).toSize(), (QSizeF(8100, 6000) * dpi / 1440).toSize());
  expectControlsWhole(form.get());
  expectCaptionInFrameLine(the<QGroupBox>(*form, "Frame2"));
  entry(*form, "PopSetup", 0)->trigger();  // "設定"
  QApplication::processEvents();
  ASSERT_TRUE(form->settingsPanelShown());
  expectControlsWhole(form.get());
  expectCaptionInFrameLine(the<QGroupBox>(*form, "Frame1"));
  entry(*form, "PopSetup", 0)->trigger();

  auto* book = qobject_cast<Form4*>(opened(*form, 6));  // "あ2"
  ASSERT_NE(book, nullptr);
  expectControlsWhole(book);
  book->mn01[3]->trigger();  // 連続送信: the list ends above the name and address rows
  EXPECT_LT(book->List1->geometry().bottom(), book->Text1->y());
  EXPECT_FALSE(book->List1->toolTip().isEmpty());
  expectControlsWhole(book);
  book->close();
  QWidget* viewer = opened(*form, 4);  // "び"
  ASSERT_NE(viewer, nullptr);
  expectControlsWhole(viewer);
  viewer->close();
}

// Where beside the main window the book goes is the placement's own table (platform_test); here only that the
// book and the viewer lie wholly on the available screen wherever the main window stands.
TEST_F(Screens, TheBookAndTheViewerOpenOnTheScreenWhereverTheMainWindowStands) {
  const struct {
    const char* name;
    double place;
  } rows[] = {{"left edge", 0}, {"middle", 0.5}, {"right edge", 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto form = start();
    const QRect screen = form->screen()->availableGeometry();
    form->move(screen.x() + int(row.place * (screen.width() - outer(*form).width())), screen.y() + 20);
    for (int item : {6, 4}) {  // "あ2", "び"
      QWidget* window = opened(*form, item);
      ASSERT_NE(window, nullptr) << item;
      EXPECT_TRUE(screen.contains(window->frameGeometry())) << item << " at " << window->frameGeometry().x();
      window->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// The attachment's file dialog, as the clip button opens it: on the screen whole, its buttons in sight.
TEST_F(Screens, TheFileDialogFitsTheScreen) {
  auto form = start();
  const std::unique_ptr<QFileDialog> dialog = openFileDialog(form.get(), folder.path().string(),
                                                             "すべてのファイル|*.*|");
  dialog->show();  // not modal: the test goes on
  QApplication::processEvents();
  const QRect screen = dialog->screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(dialog->frameGeometry()))
      << dialog->frameGeometry().width() << "x" << dialog->frameGeometry().height();
  expectControlsWhole(dialog.get());
  dialog->reject();
}

}  // namespace
}  // namespace parupo
