// The log viewer offscreen over a temporary program folder, beside a stand-in main window.
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
Lines menu(const Form2& f) {  // the visible entries' captions
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
  std::vector<bool> mainVisible;  // what the viewer asked of the main window, in order

  Form2Test() {
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    main.setWindowIcon(QIcon(picture));
    main.move(30, 40);
    main.show();
  }
  Form2* open() {
    return openLogViewer(dialogs, folder.path(), &main, [this](bool visible) { mainVisible.push_back(visible); });
  }
  void log(const std::string& name, const std::string& recipient, const std::string& body = "本文") {
    fs::create_directories(folder / "log");
    ASSERT_EQ(writeTextLines(folder / "log" / name, {"", "宛先 : " + recipient, "返信 : me@x", "件名 : s", "本文 : ",
                                                      body, "", "添付 : "}),
              "");
  }
  void rightClick(Form2& f) {
    QTest::mousePress(f.List1->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    QApplication::processEvents();
  }
};

TEST_F(Form2Test, WithoutALogFolderOnlyTheMessage) {
  EXPECT_EQ(open(), nullptr);
  EXPECT_EQ(dialogs.messages, Lines{"ログがありません"});
  EXPECT_TRUE(mainVisible.empty());
}

TEST_F(Form2Test, ListsNewestFirstShowsLogsAndBringsTheMainWindowBack) {
  log("20240105-0930-00.txt", "abc", "A");
  log("20240106-0800-00.txt", "Taro <abc>", "B");
  log("20240107-0000-00.txt", "gone@x");
  test::writeBytes(folder / "log" / "other.dat", "");
  QPointer<Form2> form = open();
  ASSERT_TRUE(form);
  QApplication::processEvents();
  EXPECT_EQ(form->windowTitle(), QString::fromUtf8("!ぱるぽ びゅわー"));
  EXPECT_EQ(form->windowIcon().pixmap(16).toImage(), main.windowIcon().pixmap(16).toImage());
  EXPECT_EQ(form->pos(), QPoint(30, 40));
  EXPECT_EQ(form->frameGeometry().size(), QSize(642, 221));  // 9630 x 3315 twips
  EXPECT_EQ(listed(*form), (Lines{"20240107-0000-00.txt", "20240106-0800-00.txt", "20240105-0930-00.txt"}));
  EXPECT_EQ(mainVisible, std::vector<bool>{false});
  EXPECT_TRUE(form->Text1->isReadOnly());

  // By click, then by the arrow key: each line of the log, the last one ended too.
  const QRect second = form->List1->visualItemRect(form->List1->item(1));
  QTest::mouseClick(form->List1->viewport(), Qt::LeftButton, {}, second.center());
  EXPECT_EQ(form->Text1->toPlainText(),
            QString::fromUtf8("\n宛先 : Taro <abc>\n返信 : me@x\n件名 : s\n本文 : \nB\n\n添付 : \n"));
  QTest::keyClick(form->List1, Qt::Key_Down);
  EXPECT_TRUE(form->Text1->toPlainText().contains(QStringLiteral("\nA\n")));
  // A listed log that has gone since: nothing to show, and the viewer goes on.
  fs::remove(folder / "log" / "20240107-0000-00.txt");
  QTest::keyClick(form->List1, Qt::Key_Home);
  EXPECT_EQ(form->Text1->toPlainText(), QString());

  // The right click shows the menu and leaves the selection alone.
  rightClick(*form);
  EXPECT_TRUE(form->mn0->isVisible());
  EXPECT_EQ(menu(*form), (Lines{"abc"}));
  EXPECT_EQ(form->List1->currentRow(), 0);
  form->mn1[0]->trigger();
  form->mn0->hide();
  EXPECT_EQ(listed(*form), (Lines{"20240106-0800-00.txt", "20240105-0930-00.txt"}));
  EXPECT_EQ(form->Text1->toPlainText(), QString());  // the filter does not touch the text

  form->close();
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form.isNull());
  EXPECT_EQ(mainVisible, (std::vector<bool>{false, true}));
}

TEST_F(Form2Test, RecipientMenuShowsTenAndKeepsAmpersandsAndTabs) {
  fs::create_directories(folder / "log");
  QPointer<Form2> empty = open();  // an empty folder: entry 0 alone, with no caption
  rightClick(*empty);
  EXPECT_EQ(menu(*empty), Lines{""});
  empty->mn0->hide();
  empty->close();

  for (int i = 0; i < 12; ++i) log("2024010" + std::to_string(i / 10) + "-0000-" + std::to_string(10 + i) + ".txt",
                                   "r" + std::to_string(i) + "@x");
  log("20250101-0000-00.txt", "a@x\tb@x & me@x");
  QPointer<Form2> form = open();
  rightClick(*form);
  EXPECT_EQ(menu(*form), (Lines{"a@x b@x && me@x", "r11@x", "r10@x", "r9@x", "r8@x", "r7@x", "r6@x", "r5@x",
                                "r4@x", "r3@x"}));
  form->mn1[0]->trigger();
  form->mn0->hide();
  EXPECT_EQ(listed(*form), Lines{"20250101-0000-00.txt"});
  form->close();
}

TEST_F(Form2Test, ShrinkingSnapsBackAndTheViewerGoesWithTheMainWindow) {
  fs::create_directories(folder / "log");
  QPointer<Form2> form = open();
  form->setWindowSizeTwips(1000, 1000);
  EXPECT_EQ(QSizeF(form->windowWidth(), form->windowHeight()), QSizeF(2925, 1335));
  EXPECT_EQ(form->Text1->size(), QSize(30, 53));   // 450 x 795 twips
  EXPECT_EQ(form->List1->height(), 55);            // 825 twips
  form->resize(100, 300);                          // from outside: the width snaps back
  QApplication::processEvents();
  EXPECT_EQ(form->frameGeometry().size(), QSize(195, 304));  // the frame's 4 pixels around it
  EXPECT_EQ(form->Text1->size(), QSize(30, 268));            // 450 x 4020 twips

  auto* mainWindow = new QWidget;
  int calls = 0;
  form = openLogViewer(dialogs, folder.path(), mainWindow, [&calls](bool) { ++calls; });
  delete mainWindow;  // the program ends: no call into a main window that is gone
  EXPECT_TRUE(form.isNull());
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace parupo
