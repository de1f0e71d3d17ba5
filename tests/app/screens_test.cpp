// The windows on the test's screen; ctest runs these also on a screen of 1280 by 1024
// pixels at 96 dpi, at 144 dpi and at Qt's scale of 2: the address book and the log viewer open wholly on the
// screen wherever the main window stands, no control crosses its window's or its
// panel's edge, and the main window comes back where it was after the viewer.
#include <gtest/gtest.h>

#include <QTest>

#include "addressbook/form4.h"
#include "app/form1_fixture.h"
#include "logs/form2.h"

namespace parupo {
namespace {

using namespace test;

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

class Screens : public Form1Fixture<FakeMail> {
 protected:
  void SetUp() override {
    pp1.height = 7000, pp1.width = 8000;
    putPP1();
    put("PPad.dat", {"友人", "山田 太郎\tyamada.taro@example.jp\t090-1234-5678"});
    std::filesystem::create_directory(folder / "log");
    put("log/20240101-0000-00.txt", {"", "宛先 : a@example.jp"});
  }
};

TEST_F(Screens, TheBookAndTheViewerOpenOnTheScreenWithEveryControlWhole) {
  const struct {
    const char* name;
    double place;  // the main window's frame from the screen's left edge (0) to its right edge (1)
  } rows[] = {{"left edge", 0}, {"middle", 0.5}, {"right edge", 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto form = start();
    const QRect screen = form->screen()->availableGeometry();
    const QSize frame = form->frameGeometry().size();
    form->move(screen.x() + static_cast<int>(row.place * (screen.width() - frame.width())), screen.y() + 20);
    QApplication::processEvents();
    const QPoint place = form->pos();
    expectControlsWhole(form.get());

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
    QApplication::processEvents();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->pos(), place);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

}  // namespace
}  // namespace parupo
