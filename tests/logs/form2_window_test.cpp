// The log viewer offscreen over a temporary program folder, beside a stand-in main window.
// Its title, and the main window hidden meanwhile and back in its place: the end-to-end
// screens test.
#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>

#include "logs/form2.h"
#include "platform/text_file.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

Lines listed(const Form2& f) {
  Lines names;
  for (int i = 0; i < f.List1->count(); ++i) names.push_back(f.List1->item(i)->text().toStdString());
  return names;
}
Lines menu(const Form2& f) {  // the captions of the entries shown
  Lines captions;
  for (QAction* a : f.mn1)
    if (a->isVisible()) captions.push_back(a->text().toStdString());
  return captions;
}

class Form2Test : public ::testing::Test {
 protected:
  test::TempFolder folder;
  test::FakeDialogs dialogs;
  QWidget main;

  Form2Test() {
    main.setWindowIcon(QApplication::style()->standardIcon(QStyle::SP_FileIcon));
    main.move(30, 40);
    main.show();
  }
  Form2* open() {
    return openLogViewer(dialogs, folder.path(), &main, [this](bool visible) { main.setVisible(visible); });
  }
  void log(const std::string& name, const std::string& recipient, const std::string& body = "") {
    fs::create_directories(folder / "log");
    ASSERT_EQ(writeTextLines(folder / "log" / name,
                             {"", "宛先 : " + recipient, "返信 : 自分 <me@x>", "本文 : ", body, "", "添付 : "}),
              "");
  }
  void rightClick(Form2& f) {
    QTest::mousePress(f.List1->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(f.mn0->isVisible());
  }
};

TEST_F(Form2Test, ListsNewestFirstShowsLogsFiltersAndBringsTheMainWindowBack) {
  log("20240106-0800-00.txt", "Taro <taro@x>", "B");
  log("20240107-0000-00.txt", "gone@x");
  log("20240104-0000-00.txt", "a&b\tc");
  log("20240102-0000-00.txt", "taro@x, 花子 <hanako@x> & 自分 <me@x>");  // under each recipient, never the reply-to
  QPointer<Form2> form = open();
  ASSERT_TRUE(form);
  EXPECT_EQ(form->windowIcon().cacheKey(), main.windowIcon().cacheKey());
  EXPECT_EQ(form->frameGeometry().topLeft(), QPoint(30, 40));  // where the main window was
  EXPECT_EQ(listed(*form),
            (Lines{"20240107-0000-00.txt", "20240106-0800-00.txt", "20240104-0000-00.txt", "20240102-0000-00.txt"}));

  // A click shows every line of the log, the last one ended too.
  QTest::mouseClick(form->List1->viewport(), Qt::LeftButton, {},
                    form->List1->visualItemRect(form->List1->item(1)).center());
  EXPECT_EQ(form->Text1->toPlainText(),
            QString::fromUtf8("\n宛先 : Taro <taro@x>\n返信 : 自分 <me@x>\n本文 : \nB\n\n添付 : \n"));
  const std::string bytes = test::readBytes(folder / "log" / "20240106-0800-00.txt");
  QTest::keyClicks(form->Text1, "x");  // the box takes edits, and keeps none of them
  EXPECT_EQ(form->Text1->toPlainText().left(2), QStringLiteral("x\n"));
  fs::remove(folder / "log" / "20240107-0000-00.txt");  // a listed log gone since: by key, nothing to show
  QTest::keyClick(form->List1, Qt::Key_Home);
  EXPECT_EQ(form->Text1->toPlainText(), QString());

  rightClick(*form);  // the selection stays where it was; "&" and TAB show as they are
  EXPECT_EQ(menu(*form), (Lines{"taro@x", "a&&b c", "hanako@x"}));
  EXPECT_EQ(form->List1->currentRow(), 0);
  form->mn0->hide();
  QTest::keyClick(form->List1, Qt::Key_F10, Qt::ShiftModifier);  // the keyboard's way to the same menu
  EXPECT_TRUE(form->mn0->isVisible());
  form->mn1[2]->trigger();
  form->mn0->hide();
  EXPECT_EQ(listed(*form), Lines{"20240102-0000-00.txt"});
  EXPECT_EQ(test::readBytes(folder / "log" / "20240106-0800-00.txt"), bytes);
  form->mn1[0]->trigger();
  EXPECT_EQ(listed(*form), (Lines{"20240106-0800-00.txt", "20240102-0000-00.txt"}));

  int lastWindowClosed = 0;  // the main window is back before the viewer goes: the program runs on
  QObject::connect(qApp, &QGuiApplication::lastWindowClosed, form, [&] { ++lastWindowClosed; });
  form->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form.isNull());
  EXPECT_EQ(lastWindowClosed, 0);
}

TEST_F(Form2Test, AnEmptyFolderShrinkingAndTheEndOfTheProgram) {
  fs::create_directories(folder / "log");
  QPointer<Form2> form = open();
  rightClick(*form);  // the first entry shows even without a caption
  EXPECT_EQ(menu(*form), Lines{""});
  form->resize(100, 300);  // from outside, too narrow: the width snaps back, the controls stay inside
  QApplication::processEvents();
  EXPECT_GT(form->width(), 100);
  EXPECT_TRUE(form->rect().contains(form->Text1->geometry()));

  auto* mainWindow = new QWidget;
  int calls = 0;
  form = openLogViewer(dialogs, folder.path(), mainWindow, [&calls](bool) { ++calls; });
  delete mainWindow;  // the program ends: no call into a main window that is gone
  EXPECT_TRUE(form.isNull());
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace parupo
