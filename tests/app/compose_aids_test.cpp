// The aids around the compose boxes, on Form1 offscreen with fake dialogs, clock, random and mail.
#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>

#include "app/form1.h"
#include "app/icons.h"
#include "platform/text_file.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

using Lines = std::vector<std::string>;
QString u(const char* text) { return QString::fromUtf8(text); }
QImage picture(const QIcon& icon) { return icon.pixmap(16, 16).toImage(); }

class ComposeAidsTest : public ::testing::Test {
 protected:
  test::TempFolder folder;
  test::FakeDialogs dialogs;
  test::FakeClock clock;
  test::FakeRandom random;
  test::FakeMail mail;
  // A server, reply-to me@, specific address abc, reply mode "コピーを送る", no quitting, no date subject.
  Lines pp1 = {"smtp.example.jp", "me@example.jp", "abc", "", "False", "", "", "", " 1 ", "False", "False",
               " 5220 ", " 4770 ", "True", "False", "True", "False"};
  std::unique_ptr<Form1> form;

  void start() {
    std::string bytes;
    for (const auto& line : pp1) bytes += toCp932(line) + "\r\n";
    test::writeBytes(folder / "PP1.dat", bytes);
    form = std::make_unique<Form1>(Services{dialogs, clock, random, mail, folder.path(), [] {}});
    form->show();
    QApplication::processEvents();
  }
  template <typename T = QWidget>
  T* the(const char* name) const {
    T* control = form->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QLineEdit* box(const char* name) const { return the<QLineEdit>(name); }
  QPlainTextEdit* body() const { return the<QPlainTextEdit>("Text4"); }
  std::string title() const { return form->windowTitle().toStdString(); }
  std::string tip(const char* name) const { return the(name)->toolTip().toStdString(); }
  void click(const char* name) { QTest::mouseClick(the(name), Qt::LeftButton); }
  const test::SendMailCall& send() {
    click("Command1");
    return mail.sends.back();
  }
};

TEST_F(ComposeAidsTest, AnAttachmentIsChosenShownSentUntilDroppedAndACancelChangesNothing) {
  start();
  const std::string page = (folder / "見積書 ①.pdf").string(), empty = (folder / "空.txt").string();
  test::writeBytes(page, std::string(1536, 'x'));
  test::writeBytes(empty, "");
  dialogs.files = {std::nullopt, page, std::nullopt, (folder / "消えた.txt").string(), empty, page};
  QPushButton* button = the<QPushButton>("Command3");
  QAction* dropEntry = the<QAction>("DropAttachment");
  auto attached = [&](const std::string& path) {
    EXPECT_EQ(button->toolTip().toStdString(), path.empty() ? "添付ファイル" : path);
    EXPECT_EQ(picture(button->icon()) == picture(attachmentIcon()), path.empty());
    EXPECT_EQ(dropEntry->isEnabled(), !path.empty());
    EXPECT_EQ(button->accessibleName(), u("添付ファイル"));
  };

  click("Command3");  // cancelled
  EXPECT_EQ(title(), "!ぱるぽ");
  attached("");
  click("Command3");
  EXPECT_EQ(title(), "1 KB");
  attached(page);
  EXPECT_EQ(picture(button->icon()), picture(attachedIcon()));
  the<QAction>("Sup_1")->trigger();  // the menu entry: cancelled again, the attachment stays
  the<QAction>("Sup_1")->trigger();  // a file gone meanwhile: nothing changes
  attached(page);
  EXPECT_EQ(title(), "1 KB");
  const std::string start = (folder / "*.*").string();
  const std::vector<std::pair<std::string, std::string>> asked = {
      {start, "すべてのファイル|*.*|"}, {start, "すべてのファイル|*.*|"}, {page, "すべてのファイル|*.*|"},
      {page, "すべてのファイル|*.*|"}};
  EXPECT_EQ(dialogs.fileDialogs, asked);
  EXPECT_EQ(send().attachment, page);
  EXPECT_EQ(send().attachment, page);  // it stays for later sends, in sight on the button

  click("Command3");
  EXPECT_EQ(title(), "0 KB");
  QTest::mouseClick(form->windowHandle(), Qt::RightButton, {}, button->mapTo(form.get(), button->rect().center()));
  attached("");
  EXPECT_EQ(title(), "!ぱるぽ");  // the size of a dropped file no longer shows
  EXPECT_EQ(send().attachment, "");

  click("Command3");
  send();
  dropEntry->trigger();
  attached("");
  EXPECT_EQ(title(), "送信完了");  // a caption of something else stays
  EXPECT_EQ(send().attachment, "");
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ComposeAidsTest, TheHomeButtonSendsAQuickMessageToTheRecipientAlone) {
  const struct { const char* name; const char* dateOption; std::vector<int> draws; const char* subject; const char* body; } rows[] = {
      {"drawn-subject-and-body", "False", {3, 1}, "帰", "だよん"},
      {"date-option-takes-the-subject", "True", {0, 4}, "03/07 14:05", "ぷにぷに"},
  };
  test::writeBytes(folder / "pigeon2.vbp", "");
  for (const auto& row : rows) {
    pp1[14] = row.dateOption;
    start();
    mail.sends.clear();
    random.ints = row.draws;
    box("Text1")->setText(u("you@example.jp"));
    EXPECT_TRUE(the("Command4")->isVisible()) << row.name;
    click("Command4");
    ASSERT_EQ(mail.sends.size(), 1u) << row.name;
    const auto& sent = mail.sends[0];
    EXPECT_EQ(sent.recipients + "|" + sent.subject + "|" + sent.body, std::string("you@example.jp|") + row.subject + "|" + row.body)
        << row.name;
    EXPECT_TRUE(the<QCheckBox>("Check1")->isChecked()) << row.name;
    EXPECT_TRUE(random.ints.empty()) << row.name;
    EXPECT_EQ(title(), "送信完了") << row.name;
  }
}

TEST_F(ComposeAidsTest, LabelsStampTheDateAndSwitchTheDateSubject) {
  start();
  QAction* dateOption = the<QAction>("Sup_7");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(the(qPrintable(QStringLiteral("Label1_%1").arg(i)))->cursor().shape(), Qt::PointingHandCursor);
  box("Text3")->setText(u("打った件名"));
  click("Label1_0");  // "宛先": nothing
  EXPECT_EQ(box("Text3")->text(), u("打った件名"));
  click("Label1_1");
  EXPECT_TRUE(dateOption->isChecked());
  EXPECT_EQ(box("Text3")->text(), u("03/07 14:05"));
  clock.time.minute = 6;
  click("Label1_1");
  EXPECT_FALSE(dateOption->isChecked());
  EXPECT_TRUE(box("Text3")->text().isEmpty());
  click("Label1_1");
  EXPECT_EQ(box("Text3")->text(), u("03/07 14:06"));

  click("Label1_2");
  EXPECT_EQ(body()->toPlainText(), u("\n03/07 14:06"));
  body()->setPlainText(u("本文"));
  click("Label1_2");
  EXPECT_EQ(send().body, "本文\r\n03/07 14:06");
  body()->undo();  // the stamp is one step to undo
  EXPECT_EQ(body()->toPlainText(), u("本文"));
}

TEST_F(ComposeAidsTest, RecipientTurnsRedOnTheSpecificAddressEnterGoesToTheBodyAndTheBodyCounts) {
  pp1[9] = "True";  // the start-up recipient is the specific address: red from the start
  start();
  QLineEdit* to = box("Text1");
  auto red = [&] { return to->palette().color(QPalette::Text) == QColor(255, 0, 0); };
  EXPECT_TRUE(red());
  to->clear();
  QTest::keyClicks(to, "abc");
  EXPECT_TRUE(red());
  QTest::keyClicks(to, "d");
  EXPECT_EQ(to->palette().color(QPalette::Text), QColor(0, 0, 0));
  box("Text6")->setText(u("abcd"));  // a new specific address recolours at once
  EXPECT_TRUE(red());
  box("Text6")->setText(u("ABCD"));  // case counts
  EXPECT_FALSE(red());
  box("Text6")->clear();
  to->clear();
  EXPECT_TRUE(red());  // an empty specific address makes an empty box red

  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  box("Text3")->setFocus();
  QTest::keyClick(box("Text3"), Qt::Key_Return);
  EXPECT_TRUE(body()->hasFocus());
  EXPECT_TRUE(mail.sends.empty());

  to->setText(u("a@example."));
  box("Text3")->setText(u("件名"));
  body()->setPlainText(u("本文だ"));
  EXPECT_EQ(tip("Text4"), "15");
  to->setText(u("b"));
  EXPECT_EQ(tip("Text4"), "15");  // refreshed when the body changes only
}

TEST_F(ComposeAidsTest, OneLineBoxesTurnLineBreaksIntoBlanks) {
  start();
  SendPort& port = *form;
  port.setRecipient("you@example.jp\r\n");
  port.setSubject("一行目\n二行目\r三");
  EXPECT_EQ(box("Text1")->text(), u("you@example.jp "));
  QApplication::clipboard()->setText(u("貼り\r\n付け"));
  box("Text3")->selectAll();
  box("Text3")->paste();
  EXPECT_EQ(box("Text3")->text(), u("貼り 付け"));
  port.setSubject("一行目\n二行目\r三");
  EXPECT_EQ(send().subject, "一行目 二行目 三");
}

TEST_F(ComposeAidsTest, BodyKeysCreateNaishoTxtAndShiftCtrlAltDecorates) {
  start();
  const std::string created = "\x81\x9a\x81\x9c\x81\x9f\x81\xa1\r\n";  // "★●◆■" in CP932
  QTest::keyClick(body(), Qt::Key_A);
  EXPECT_EQ(test::readBytes(folder / "naisho.txt"), created);
  const Qt::KeyboardModifiers shiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
  const struct { const char* name; const char* naisho; Qt::Key key; Qt::KeyboardModifiers held; const char* decorated; } rows[] = {
      {"two-of-three-do-nothing", "\x81\x99\r\n", Qt::Key_Control, Qt::ShiftModifier, "A、B。C"},
      {"alt-goes-down-last", "\x81\x99\r\n", Qt::Key_Alt, shiftCtrl, "A☆B☆C"},
      {"a-letter-with-all-three-types-nothing", ",\x81\x99\r\n", Qt::Key_X, shiftCtrl | Qt::AltModifier, "ABC"},
  };
  for (const auto& row : rows) {
    test::writeBytes(folder / "naisho.txt", row.naisho);
    body()->setPlainText(u("A、B。C"));
    QTest::keyPress(body(), row.key, row.held);
    EXPECT_EQ(body()->toPlainText().toStdString(), row.decorated) << row.name;
    EXPECT_EQ(test::readBytes(folder / "naisho.txt"), row.naisho) << row.name;  // never rewritten
    QTest::keyRelease(body(), row.key, row.held);
  }
  body()->undo();  // the decoration is one step to undo
  EXPECT_EQ(body()->toPlainText(), u("A、B。C"));
}

}  // namespace
}  // namespace parupo
