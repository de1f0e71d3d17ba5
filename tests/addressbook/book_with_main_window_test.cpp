// The address book over the real main window (offscreen, fake mail): the consecutive send
// mails through the main window's own send and gives its options back.
#include <gtest/gtest.h>

#include <QtWidgets>

#include "addressbook/form4.h"
#include "app/form1_fixture.h"

namespace parupo {
namespace {

using BookWithMainWindow = test::Form1Fixture<test::FakeMail>;

TEST_F(BookWithMainWindow, TheConsecutiveSendGoesThroughTheMainWindow) {
  // A server, the reply mode with the dummy address, the subject as typed, no mail check.
  put("PP1.dat", {"smtp.example.jp", "me@example.jp", "", "dummy@example.jp", "False", "", "", "", " 2 ", "True", "True",
                  " 6000 ", " 8000 ", "True", "False", "False", "False"});
  put("PPad.dat", {"友人", "佐藤\tsato@x.jp\t0901234567", "鈴木\tsuzuki@x.jp", "仕事", "佐藤\twork@x.jp"});
  const auto owner = start();
  Form1& main = *owner;
  QPointer<Form4> book = new Form4(dialogs, folder.path(), main, &main);
  book->showBesideMainWindow();
  main.setRecipient("to@x.jp");
  main.setQuitAfterSend(true);
  book->mn01[3]->trigger();
  book->List1->selectAll();
  book->mn03[1]->trigger();  // "2"
  ASSERT_EQ(mail.sends.size(), 2u);
  for (const auto& sent : mail.sends) EXPECT_EQ(sent.recipients + "|" + sent.subject, "to@x.jp|アドレス一覧");
  EXPECT_EQ(mail.sends[0].body, "佐藤\r\nsato@x.jp\r\n0901234567\r\n\r\n鈴木\r\nsuzuki@x.jp\r\n\r\n");
  EXPECT_EQ(mail.sends[1].body, "佐藤\r\nwork@x.jp\r\n\r\n");
  EXPECT_EQ(ended, 0);
  EXPECT_TRUE(main.quitAfterSend() && !main.noCopy());
  EXPECT_EQ(main.caption(), "!ぱるぽ");
  book->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(book.isNull());
}

}  // namespace
}  // namespace parupo
