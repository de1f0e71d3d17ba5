// 宛先 offers addresses as the user types, on Form1 offscreen with the real book file.
#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>

#include "app/form1_fixture.h"

namespace parupo {
namespace {

using test::u;

class RecipientCompletionTest : public test::Form1Fixture<test::FakeMail> {
 protected:
  RecipientCompletionTest() {
    pp1 = {.smtpServer = "smtp.example.jp", .replyTo = "me@example.jp", .quitAfterSend = false};
  }
  QLineEdit* to() const { return test::the<QLineEdit>(*form, "Text1"); }
  QAbstractItemView* popup() const { return to()->findChild<QCompleter*>()->popup(); }
  QStringList offered() const {
    QStringList rows;
    for (int i = 0; i < popup()->model()->rowCount(); ++i) rows << popup()->model()->index(i, 0).data().toString();
    return rows;
  }
  void type(const char* text) { QTest::keyClicks(to(), QString::fromLatin1(text)); }
  void key(Qt::Key k) { QTest::keyClick(popup()->isVisible() ? static_cast<QWidget*>(popup()) : to(), k); }
  std::unique_ptr<Form1> form;
};

TEST_F(RecipientCompletionTest, OffersTheHistoryAndTheBookAndTakesTheChosenOneForTheAddressBeingTyped) {
  putPP1();
  put("PP2.dat", {"yamamoto@example.jp"});
  put("PPad.dat", {"友人", "山田\tyamada@example.jp", "花子\thanako@example.jp"});
  form = start();
  to()->clear();
  to()->setFocus();

  type("y");
  EXPECT_FALSE(popup()->isVisible());
  type("a");
  ASSERT_TRUE(popup()->isVisible());
  EXPECT_EQ(offered(), (QStringList{"yamamoto@example.jp", u("山田 <yamada@example.jp>")}));
  key(Qt::Key_Down);
  key(Qt::Key_Down);
  key(Qt::Key_Return);
  EXPECT_EQ(to()->text(), u("山田 <yamada@example.jp>"));
  EXPECT_FALSE(popup()->isVisible());

  type(", han");  // the next address after a separator
  EXPECT_EQ(offered(), (QStringList{u("花子 <hanako@example.jp>")}));
  key(Qt::Key_Escape);
  EXPECT_FALSE(popup()->isVisible());
  EXPECT_EQ(to()->text(), u("山田 <yamada@example.jp>, han"));

  // A book changed meanwhile (the address book window saves it) is offered as it is now.
  put("PPad.dat", {"友人", "花山\thanayama@example.jp"});
  std::filesystem::last_write_time(folder / "PPad.dat",
                                   std::filesystem::file_time_type::clock::now() + std::chrono::seconds(5));
  type("a");
  EXPECT_EQ(offered(), (QStringList{u("花山 <hanayama@example.jp>")}));
  QTest::mouseClick(popup()->viewport(), Qt::LeftButton, {},
                    popup()->visualRect(popup()->model()->index(0, 0)).center());
  EXPECT_EQ(to()->text(), u("山田 <yamada@example.jp>, 花山 <hanayama@example.jp>"));
}

}  // namespace
}  // namespace parupo
