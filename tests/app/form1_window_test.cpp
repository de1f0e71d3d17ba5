// Form1 on the offscreen platform over a temporary program folder, with fake dialogs,
// clock and mail library.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "app/form1.h"
#include "platform/text_file.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace parupo {
namespace {

using test::readBytes;
using test::writeBytes;

std::string crlf(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += toCp932(line) + "\r\n";
  return bytes;
}

const std::vector<std::string> kFirstStartPP1 = {
    "", "", "", "", "True", "", "", "", " 0 ", "False", "False", " 5220 ", " 4770 ",
    "True", "False", "True", "False"};

class Form1Test : public ::testing::Test {
 protected:
  test::TempFolder folder;
  test::FakeDialogs dialogs;
  test::FakeClock clock;
  test::FakeRandom random;
  test::FakeMail mail;
  int ended = 0;

  std::unique_ptr<Form1> start() {
    return std::make_unique<Form1>(
        Services{dialogs, clock, random, mail, folder.path(), [this] { ++ended; }});
  }
  std::string file(const std::string& name) const { return readBytes(folder / name); }
  void put(const std::string& name, const std::vector<std::string>& lines) {
    writeBytes(folder / name, crlf(lines));
  }
  // A PP1.dat in the current layout with a server, so that the window starts composing.
  std::vector<std::string> composePP1(const std::string& height, const std::string& width) {
    return {"smtp.example.jp", "me@example.jp", "赤@example.jp", "dummy@example.jp", "False",
            "pop.example.jp",  "山田",          "秘密,です",     " 2 ",               "True",
            "True",            height,          width,           "True",             "True",
            "False",           "True"};
  }
};

int twips(int pixels) { return pixels * 15; }
// The window's outer size in pixels (the offscreen platform draws a thin frame).
QSize outer(const QWidget& w) { return w.frameGeometry().size(); }

TEST_F(Form1Test, FirstStartOpensTheSettingsPanelAndClosingWritesTheDesignSettings) {
  auto form = start();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("!ぱるぽ"));
  EXPECT_TRUE(form->settingsPanelShown());
  EXPECT_FALSE(form->Frame1->isHidden());
  EXPECT_TRUE(form->Frame2->isHidden());
  EXPECT_EQ(form->Frame1->pos(), QPoint(4, 4));  // 60 twips
  EXPECT_EQ(form->windowHeight(), 5220);
  EXPECT_EQ(form->windowWidth(), 4770);
  EXPECT_EQ(form->Text11->text(), QStringLiteral("999"));
  EXPECT_TRUE(form->Text1->text().startsWith('@'));
  EXPECT_TRUE(form->Text3->text().isEmpty());
  EXPECT_FALSE(form->Command4->isVisibleTo(form.get()));
  EXPECT_TRUE(dialogs.messages.empty());

  // The history was brought up to date at the end of start-up.
  std::vector<std::string> history = {form->Text1->text().toStdString()};
  history.resize(10);
  EXPECT_EQ(file("PP2.dat"), crlf(history));
  EXPECT_TRUE(form->Slog[0]->isVisible());
  for (int i = 1; i < 10; ++i) EXPECT_FALSE(form->Slog[i]->isVisible()) << i;
  EXPECT_FALSE(form->PopSetup[1]->isVisible());
  EXPECT_TRUE(form->PopSetup[2]->isVisible());
  EXPECT_FALSE(std::filesystem::exists(folder / "PP1.dat"));

  form->show();
  QApplication::processEvents();
  EXPECT_EQ(outer(*form), QSize(318, 348));

  EXPECT_TRUE(form->close());
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(file("PP1.dat"), crlf(kFirstStartPP1));
  EXPECT_EQ(file("PP4.dat"), "999\r\n");
  struct stat st {};
  ASSERT_EQ(::stat((folder / "PP1.dat").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // The next start reads what was written and writes it back unchanged.
  form.reset();
  auto again = start();
  EXPECT_TRUE(again->settingsPanelShown());
  again->show();
  QApplication::processEvents();
  again->close();
  EXPECT_EQ(file("PP1.dat"), crlf(kFirstStartPP1));
}

TEST_F(Form1Test, SavedSettingsStartInComposeModeAndSurviveByteForByte) {
  const auto pp1 = composePP1(" 6000 ", " 8000 ");
  put("PP1.dat", pp1);
  put("PP4.dat", {"30"});
  const std::string original = file("PP1.dat");

  auto form = start();
  EXPECT_FALSE(form->settingsPanelShown());
  EXPECT_FALSE(form->Frame2->isHidden());
  EXPECT_EQ(form->windowHeight(), 6000);
  EXPECT_EQ(form->windowWidth(), 8000);
  EXPECT_EQ(form->Text2->text(), QStringLiteral("smtp.example.jp"));
  EXPECT_EQ(form->Text6->text(), QStringLiteral("赤@example.jp"));
  EXPECT_EQ(form->Text9->text(), QStringLiteral("山田"));
  EXPECT_EQ(form->Text10->text(), QStringLiteral("秘密,です"));
  EXPECT_EQ(form->Text11->text(), QStringLiteral("30"));
  EXPECT_FALSE(form->Sup[3]->isChecked());
  EXPECT_TRUE(form->Sup[5]->isChecked());
  EXPECT_TRUE(form->Sup[6]->isChecked());
  EXPECT_TRUE(form->Sup[7]->isChecked());
  EXPECT_FALSE(form->Sup[8]->isChecked());
  EXPECT_TRUE(form->Sup[9]->isChecked());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(form->Sup2[i]->isChecked(), i == 2) << i;
  // Subject as the date; the specific address as the start-up recipient.
  EXPECT_EQ(form->Text3->text(), QStringLiteral("03/07 14:05"));
  EXPECT_EQ(form->Text1->text(), QStringLiteral("赤@example.jp"));
  // History by address: menu 1 shows, menu 2 hides.
  EXPECT_TRUE(form->PopSetup[1]->isVisible());
  EXPECT_FALSE(form->PopSetup[2]->isVisible());

  form->show();
  QApplication::processEvents();
  EXPECT_EQ(outer(*form), QSize(533, 400));
  EXPECT_EQ(form->Frame2->size(), QSize((8000 - 240) / 15, 346));  // 5190 twips high
  EXPECT_EQ(form->Text4->size(), QSize(465, 270));

  form->close();
  EXPECT_EQ(file("PP1.dat"), original);
  EXPECT_EQ(file("PP4.dat"), "30\r\n");
}

TEST_F(Form1Test, ShortOrOddSettingsFilesGiveTheMinimumSizeAndNoReplyMode) {
  put("PP1.dat", {"smtp.example.jp", "", "", "", "True", "", "", "", " 7 "});
  put("PP4.dat", {"-3"});
  auto form = start();
  EXPECT_EQ(form->windowHeight(), 3315);
  EXPECT_EQ(form->windowWidth(), 2055);
  for (QAction* item : form->Sup2) EXPECT_FALSE(item->isChecked());
  EXPECT_EQ(form->Text11->text(), QStringLiteral("999"));
  form->close();
  const auto lines = readTextLines(folder / "PP1.dat");
  ASSERT_TRUE(lines.has_value());
  ASSERT_EQ(lines->size(), 17u);
  EXPECT_EQ((*lines)[8], " 0 ");
}

TEST_F(Form1Test, DevelopmentFolderMarksTheSubjectAndShowsTheReturnButton) {
  writeBytes(folder / "pigeon2.vbp", "");
  {
    auto form = start();
    EXPECT_EQ(form->Text3->text(), QStringLiteral("×"));
    EXPECT_TRUE(form->Command4->isVisibleTo(form->Frame2));
  }
  // The date subject of the settings replaces the mark.
  auto pp1 = composePP1(" 5000 ", " 5000 ");
  put("PP1.dat", pp1);
  auto form = start();
  EXPECT_EQ(form->Text3->text(), QStringLiteral("03/07 14:05"));
  EXPECT_TRUE(form->Command4->isVisibleTo(form->Frame2));
}

TEST_F(Form1Test, HistoryFileFillsTheMenusAndTheStartUpRecipientGoesToItsHead) {
  put("PP2.dat", {"a@example.jp", "b@example.jp", "c, d@example.jp", "", "", "", "", "", "",
                  ""});
  put("PPad.dat", {"友達", "佐藤\tb@example.jp\t090", "田中\ta@example.jp"});
  auto pp1 = composePP1(" 5000 ", " 5000 ");
  pp1[9] = "False";  // no start-up address
  pp1[15] = "True";  // history by name
  put("PP1.dat", pp1);

  auto form = start();
  EXPECT_EQ(form->Text1->text(), QStringLiteral("a@example.jp"));
  EXPECT_EQ(form->Slog[2]->text(), QStringLiteral("c, d@example.jp"));
  EXPECT_TRUE(form->Slog[2]->isVisible());
  EXPECT_FALSE(form->Slog[3]->isVisible());
  EXPECT_EQ(form->Slog2[0]->text(), QStringLiteral("田中"));
  EXPECT_EQ(form->Slog2[1]->text(), QStringLiteral("佐藤"));
  EXPECT_EQ(form->mAdrs->count(), 3);
  EXPECT_EQ(form->mAdrs->item(1)->text(), QStringLiteral("佐藤\tb@example.jp\t090"));
  EXPECT_EQ(file("PP2.dat"), crlf({"a@example.jp", "b@example.jp", "c, d@example.jp", "", "",
                                   "", "", "", "", ""}));

  // Picking from the name menu puts the slot's address in, not the name.
  form->Text5->setText(QStringLiteral("me@example.jp"));
  form->Slog2[1]->trigger();
  EXPECT_EQ(form->Text1->text(), QStringLiteral("b@example.jp"));
  EXPECT_FALSE(form->Check1->isChecked());
  EXPECT_EQ(file("PP2.dat"), crlf({"b@example.jp", "a@example.jp", "c, d@example.jp", "", "",
                                   "", "", "", "", ""}));
  EXPECT_EQ(form->Slog[0]->text(), QStringLiteral("b@example.jp"));
  EXPECT_EQ(form->Slog2[0]->text(), QStringLiteral("佐藤"));

  // Picking one's own address turns the copy off.
  form->Text5->setText(QStringLiteral("c, d@example.jp;x"));
  form->Slog[2]->trigger();
  EXPECT_EQ(form->Text1->text(), QStringLiteral("c, d@example.jp"));
  EXPECT_TRUE(form->Check1->isChecked());
  form.reset();

  // With the start-up address option the specific address heads the history.
  pp1[9] = "True";
  put("PP1.dat", pp1);
  auto next = start();
  EXPECT_EQ(next->Text1->text(), QStringLiteral("赤@example.jp"));
  EXPECT_EQ(file("PP2.dat"), crlf({"赤@example.jp", "c, d@example.jp", "b@example.jp",
                                   "a@example.jp", "", "", "", "", "", ""}));
}

TEST_F(Form1Test, ResizeRulesKeepTheMinimumsAndFitTheComposeControls) {
  put("PP1.dat", composePP1(" 5000 ", " 5000 "));
  auto form = start();
  form->show();
  QApplication::processEvents();

  form->setWindowSizeTwips(1000, 1000);
  EXPECT_EQ(form->windowHeight(), 3315);
  EXPECT_EQ(form->windowWidth(), 2055);
  EXPECT_EQ(twips(form->Text4->width()), 1035);
  EXPECT_EQ(twips(form->Text4->height()), 1365);
  EXPECT_EQ(twips(form->Frame2->width()), 2055 - 240);
  EXPECT_EQ(twips(form->Frame2->height()), 3315 - 810);
  EXPECT_EQ(twips(form->Text1->width()), 2055 - 1320);
  EXPECT_EQ(twips(form->Text3->width()), 2055 - 1020);
  QApplication::processEvents();
  EXPECT_EQ(outer(*form), QSize(137, 221));

  // Dragged from outside to a small size: it snaps back the same way.
  form->setWindowSizeTwips(6000, 6000);
  form->resize(QSize(50, 60));
  QApplication::processEvents();
  EXPECT_EQ(form->windowHeight(), 3315);
  EXPECT_EQ(form->windowWidth(), 2055);
  EXPECT_EQ(outer(*form), QSize(137, 221));
  // ... and a larger size becomes the window's own.
  const QSize frame = outer(*form) - form->size();
  form->resize(QSize(400, 300) - frame);
  QApplication::processEvents();
  EXPECT_EQ(form->windowHeight(), 4500);
  EXPECT_EQ(form->windowWidth(), 6000);
  EXPECT_EQ(twips(form->Text4->height()), 4500 - 1950);

  // The settings panel has no minimum height, but the width minimum holds.
  form->SetPop();
  form->setWindowSizeTwips(2000, 1000);
  EXPECT_EQ(form->windowHeight(), 2000);
  EXPECT_EQ(form->windowWidth(), 2055);
  // Sizes that are no sizes are refused.
  form->setWindowHeight(-5);
  form->setWindowWidth(1e30);
  EXPECT_EQ(form->windowHeight(), 2000);
  EXPECT_EQ(form->windowWidth(), 2055);
}

TEST_F(Form1Test, SettingsPanelOpensAtItsSizeAndClosingRestoresTheSizeAndSaves) {
  put("PP1.dat", composePP1(" 8000 ", " 6000 "));
  auto form = start();
  form->show();
  QApplication::processEvents();

  form->PopSetup[0]->trigger();
  EXPECT_TRUE(form->settingsPanelShown());
  EXPECT_TRUE(form->Frame2->isHidden());
  EXPECT_EQ(form->windowHeight(), 5220);
  EXPECT_EQ(form->windowWidth(), 4770);
  QApplication::processEvents();
  EXPECT_EQ(outer(*form), QSize(318, 348));
  EXPECT_FALSE(std::filesystem::exists(folder / "PP4.dat"));

  form->Text2->setText(QStringLiteral("mail.example.jp"));
  form->Text11->setText(QStringLiteral("45"));
  form->PopSetup[0]->trigger();
  EXPECT_FALSE(form->settingsPanelShown());
  EXPECT_EQ(form->windowHeight(), 8000);
  EXPECT_EQ(form->windowWidth(), 6000);
  const auto lines = readTextLines(folder / "PP1.dat");
  ASSERT_TRUE(lines.has_value());
  ASSERT_EQ(lines->size(), 17u);
  EXPECT_EQ((*lines)[0], "mail.example.jp");
  EXPECT_EQ((*lines)[11], " 8000 ");
  EXPECT_EQ((*lines)[12], " 6000 ");
  EXPECT_EQ(file("PP4.dat"), "45\r\n");
  EXPECT_EQ(ended, 0);
}

TEST_F(Form1Test, MenusCarryTheirCaptionsAndTheOptionsTheirCheckMarks) {
  auto form = start();
  const char* const bar[7] = {"設定", "履歴", "履歴", "環境", "び", "あ", "あ2"};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(form->PopSetup[i]->text(), QString::fromUtf8(bar[i])) << i;
    EXPECT_EQ(form->PopSetup[i]->objectName(), QStringLiteral("PopSetup_%1").arg(i));
  }
  EXPECT_FALSE(form->PopSetup[5]->isVisible());
  EXPECT_EQ(form->PopSetup[1]->menu()->actions().size(), 10);
  EXPECT_EQ(form->PopSetup[2]->menu()->actions().size(), 10);
  const char* const options[10] = {"送信内容クリア",   "添付ファイル",       "",
                                   "送信後終了",       "返信先に送信する",   "起動時特定アドレス",
                                   "履歴を保存する",   "件名を日付にする",   "履歴を名称で表示する",
                                   "最初に受信処理を行う"};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(form->Sup[i]->text(), QString::fromUtf8(options[i]));
  EXPECT_TRUE(form->Sup[2]->isSeparator());
  EXPECT_EQ(form->PopSetup[3]->menu()->actions(),
            QList<QAction*>(form->Sup.begin(), form->Sup.end()));
  const char* const modes[4] = {"送らない", "コピーを送る", "ダミーに送る", "別々に送る"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(form->Sup2[i]->text(), QString::fromUtf8(modes[i]));
    EXPECT_FALSE(form->Sup2[i]->isChecked());
  }
  EXPECT_EQ(form->Sup[4]->menu()->actions(),
            QList<QAction*>(form->Sup2.begin(), form->Sup2.end()));

  // A click reverses a check mark once.
  EXPECT_TRUE(form->Sup[3]->isChecked());
  form->Sup[3]->trigger();
  EXPECT_FALSE(form->Sup[3]->isChecked());
  form->Sup[9]->trigger();
  EXPECT_TRUE(form->Sup[9]->isChecked());
  // Other options leave the history menu choice alone; the by-name option switches it.
  EXPECT_TRUE(form->PopSetup[2]->isVisible());
  form->Sup[8]->trigger();
  EXPECT_FALSE(form->Sup[8]->isChecked());
  EXPECT_TRUE(form->PopSetup[1]->isVisible());
  EXPECT_FALSE(form->PopSetup[2]->isVisible());
  form->Sup[8]->trigger();
  EXPECT_FALSE(form->PopSetup[1]->isVisible());
  EXPECT_TRUE(form->PopSetup[2]->isVisible());

  // The reply-to items are exclusive; the checked one stays checked when clicked again.
  form->Sup2[3]->trigger();
  form->Sup2[1]->trigger();
  form->Sup2[1]->trigger();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(form->Sup2[i]->isChecked(), i == 1) << i;

  // Clearing the message: with the date option the subject becomes the date.
  form->Text1->setText(QStringLiteral("x@example.jp"));
  form->Text3->setText(QStringLiteral("件名"));
  form->Text4->setPlainText(QStringLiteral("本文"));
  form->Sup[0]->trigger();
  EXPECT_TRUE(form->Text1->text().isEmpty());
  EXPECT_TRUE(form->Text3->text().isEmpty());
  EXPECT_TRUE(form->Text4->toPlainText().isEmpty());
  form->Sup[7]->trigger();
  form->Text3->setText(QStringLiteral("件名"));
  form->Sup[0]->trigger();
  EXPECT_EQ(form->Text3->text(), QStringLiteral("03/07 14:05"));

  // Entries whose windows come later do nothing and show nothing.
  for (int i : {4, 6}) form->PopSetup[i]->trigger();
  form->Sup[1]->trigger();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_TRUE(form->isHidden());

  // Closing saves the marks.
  form->close();
  const auto lines = readTextLines(folder / "PP1.dat");
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ((*lines)[4], "False");
  EXPECT_EQ((*lines)[8], " 1 ");
  EXPECT_EQ((*lines)[14], "True");
  EXPECT_EQ((*lines)[16], "True");
}

TEST_F(Form1Test, ControlsCarryTheirNamesTextsColoursAndKeyboardOrder) {
  auto form = start();
  struct Expected {
    const char* object;
    const char* accessible;
  };
  const Expected expected[] = {
      {"Frame2", "送信内容"},
      {"Frame1", "初期設定"},
      {"Text1", "宛先"},
      {"Text3", "件名"},
      {"Text4", "本文"},
      {"Check1", "返信先にコピーを送らない場合はチェック"},
      {"Command1", "メッセージ送信"},
      {"Command3", "添付ファイル"},
      {"Command4", "帰"},
      {"Text2", "SMPTサーバー"},
      {"Text5", "返信先アドレス"},
      {"Text6", "特定メールアドレス（色変更）"},
      {"Text7", "ダミーメールアドレス"},
      {"Text11", "日経過したログは削除する"},
      {"Text8", "POPサーバー"},
      {"Text9", "ユーザー名"},
      {"Text10", "パスワード"},
  };
  for (const auto& e : expected) {
    auto* w = form->findChild<QWidget*>(QString::fromLatin1(e.object));
    ASSERT_NE(w, nullptr) << e.object;
    EXPECT_EQ(w->accessibleName(), QString::fromUtf8(e.accessible)) << e.object;
  }
  EXPECT_EQ(form->Label2[2]->text(),
            QStringLiteral("「最初に受信処理を行う」をする場合のみ\n 下記を入力して下さい"));
  EXPECT_EQ(form->Label2[1]->toolTip(), QStringLiteral("自分のアドレスを入れてください"));
  EXPECT_EQ(form->Command1->toolTip(), QStringLiteral("メッセージ送信"));
  EXPECT_EQ(form->Command3->toolTip(), QStringLiteral("添付ファイル"));
  EXPECT_TRUE(form->Command1->text().isEmpty());
  EXPECT_FALSE(form->Command1->icon().isNull());
  EXPECT_FALSE(form->Command3->icon().isNull());
  EXPECT_FALSE(form->windowIcon().isNull());
  EXPECT_TRUE(form->Check1->text().isEmpty());
  EXPECT_TRUE(form->Command2->isHidden());
  EXPECT_TRUE(form->File1->isHidden());
  EXPECT_TRUE(form->mAdrs->isHidden());

  EXPECT_EQ(form->Text6->palette().color(QPalette::Text), QColor(255, 0, 0));
  EXPECT_EQ(form->Label2[2]->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  for (QWidget* w : {static_cast<QWidget*>(form->Text1), static_cast<QWidget*>(form->Text3),
                     static_cast<QWidget*>(form->Text4)}) {
    EXPECT_EQ(QFontInfo(w->font()).family(), QStringLiteral("IPAGothic")) << w->objectName().toStdString();
    EXPECT_EQ(w->font().pointSize(), 9);
  }

  // Design geometry in pixels at 96 dpi (15 twips each).
  EXPECT_EQ(form->Text1->geometry().topLeft(), QPoint(64, 16));
  EXPECT_EQ(form->Command1->geometry(), QRect(8, 128, 29, 29));
  EXPECT_EQ(form->Text10->geometry(), QRect(156, 264, 133, 17));
  EXPECT_EQ(form->Frame1->size(), QSize(301, 293));

  auto order = [&](std::vector<QWidget*> chain) {
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
      QWidget* next = chain[i]->nextInFocusChain();
      while (next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
      EXPECT_EQ(next, chain[i + 1]) << chain[i]->objectName().toStdString();
    }
  };
  order({form->Text1, form->Text3, form->Text4, form->Command1});
  order({form->Text2, form->Text5, form->Text6, form->Text7, form->Text8, form->Text9,
         form->Text10, form->Text11});
}

TEST_F(Form1Test, ASettingsFileThatCannotBeWrittenIsReported) {
  std::filesystem::create_directory(folder / "PP1.dat");  // in the way of the file
  auto form = start();
  EXPECT_TRUE(form->settingsPanelShown());
  form->close();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find("PP1.dat"), std::string::npos);
  EXPECT_EQ(file("PP4.dat"), "999\r\n");
  EXPECT_EQ(ended, 1);
}

TEST_F(Form1Test, SendButtonSendsWhatTheWindowHolds) {
  auto pp1 = composePP1(" 5000 ", " 5000 ");
  pp1[4] = "False";  // stay after the send
  pp1[8] = " 0 ";    // no copy
  pp1[9] = "False";
  pp1[10] = "False";
  pp1[14] = "False";
  pp1[16] = "False";
  put("PP1.dat", pp1);
  auto form = start();
  form->Text1->setText(QStringLiteral("you@example.jp"));
  form->Text3->setText(QStringLiteral("こんにちは"));
  form->setBodyText("一行目\r\n二行目");
  EXPECT_EQ(form->bodyText(), "一行目\r\n二行目");

  form->show();
  QTest::mouseClick(form->Command1, Qt::LeftButton);
  ASSERT_EQ(mail.sends.size(), 1u);
  EXPECT_EQ(mail.sends[0].server, "smtp.example.jp");
  EXPECT_EQ(mail.sends[0].recipients, "you@example.jp");
  EXPECT_EQ(mail.sends[0].replyTo, "me@example.jp");
  EXPECT_EQ(mail.sends[0].subject, "こんにちは");
  EXPECT_EQ(mail.sends[0].body, "一行目\r\n二行目");
  EXPECT_EQ(form->windowTitle(), QStringLiteral("送信完了"));
  EXPECT_TRUE(form->Command1->isEnabled());
  EXPECT_EQ(form->Slog[0]->text(), QStringLiteral("you@example.jp"));
  EXPECT_EQ(ended, 0);
}

// The mail call asks the window to close while it runs: the close waits for the send.
class ClosingMail : public test::FakeMail {
 public:
  QWidget* window = nullptr;
  bool closedDuringCall = false;
  int* ended = nullptr;
  std::string SendMail(std::string& server, std::string& recipients, std::string& replyTo,
                       std::string& subject, std::string& body,
                       std::string& attachmentPath) override {
    QMetaObject::invokeMethod(window, "close", Qt::QueuedConnection);
    QThread::msleep(100);
    closedDuringCall = *ended > 0;
    return FakeMail::SendMail(server, recipients, replyTo, subject, body, attachmentPath);
  }
};

TEST_F(Form1Test, CloseRequestDuringASendWaitsForTheSendToEnd) {
  auto pp1 = composePP1(" 5000 ", " 5000 ");
  pp1[4] = "False";
  pp1[8] = " 0 ";
  pp1[9] = "False";
  pp1[16] = "False";
  put("PP1.dat", pp1);
  ClosingMail closing;
  closing.ended = &ended;
  auto form = std::make_unique<Form1>(
      Services{dialogs, clock, random, closing, folder.path(), [this] { ++ended; }});
  closing.window = form.get();
  form->show();
  form->Text1->setText(QStringLiteral("you@example.jp"));
  form->Command1_Click();
  EXPECT_FALSE(closing.closedDuringCall);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("送信完了"));
  EXPECT_EQ(ended, 0);
  QApplication::processEvents();
  EXPECT_EQ(ended, 1);
  EXPECT_TRUE(form->isHidden());
  const auto lines = readTextLines(folder / "PP2.dat");
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ((*lines)[0], "you@example.jp");
}

}  // namespace
}  // namespace parupo
