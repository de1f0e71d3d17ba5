// Form1 offscreen over a temporary program folder, with fake dialogs, clock and mail.
#include <gtest/gtest.h>

#include "app/form1_fixture.h"
#include "mailapi/server_address.h"

namespace parupo {
namespace {

using namespace test;

using Form1Test = Form1Fixture<FakeMail>;

// The settings panel at first start, its files and the end at its close: the end-to-end start test.
TEST_F(Form1Test, FirstStartHidesTheComposePanelAndTheSettingsPanelHasNoMinimumHeight) {
  auto form = start();
  EXPECT_TRUE(the<QGroupBox>(*form, "Frame2")->isHidden());
  EXPECT_FALSE(the<QPushButton>(*form, "Command4")->isVisibleTo(the<QGroupBox>(*form, "Frame2")));  // development only
  form->setWindowSizeTwips(2000, 1000);  // the settings panel has no minimum height, and its size is not kept
  EXPECT_EQ(twips(*form), QSizeF(2055, 2000));
}

// Saved settings shown in the window: the end-to-end start test's round trip (closing saves what the window shows).
TEST_F(Form1Test, ClosingTheSettingsPanelSavesAndTheComposeSizeHasAMinimum) {
  putPP1();
  auto form = start();
  entry(*form, "PopSetup", 0)->trigger();
  const std::string before = file("PP1.dat");
  the<QLineEdit>(*form, "Text2")->setText(u("mail.example.jp"));
  the<QLineEdit>(*form, "Text5")->setText(u("自分♥ <me@example.jp>"));
  entry(*form, "PopSetup", 0)->trigger();  // refused: the panel stays, nothing is saved
  EXPECT_EQ(dialogs.messages, Lines{"「♥」は保存できない文字です。別の文字にしてください。"});
  EXPECT_FALSE(the<QGroupBox>(*form, "Frame1")->isHidden());
  EXPECT_EQ(file("PP1.dat"), before);
  the<QLineEdit>(*form, "Text5")->setText(u("自分 <me@example.jp>"));
  the<QLineEdit>(*form, "Text11")->setText(u("45"));
  const QLineEdit* password = the<QLineEdit>(*form, "Text10");  // dots on the screen, the password in PP1.dat
  EXPECT_EQ(password->displayText().size(), password->text().size());
  EXPECT_FALSE(password->displayText().contains(u("秘密")));
  entry(*form, "PopSetup", 0)->trigger();  // closing the panel saves; the compose size back: the desktop test
  EXPECT_EQ(savedPP1().smtpServer, "mail.example.jp");
  EXPECT_EQ(savedPP1().popPassword, "秘密,です");
  EXPECT_EQ(file("PP4.dat"), "45\r\n");

  form->resize(QSize(50, 60));  // too small from outside snaps back to the compose minimum
  QApplication::processEvents();
  EXPECT_EQ(outer(*form), QSize(137, 221));
}

// Each mark saved from the menus: the end-to-end start test's round trip. The send button's mail by the reply mode:
// the end-to-end send tests; "送信後終了" ends through the end that saves: the send's and the ending tests.
TEST_F(Form1Test, OptionMenusSwitchTheHistoryMenuKeepTheReplyModeAndClearTheBoxes) {
  auto form = start(false);
  entry(*form, "Sup", 8)->trigger();  // history by name: the other history menu shows
  EXPECT_TRUE(entry(*form, "PopSetup", 1)->isVisible());
  EXPECT_FALSE(entry(*form, "PopSetup", 2)->isVisible());
  for (int i : {3, 1, 1}) entry(*form, "Sup2", i)->trigger();  // a click on the checked mode keeps it
  the<QLineEdit>(*form, "Text1")->setText(u("x@example.jp"));
  the<QPlainTextEdit>(*form, "Text4")->setPlainText(u("本文"));
  entry(*form, "Sup", 7)->trigger();  // with the date option on, the subject becomes the date
  entry(*form, "Sup", 0)->trigger();
  EXPECT_EQ(the<QLineEdit>(*form, "Text1")->text(), "");
  EXPECT_EQ(the<QPlainTextEdit>(*form, "Text4")->toPlainText(), "");
  EXPECT_EQ(the<QLineEdit>(*form, "Text3")->text(), u("03/07 14:05"));
  form->close();
  EXPECT_EQ(savedPP1().checkedReplyMode, ReplySendCopy);
}

TEST_F(Form1Test, HistoryMenusAcrossARestartAndPickingAnEntry) {
  put("PP2.dat", {"a@example.jp", "b@example.jp", "c, d@example.jp", "suzuki@example.jp"});
  put("PPad.dat", {"友達", "鈴木一郎\t鈴木 <suzuki@Example.jp>", "佐藤\tb@example.jp\t090", "田中\ta@example.jp"});
  pp1.startupAddress = false;  // no start-up address
  putPP1();
  auto form = start(false);
  // Which slots show and the names they take are the history's own table (compose_rules_test).
  EXPECT_EQ(entry(*form, "Slog2", 1)->text(), u("佐藤"));
  EXPECT_EQ(entry(*form, "Slog2", 3)->text(), u("鈴木一郎"));  // the same address, written with a name
  EXPECT_FALSE(entry(*form, "Slog2", 4)->isVisible());         // no empty rows
  entry(*form, "Slog2", 1)->trigger();                         // by name: the slot's address goes in
  EXPECT_EQ(the<QLineEdit>(*form, "Text1")->text(), u("b@example.jp"));
  EXPECT_EQ(saved("PP2.dat"),
            (Lines{"b@example.jp", "a@example.jp", "c, d@example.jp", "suzuki@example.jp", "", "", "", "", "", ""}));
  the<QLineEdit>(*form, "Text5")->setText(u("c, d@example.jp;x"));
  entry(*form, "Slog", 2)->trigger();  // one's own address: no copy
  EXPECT_TRUE(the<QCheckBox>(*form, "Check1")->isChecked());
  pp1.startupAddress = true;  // the start-up address goes in, and to the top of the history
  putPP1();
  form = start(false);
  EXPECT_EQ(the<QLineEdit>(*form, "Text1")->text(), u("赤@example.jp"));
  EXPECT_EQ(saved("PP2.dat").at(0), "赤@example.jp");
}

// A mail library that refuses the server field it is given, as the real one words it.
struct RefusingMail : FakeMail {
  std::optional<mail::MailError> send(const MailCall& call) override {
    (void)FakeMail::send(call);
    const auto parsed = mail::parseServerAddress(call.server, mail::MailProtocol::Smtp);
    const auto* refused = std::get_if<mail::MailError>(&parsed);
    return refused != nullptr ? std::optional(*refused) : std::nullopt;
  }
};

using Form1PasswordTest = Form1Fixture<RefusingMail>;

// A password written before the scheme, or holding a "://", shows neither in the box nor in error.txt.
TEST_F(Form1PasswordTest, TheErrorBoxAndErrorTxtQuoteTheServerFieldWithoutItsPassword) {
  pp1.receiveFirst = false;
  pp1.checkedReplyMode = ReplyDontSend;
  for (const auto& [field, shown] : {std::pair{"taro:S3cret@smtp://mail.example.jp", "taro:***@smtp://mail.example.jp"},
                                     std::pair{"taro:a://S3cret@mail.example.jp", "taro:***@mail.example.jp"}}) {
    SCOPED_TRACE(field);
    pp1.smtpServer = field;
    putPP1();
    dialogs.messages.clear();
    auto form = start();
    the<QLineEdit>(*form, "Text1")->setText(u("hanako@example.jp"));
    form->Command1_Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find(shown), std::string::npos) << dialogs.messages[0];
    EXPECT_EQ(dialogs.messages[0].find("S3cret"), std::string::npos);
    EXPECT_NE(file("error.txt").find(shown), std::string::npos);
    EXPECT_EQ(file("error.txt").find("S3cret"), std::string::npos);
  }
}
}  // namespace
}  // namespace parupo
