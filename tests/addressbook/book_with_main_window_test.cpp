// The address book over the real main window (offscreen, fake mail): a click gives the
// main window an entry's own address, and the consecutive send mails through its send.
#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>

#include "addressbook/book_tree.h"
#include "addressbook/form4.h"
#include "app/form1.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

TEST(BookWithMainWindow, ClicksAndTheConsecutiveSendGoThroughTheMainWindow) {
  test::TempFolder folder;
  test::FakeDialogs dialogs;
  test::FakeClock clock;
  test::FakeRandom random;
  test::FakeMail mail;
  int ended = 0;
  // A server, the reply mode with the dummy address, the subject as typed, no mail check.
  test::writeCp932Lines(folder / "PP1.dat", {"smtp.example.jp", "me@example.jp", "", "dummy@example.jp", "False", "",
                                             "", "", " 2 ", "True", "True", " 6000 ", " 8000 ", "True", "False",
                                             "False", "False"});
  test::writeCp932Lines(folder / "PPad.dat", {"友人", "佐藤\tsato@x.jp\t0901234567", "鈴木\tsuzuki@x.jp", "仕事",
                                              "佐藤\twork@x.jp"});
  Form1 main(Services{dialogs, clock, random, mail, folder.path(), [&] { ++ended; }});
  main.show();
  QPointer<Form4> book = new Form4(dialogs, folder.path(), main, &main);
  book->showBesideMainWindow();
  book->TreeView1->expandAll();
  QApplication::processEvents();

  auto click = [&](QTreeWidgetItem* item) {
    QTest::mouseClick(book->TreeView1->viewport(), Qt::LeftButton, {}, book->TreeView1->visualItemRect(item).center());
  };
  click(book->TreeView1->topLevelItem(1)->child(0));
  EXPECT_EQ(main.recipient(), "work@x.jp");
  click(book->TreeView1->topLevelItem(0)->child(0));  // the other 佐藤
  EXPECT_EQ(main.recipient(), "sato@x.jp");

  main.setQuitAfterSend(true);
  book->mn01[3]->trigger();
  book->List1->selectAll();
  book->mn03[1]->trigger();  // "2"
  ASSERT_EQ(mail.sends.size(), 2u);
  for (const auto& sent : mail.sends) EXPECT_EQ(sent.recipients + "|" + sent.subject, "sato@x.jp|アドレス一覧");
  EXPECT_EQ(mail.sends[0].body, "佐藤\r\nsato@x.jp\r\n0901234567\r\n\r\n鈴木\r\nsuzuki@x.jp\r\n\r\n");
  EXPECT_EQ(mail.sends[1].body, "佐藤\r\nwork@x.jp\r\n\r\n");
  EXPECT_EQ(ended, 0);
  EXPECT_TRUE(main.quitAfterSend());
  EXPECT_FALSE(main.noCopy());
  EXPECT_EQ(main.caption(), "!ぱるぽ");
  book->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(book.isNull());
}

}  // namespace
}  // namespace parupo
