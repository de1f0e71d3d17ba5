// At home on a Japanese desktop: Qt's own words in Japanese and one font (the test program loads both as the
// program does), keys that reach what the mouse does, one press per press. Form1 offscreen with fakes.
#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>

#include "app/form1_fixture.h"

namespace parupo {
namespace {

using namespace test;

// The input box's buttons are the message box's standard buttons.
TEST(QtOwnWords, BoxesTextMenusAndTheFileDialogSpeakJapaneseInTheProgramsFont) {
  QMessageBox box(QMessageBox::Warning, "", "", QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box.button(QMessageBox::Yes)->text(), u("はい(&Y)"));
  EXPECT_EQ(box.button(QMessageBox::No)->text(), u("いいえ(&N)"));
  QFileDialog files;
  files.setOption(QFileDialog::DontUseNativeDialog);
  auto* buttons = files.findChild<QDialogButtonBox*>();
  ASSERT_NE(buttons, nullptr);
  EXPECT_EQ(buttons->button(QDialogButtonBox::Open)->text(), u("開く(&O)"));
  EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), u("キャンセル"));
  QLineEdit edit;
  std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  EXPECT_EQ(menu->actions().front()->text().section(QLatin1Char('\t'), 0, 0), u("元に戻す(&U)"));
  EXPECT_EQ(QFontInfo(menu->font()).family(), u("IPAPGothic"));
  EXPECT_EQ(QFontInfo(QToolTip::font()).family(), u("IPAPGothic"));
}

using Desktop = Form1Fixture<FakeMail>;

// Typing in front of the domain, one stamp per double-click and F10: the end-to-end desktop test.
TEST_F(Desktop, EnterPressesTheFocusedButtonOnceAndDeleteDropsTheAttachment) {
  putPP1();
  auto form = start();
  auto* send = the<QPushButton>(*form, "Command1");
  const struct {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers held;
  } enters[] = {{"return", Qt::Key_Return, Qt::NoModifier}, {"keypad", Qt::Key_Enter, Qt::KeypadModifier}};
  for (const auto& enter : enters) {
    SCOPED_TRACE(enter.name);
    mail.sends.clear();
    QTest::keyClick(send, enter.key, enter.held);
    QKeyEvent held(QEvent::KeyPress, enter.key, enter.held, QString(), true);
    QApplication::sendEvent(send, &held);  // a held Enter repeats nothing
    EXPECT_EQ(mail.sends.size(), 1u);
  }

  auto* attach = the<QPushButton>(*form, "Command3");
  dialogs.files = {(folder / "PP1.dat").string()};
  QTest::keyClick(attach, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(attach->toolTip().toStdString(), (folder / "PP1.dat").string());
  QTest::keyClick(attach, Qt::Key_Delete);
  EXPECT_EQ(attach->toolTip(), u("添付ファイル"));
}

TEST_F(Desktop, TheDummyAddressStopWithTheSettingsPanelOpenKeepsTheComposeSize) {
  pp1.dummyAddress = "";  // "ダミーに送る" without a dummy address
  putPP1();
  auto form = start();
  entry(*form, "PopSetup", 0)->trigger();
  form->setRecipient("a@example.jp");
  EXPECT_EQ(form->send(), SendOutcome::NotSent);  // the box, and the panel that is open already
  entry(*form, "PopSetup", 0)->trigger();
  EXPECT_EQ(twips(*form), QSizeF(8000, 6000));
  EXPECT_EQ(savedPP1().height, 6000);
}

}  // namespace
}  // namespace parupo
