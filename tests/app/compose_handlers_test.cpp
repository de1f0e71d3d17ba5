// The aids around the compose boxes, on Form1 offscreen with fake dialogs, clock, random and mail.
#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>

#include "app/form1_fixture.h"
#include "app/icons.h"

namespace parupo {
namespace {

using test::u;
QImage picture(const QIcon& icon) { return icon.pixmap(16, 16).toImage(); }

class ComposeHandlersTest : public test::Form1Fixture<test::FakeMail> {
 protected:
  // A server, reply-to me@, specific address abc, no quitting, no date subject, no mail check.
  ComposeHandlersTest() {
    pp1 = {
        .smtpServer = "smtp.example.jp", .replyTo = "me@example.jp", .specificAddress = "abc", .quitAfterSend = false};
  }
  std::unique_ptr<Form1> form;

  void start() {
    putPP1();
    form = Form1Fixture::start();
  }
  template <typename T = QWidget>
  T* the(const char* name) const {
    return test::the<T>(*form, name);
  }
  QLineEdit* box(const char* name) const { return the<QLineEdit>(name); }
  QPlainTextEdit* body() const { return the<QPlainTextEdit>("Text4"); }
  void click(const char* name) { QTest::mouseClick(the(name), Qt::LeftButton); }
  const MailCall& send() {
    click("Command1");
    return mail.sends.back();
  }
};

TEST_F(ComposeHandlersTest, AnAttachmentIsChosenShownSentUntilDroppedAndACancelChangesNothing) {
  start();
  const std::string page = (folder / "見積書 ①.pdf").string();
  test::writeBytes(page, std::string(1536, 'x'));
  dialogs.files = {std::nullopt, page, (folder / "消えた.txt").string(), page};
  QPushButton* button = the<QPushButton>("Command3");
  QAction* dropEntry = the<QAction>("DropAttachment");
  auto attached = [&](const std::string& path) {
    if (!path.empty()) {
      EXPECT_EQ(button->toolTip().toStdString(), path);
    }  // a literal tooltip otherwise
    EXPECT_EQ(picture(button->icon()), picture(path.empty() ? attachmentIcon() : attachedIcon()));
    EXPECT_EQ(dropEntry->isEnabled(), !path.empty());
  };

  click("Command3");                 // cancelled
  click("Command3");                 // its size in the caption: the end-to-end send test
  the<QAction>("Sup_1")->trigger();  // the menu entry: a file gone meanwhile changes nothing
  attached(page);
  QTest::mouseClick(form->windowHandle(), Qt::RightButton, {}, button->mapTo(form.get(), button->rect().center()));
  attached("");
  EXPECT_EQ(form->windowTitle(), u("!ぱるぽ"));  // the size of a dropped file no longer shows
  // The home folder first, never the program's folder with the settings; a cancel leaves it.
  EXPECT_EQ(dialogs.fileDialogs.at(0).first, QDir::homePath().toStdString());
  EXPECT_EQ(dialogs.fileDialogs.at(1).first, QDir::homePath().toStdString());
  EXPECT_EQ(dialogs.fileDialogs.at(2).first, page);

  click("Command3");
  EXPECT_EQ(send().attachment, page);
  EXPECT_EQ(send().attachment, page);             // it stays for later sends, in sight on the button
  dropEntry->trigger();                           // as the right click above
  EXPECT_EQ(form->windowTitle(), u("送信完了"));  // a caption of something else stays
  EXPECT_EQ(send().attachment, "");
}

// Drops as the window gets them: to the widget under the point that takes drops, else the window.
TEST_F(ComposeHandlersTest, AFileDroppedAnywhereIsAttachedAsTheClipButtonDoesAndATextGoesIntoItsBox) {
  start();
  const std::string page = (folder / "見積書.pdf").string(), other = (folder / "別.txt").string();
  test::writeBytes(page, std::string(2048, 'x'));
  test::writeBytes(other, "");
  std::filesystem::create_directory(folder / "フォルダ");
  const auto files = [](const std::vector<std::string>& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const std::string& path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
    data->setUrls(urls);
    data->setText(QStringLiteral("dragged"));  // as file managers also offer the paths as text
    return data;
  };
  auto text = std::make_unique<QMimeData>();
  text->setText(u("挿入"));
  struct Row {
    const char* name;
    const char* onto;
    std::unique_ptr<QMimeData> data;
    std::string attached, message;
  };
  Row rows[] = {
      {"one-file-on-a-label", "Label1_0", files({page}), page, ""},
      {"several-files", "Command1", files({other, page}), page, "添付できるファイルは一つだけです。"},
      {"a-folder", "Text1", files({(folder / "フォルダ").string()}), page, "添付できるファイルは一つだけです。"},
      {"a-file-gone-meanwhile", "Text3", files({(folder / "消えた.txt").string()}), page, ""},
      {"one-file-on-the-body", "Text4", files({other}), other, ""},
      {"a-text-on-the-subject", "Text3", std::move(text), other, ""},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.name);
    dialogs.messages.clear();
    QWidget* onto = the(row.onto);
    const QPoint point = onto->mapTo(form.get(), onto->rect().center());
    QWidget* target = form->childAt(point);
    while (!target->isWindow() && !target->acceptDrops()) target = target->parentWidget();
    const QPoint at = target->mapFrom(form.get(), point);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, row.data.get(), Qt::LeftButton, {});
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, row.data.get(), Qt::LeftButton, {});
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, row.data.get(), Qt::LeftButton, {});
    for (QEvent* e : std::initializer_list<QEvent*>{&enter, &move, &drop}) QApplication::sendEvent(target, e);
    EXPECT_TRUE(drop.isAccepted());
    QApplication::processEvents();  // handled once the drag has ended
    EXPECT_EQ(the<QPushButton>("Command3")->toolTip().toStdString(), row.attached);
    EXPECT_EQ(dialogs.messages,
              row.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.message});
  }
  EXPECT_EQ(box("Text3")->text().toStdString(), "挿入");
  EXPECT_EQ(body()->toPlainText().toStdString(), "");
  EXPECT_EQ(form->windowTitle().toStdString(), "0 KB");
  EXPECT_TRUE(the<QAction>("DropAttachment")->isEnabled());
  click("Command3");  // the dialog starts where the last file came from
  EXPECT_EQ(dialogs.fileDialogs.back().first, other);
  EXPECT_EQ(send().attachment, other);
}

TEST_F(ComposeHandlersTest, TheHomeButtonSendsAQuickMessageToTheRecipientAlone) {
  test::writeBytes(folder / "pigeon2.vbp", "");  // the development folder
  start();
  random.ints = {0, 4};
  box("Text1")->setText(u("you@example.jp"));
  click("Command4");
  ASSERT_EQ(mail.sends.size(), 1u);
  test::expectSent(mail.sends[0], {.recipients = "you@example.jp", .subject = "カエル", .body = "ぷにぷに"});
  EXPECT_TRUE(the<QCheckBox>("Check1")->isChecked());
}

TEST_F(ComposeHandlersTest, LabelsStampTheDateAndSwitchTheDateSubject) {
  start();
  box("Text3")->setText(u("打った件名"));
  click("Label1_1");  // the subject shows whether the date option is on
  EXPECT_EQ(box("Text3")->text(), u("03/07 14:05"));
  click("Label1_1");
  EXPECT_EQ(box("Text3")->text(), "");
  body()->setPlainText(u("本文"));
  click("Label1_2");  // the stamp itself: the end-to-end desktop test
  body()->undo();     // the stamp is one step to undo
  EXPECT_EQ(body()->toPlainText(), u("本文"));
}

TEST_F(ComposeHandlersTest, RecipientTurnsRedOnTheSpecificAddressEnterGoesToTheBodyAndTheBodyCounts) {
  pp1.startupAddress = true;  // the start-up recipient is the specific address: red from the start
  start();
  QLineEdit* to = box("Text1");
  auto red = [&] { return to->palette().color(QPalette::Text) == QColor(255, 0, 0); };
  EXPECT_TRUE(red());
  to->clear();
  QTest::keyClicks(to, "abcd");
  EXPECT_FALSE(red());
  box("Text6")->setText(u("abcd"));  // a new specific address recolours at once
  EXPECT_TRUE(red());

  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  box("Text3")->setFocus();
  QTest::keyClick(box("Text3"), Qt::Key_Return);
  EXPECT_TRUE(body()->hasFocus());
  EXPECT_TRUE(mail.sends.empty());

  to->setText(u("a@example."));
  box("Text3")->setText(u("件名"));
  body()->setPlainText(u("本文だ"));
  EXPECT_EQ(body()->toolTip(), u("15"));
}

TEST_F(ComposeHandlersTest, BodyKeysCreateNaishoTxtAndShiftCtrlAltDecorates) {
  start();
  QTest::keyClick(body(), Qt::Key_A);
  EXPECT_EQ(test::readBytes(folder / "naisho.txt"), test::cp932("★●◆■\r\n"));
  const Qt::KeyboardModifiers shiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
  const struct {
    const char* name;
    std::string naisho;
    Qt::Key key;
    Qt::KeyboardModifiers held;
    const char* decorated;
  } rows[] = {
      {"two-of-three-do-nothing", test::cp932("☆\r\n"), Qt::Key_Control, Qt::ShiftModifier, "A、B。C"},
      {"shift-last-with-alt-held-as-meta", test::cp932("☆\r\n"), Qt::Key_Shift, Qt::ControlModifier | Qt::MetaModifier,
       "A☆B☆C"},
      {"a-letter-with-all-three-types-nothing", test::cp932(",☆\r\n"), Qt::Key_X, shiftCtrl | Qt::AltModifier, "ABC"},
      {"a-blank-first-line-is-no-symbol", test::cp932("  \r\n☆\r\n"), Qt::Key_Shift,
       Qt::ControlModifier | Qt::MetaModifier, "ABC"},
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

// Pasted or handed in by another window, line breaks become blanks in one-line boxes (rows: ComposeRules).
TEST_F(ComposeHandlersTest, ThePasteAndTextFromAnotherWindowGoIntoOneLineBoxesOnOneLine) {
  start();
  QApplication::clipboard()->setText(u("貼り\r\n付け"));
  box("Text3")->selectAll();
  box("Text3")->paste();
  EXPECT_EQ(box("Text3")->text(), u("貼り 付け"));
  form->setRecipient("you@example.jp\r\n");
  EXPECT_EQ(box("Text1")->text(), u("you@example.jp "));
  form->setBody("一行目\r\n二行目\r");
  EXPECT_EQ(send().body, "一行目\r\n二行目\r\n");
}

}  // namespace
}  // namespace parupo
