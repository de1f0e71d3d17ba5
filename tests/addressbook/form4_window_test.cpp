// Form4 offscreen over a temporary program folder, with fake dialogs and a fake main
// window; last over the real one.
#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>

#include "addressbook/book_pictures.h"
#include "addressbook/book_tree.h"
#include "support/fake_main_window.h"
#include "addressbook/form4.h"
#include "app/form1_fixture.h"

namespace parupo {
namespace {

using test::Lines;
using test::u;

class Form4Test : public ::testing::Test {
 protected:
  test::TempFolder folder;
  test::FakeDialogs dialogs;
  test::FakeMainWindow port;
  QWidget mainWindow;
  QPointer<Form4> form;
  std::vector<QMenu*> popups;

  void SetUp() override {
    put({"友人", "山田, 太郎\tyamada@x.jp", "佐藤\tsato@x.jp\t0901234567", "仕事", "佐藤\twork@x.jp"});
  }
  void TearDown() override { delete form; }
  void put(const Lines& lines) { test::writeCp932Lines(folder / "PPad.dat", lines); }
  Lines file() const { return readTextLines(folder / "PPad.dat").value_or(Lines{}); }
  void open() {
    form = new Form4(dialogs, folder.path(), port, &mainWindow);
    form->popup = [this](QMenu* m, const QPoint&) { popups.push_back(m); };
    form->showBesideMainWindow();
    form->TreeView1->expandAll();
    QApplication::processEvents();
  }
  void closeAndWait() {
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  QTreeWidgetItem* group(int g) const { return form->TreeView1->topLevelItem(g); }
  QTreeWidgetItem* entry(int g, int i) const { return group(g)->child(i); }
  QPoint at(QTreeWidgetItem* item) const {  // its middle, or empty space below the rows
    return item ? form->TreeView1->visualItemRect(item).center() : QPoint(5, form->TreeView1->viewport()->height() - 5);
  }
  void press(QTreeWidgetItem* item, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(form->TreeView1->viewport(), button, {}, at(item));
    QTest::mouseRelease(form->TreeView1->viewport(), button, {}, at(item));
  }
  // A drop of `node` as the tree's own drag carries it, entered and dropped on `onto` (or
  // on empty space).
  void drop(NodeId node, QTreeWidgetItem* onto) {
    const std::unique_ptr<QMimeData> data(form->TreeView1->dragData(node));
    const QPoint pos = at(onto);
    QDragEnterEvent enter(pos, Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QDragMoveEvent move(pos, Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QDropEvent dropped(pos, Qt::MoveAction, data.get(), Qt::LeftButton, {});
    for (QEvent* e : std::initializer_list<QEvent*>{&enter, &move, &dropped})
      QApplication::sendEvent(form->TreeView1->viewport(), e);
    EXPECT_TRUE(dropped.isAccepted());
    QApplication::processEvents();  // the drop is handled once the drag has ended
  }
};

// Its place beside the main window, its title and icon: the end-to-end address book test.
TEST_F(Form4Test, OpensInTreeModeSwitchesToTheListAndShrinksToEmptyControls) {
  open();
  EXPECT_EQ(form->List1->count(), 3);
  form->setWindowSizeTwips(1000, 1000);  // smaller than the margins: empty, not negative
  EXPECT_EQ(form->TreeView1->height(), 0);

  form->mn01[3]->trigger();  // 連続送信: the list in the tree's place, the name and address rows stay
  EXPECT_FALSE(form->TreeView1->isVisible());
  EXPECT_TRUE(form->List1->isVisible());
  EXPECT_TRUE(form->Text2->isVisible());
  form->mn02[2]->trigger();  // 戻る
  EXPECT_FALSE(form->List1->isVisible());
}

TEST_F(Form4Test, ClicksShowTheNodeGiveAnEntrysOwnAddressToTheMainWindowAndPopUpTheMenus) {
  open();
  press(entry(0, 1));
  EXPECT_EQ(form->Text3->text(), u("0901234567"));
  EXPECT_EQ(port.to, "sato@x.jp");
  press(group(0));
  EXPECT_EQ(form->Text1->text(), u("友人"));
  EXPECT_EQ(form->Text3->text(), "");
  EXPECT_EQ(form->TreeView1->dropHighlight(), group(0));
  EXPECT_EQ(form->focusWidget(), form->TreeView1);  // the keys stay in the tree: AClickOnAGroup...
  EXPECT_EQ(form->Text1->selectedText(), u("友人"));
  press(nullptr);  // empty space: nothing current, the boxes stay
  EXPECT_EQ(form->CurNode(), kNoNode);
  EXPECT_EQ(form->Text1->text(), u("友人"));

  press(entry(1, 0));
  port.to.clear();
  press(group(0), Qt::RightButton);  // the menu, then the current node shown again
  EXPECT_EQ(popups, std::vector<QMenu*>{form->menu});
  EXPECT_EQ(port.to, "work@x.jp");
  form->mn01[3]->trigger();
  QTest::mousePress(form->List1->viewport(), Qt::RightButton);
  EXPECT_EQ(popups.back(), form->menu2);
}

// The keys go where the keyboard is: the end-to-end address book test clicks and types for real.
TEST_F(Form4Test, AClickOnAGroupLeavesTheKeysInTheTreeAndTabOrAClickIntoTheNameTypesOverIt) {
  open();
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.data()));
  auto key = [](Qt::Key k, Qt::KeyboardModifiers held = {}) { QTest::keyClick(QApplication::focusWidget(), k, held); };
  press(group(0));
  key(Qt::Key_Left);  // closes the group, Right opens it again
  EXPECT_FALSE(group(0)->isExpanded());
  key(Qt::Key_Right);
  EXPECT_TRUE(group(0)->isExpanded());
  key(Qt::Key_F10, Qt::ShiftModifier);
  EXPECT_EQ(popups, std::vector<QMenu*>{form->menu});
  key(Qt::Key_Down);
  EXPECT_EQ(port.to, "yamada@x.jp");
  EXPECT_EQ(form->Text1->text(), u("山田, 太郎"));

  press(group(1));
  key(Qt::Key_Tab);
  QTest::keyClicks(QApplication::focusWidget(), "Work");
  EXPECT_EQ(form->Text1->text(), "Work");
  press(group(0));
  QTest::mouseClick(form->Text1, Qt::LeftButton, {}, QPoint(4, 4));
  QTest::keyClicks(QApplication::focusWidget(), "Home");
  EXPECT_EQ(form->Text1->text(), "Home");
  QTest::mouseClick(form->Text1, Qt::LeftButton, {}, QPoint(4, 4));  // in the box already: the caret goes there
  QTest::keyClicks(form->Text1, "y");
  EXPECT_EQ(form->Text1->text(), "yHome");
}

TEST_F(Form4Test, RegisteringUpdatingMovingAndDeletingReachTheFileOnlyAtClosing) {
  open();
  press(entry(1, 0));
  group(1)->setExpanded(false);
  form->Text1->setText(u("新人"));
  form->Text2->setText("new@x.jp");
  form->Text3->setText("09099998888");
  QTest::mousePress(form->Command1, Qt::RightButton);  // a right click registers into 仕事
  EXPECT_TRUE(group(1)->isExpanded());                 // the new entry is seen, and current
  EXPECT_EQ(form->TreeView1->dropHighlight(), entry(1, 1));
  QTest::mousePress(form->Command1, Qt::RightButton);  // the same name again: refused, and told
  EXPECT_EQ(dialogs.messages.size(), 1u);

  press(entry(0, 0));  // a left click updates 山田, 太郎 (its new name is mailed below)
  form->Text1->setText(u("山田"));
  QTest::mouseClick(form->Command1, Qt::LeftButton);
  drop(entry(0, 0)->data(0, Qt::UserRole).toInt(), entry(1, 0));  // onto an entry of another group: to its end
  form->Text2->setText("moved@x.jp");                             // the moved node is current: an update changes it
  QTest::mouseClick(form->Command1, Qt::LeftButton);
  dialogs.answer = "家族";
  form->mn01[0]->trigger();
  EXPECT_EQ(file().size(), 5u);  // nothing written before closing

  dialogs.yes = false;  // deleting asks first; No keeps the node
  press(group(1));
  drop(entry(0, 0)->data(0, Qt::UserRole).toInt(), nullptr);  // on empty space: the dragged node, not the pressed one
  EXPECT_EQ(dialogs.questions.back(), "佐藤 を削除しても良いですか？");
  EXPECT_EQ(group(0)->childCount(), 1);
  press(entry(0, 0));
  dialogs.yes = true;
  form->mn011[0]->trigger();                          // by the menu
  QTest::mouseClick(form->Command1, Qt::LeftButton);  // updating a deleted node does nothing
  form->List1->selectAll();                           // a deleted entry is no longer offered, nor mailed
  EXPECT_TRUE(form->List1->item(1)->isHidden());
  form->mn03[0]->trigger();
  std::string mailed;
  for (const auto& sent : port.sent) mailed += sent.subject + " ";
  EXPECT_EQ(mailed, "山田 佐藤 新人 ");
  closeAndWait();
  EXPECT_EQ(file(),
            (Lines{"友人", "仕事", "佐藤\twork@x.jp", "新人\tnew@x.jp\t09099998888", "山田\tmoved@x.jp", "家族"}));
}

TEST_F(Form4Test, KeysDoWhatClicksDoAndItsBoxesOpenOverIt) {
  open();
  press(group(0));
  QTest::keyClick(form->TreeView1, Qt::Key_Down);  // as a left click on 山田, 太郎
  EXPECT_EQ(port.to, "yamada@x.jp");
  EXPECT_EQ(form->Text1->cursorPosition(), 0);
  EXPECT_EQ(form->mn011[0]->text(), u("山田, 太郎を削除"));          // the delete item names the entry
  QTest::keyClick(form->TreeView1, Qt::Key_F10, Qt::ShiftModifier);  // as a right click on the current row
  QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, {}, {});
  QApplication::sendEvent(form->TreeView1, &menuKey);
  EXPECT_EQ(popups, (std::vector<QMenu*>{form->menu, form->menu}));

  form->Text1->setText(u("新人"));  // Shift+Enter registers without an address, Enter then gives it one
  form->Text2->clear();
  QTest::keyClick(form->Command1, Qt::Key_Return, Qt::ShiftModifier);
  press(entry(0, 2));
  form->Text2->setText("new@x.jp");
  QTest::keyClick(form->Command1, Qt::Key_Enter, Qt::KeypadModifier);  // the keypad's Enter as well
  EXPECT_EQ(form->List1->item(3)->text(), u("新人\tnew@x.jp"));

  form->mn011[0]->trigger();
  EXPECT_EQ(dialogs.parents, std::vector<const DialogParent*>{form.data()});
  form->ChangeRenso(true);
  QTest::keyClick(form->List1, Qt::Key_F10, Qt::ShiftModifier);
  EXPECT_EQ(popups.back(), form->menu2);
}

// Pictures as the tree shows them, row by row: a node made in this run shows what the next start shows.
TEST_F(Form4Test, NewGroupsAndEntriesShowTheirPicturesAtOnce) {
  std::filesystem::remove(folder / "PPad.dat");
  open();
  form->TreeView1->collapseAll();  // as the program opens it
  const auto register_ = [this](QTreeWidgetItem* into, const char* name, const char* mobile) {
    press(into);
    form->Text1->setText(u(name));
    form->Text2->setText("a@x.jp");
    form->Text3->setText(u(mobile));
    QTest::mousePress(form->Command1, Qt::RightButton);
  };
  const auto pictures = [this] {  // by number, 0 for none
    std::vector<int> shown;
    for (QTreeWidgetItemIterator it(form->TreeView1); *it; ++it) {
      int number = 4;
      while (number > 0 && bookPicture(number).cacheKey() != (*it)->icon(0).cacheKey()) --number;
      shown.push_back(number);
    }
    return shown;
  };
  dialogs.answer = "家族";
  form->mn01[0]->trigger();  // グループ作成
  EXPECT_EQ(pictures(), (std::vector<int>{kClosed, kClosed}));
  register_(group(1), "母", "09011112222");
  register_(group(0), "友", "");
  EXPECT_EQ(pictures(), (std::vector<int>{kOpen, kMail, kOpen, kMobile}));
  const std::vector<int> shown = pictures();
  closeAndWait();
  open();  // its groups opened, as they were
  EXPECT_EQ(pictures(), shown);
}

TEST_F(Form4Test, ClosingDuringARunAsksToStopItAndTheProgramsEndSavesFirst) {
  open();
  form->List1->selectAll();
  press(group(1));
  form->Text1->setText(u("職場"));
  QTest::mouseClick(form->Command1, Qt::LeftButton);
  // The program ends during the first message: the options are given back and the book saved.
  port.options.subjectIsDate = true;  // off for the run: each subject names its entry
  port.duringSend = [this] {
    if (port.sent.size() == 1) form->saveBeforeProgramEnds();
  };
  form->mn03[0]->trigger();
  EXPECT_EQ(file()[3], "職場");
  EXPECT_FALSE(port.sent[0].dateSubject);
  EXPECT_FALSE(port.sent[0].quit);
  EXPECT_TRUE(port.options.subjectIsDate);
  // Closing the book during a message asks whether to stop: いいえ goes on with the run,
  // はい ends the run after that message, then the book closes and saves.
  port.duringSend = [this] { form->close(); };
  for (bool stop : {false, true}) {
    port.sent.clear();
    port.stopAnswers = {stop, stop};
    form->mn01[3]->trigger();
    form->mn03[0]->trigger();
    EXPECT_EQ(port.sent.size(), stop ? 1u : 3u);
    EXPECT_FALSE(port.sent[0].dateSubject);
    EXPECT_TRUE(port.options.subjectIsDate);  // a stopped run gives it back too
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form.isNull());
}

TEST_F(Form4Test, ABookThatCouldNotBeReadIsNeverOverwrittenAndAFailedSaveIsTold) {
  std::filesystem::remove(folder / "PPad.dat");
  std::filesystem::create_directory(folder / "PPad.dat");
  open();
  EXPECT_EQ(dialogs.messages.size(), 1u);
  closeAndWait();
  EXPECT_TRUE(std::filesystem::is_directory(folder / "PPad.dat"));
  std::filesystem::remove(folder / "PPad.dat");
  open();
  form->TreeView1->collapseAll();              // as the program opens it
  std::filesystem::remove_all(folder.path());  // the program folder has gone
  closeAndWait();
  EXPECT_TRUE(form.isNull());
  EXPECT_EQ(dialogs.messages.size(), 2u);
}

// Over the real main window, with fake mail: the consecutive send mails through its own
// send, takes the list's selection, and gives the main window's options back. The
// messages' texts for each choice: the consecutive send's unit test.
using BookWithMainWindow = test::Form1Fixture<test::FakeMail>;

TEST_F(BookWithMainWindow, TheConsecutiveSendGoesThroughTheMainWindow) {
  pp1.receiveFirst = false;  // the dummy address's mode (which the run's Check1 skips); the date subject on
  putPP1();
  put("PPad.dat", {"友人", "佐藤\tsato@x.jp", "鈴木\tsuzuki@x.jp", "仕事", "佐藤\twork@x.jp"});
  const auto owner = start();
  Form1& main = *owner;
  QPointer<Form4> book = new Form4(dialogs, folder.path(), main, &main);
  book->showBesideMainWindow();
  main.setRecipient("to@x.jp");
  main.setQuitAfterSend(true);
  book->mn01[3]->trigger();  // all at once, the list's selection less its first record
  book->List1->selectAll();
  book->List1->item(0)->setSelected(false);
  book->mn03[6]->trigger();
  ASSERT_EQ(mail.sends.size(), 1u);
  test::expectSent(mail.sends[0], {.recipients = "to@x.jp",
                                   .subject = "アドレス一覧",
                                   .body = "鈴木\r\nsuzuki@x.jp\r\n\r\n佐藤\r\nwork@x.jp\r\n\r\n"});
  EXPECT_TRUE(book->TreeView1->isVisible());
  EXPECT_TRUE(book->List1->isEnabled());
  EXPECT_FALSE(main.noCopy());
  EXPECT_TRUE(main.settings().quitAfterSend);
  EXPECT_TRUE(main.settings().subjectIsDate);
  EXPECT_EQ(main.subject(), "アドレス一覧");
  EXPECT_EQ(main.caption(), "!ぱるぽ");
  EXPECT_EQ(ended, 0);
}

}  // namespace
}  // namespace parupo
