// How the main window looks and takes text: the panel captions in their frame line, and
// text committed by an input method.
#include <gtest/gtest.h>

#include <QtWidgets>

#include "app/form1_fixture.h"

namespace parupo {
namespace {

using test::the;
using test::u;

// The reply-to mode "コピーを送る", the subject as typed.
class LookTest : public test::Form1Fixture<test::FakeMail> {
 protected:
  void SetUp() override {
    pp1[8] = " 1 ";
    pp1[14] = "False";
    put("PP1.dat", pp1);
  }
};

// What the panel looks like on screen: the top frame line is the first row that is not
// background at the right end; the caption's ink lies above and below that row; no
// control inside reaches up to it.
void expectCaptionInFrameLine(QGroupBox* frame) {
  SCOPED_TRACE(frame->title().toStdString());
  const QImage image = frame->grab().toImage();
  const QRgb background = image.pixel(image.width() - 3, 0);
  int line = 0;
  while (line < image.height() / 2 && image.pixel(image.width() - 3, line) == background) ++line;
  ASSERT_GT(line, 0);
  ASSERT_LT(line, image.height() / 2);

  const int captionWidth = frame->fontMetrics().horizontalAdvance(frame->title());
  int top = image.height(), bottom = -1, firstInk = image.width();
  for (int y = 0; y < image.height() / 4; ++y) {
    for (int x = 1; x < captionWidth + 20 && x < image.width() / 2; ++x) {
      if (y == line || qGray(image.pixel(x, y)) > 128) continue;  // ink is dark, off the line
      top = std::min(top, y), bottom = std::max(bottom, y), firstInk = std::min(firstInk, x);
    }
  }
  EXPECT_LT(top, line);
  EXPECT_GT(bottom, line);
  EXPECT_NE(image.pixel(firstInk - 2, line), image.pixel(image.width() - 3, line));  // the caption cuts the line

  for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isVisibleTo(frame)) {
      EXPECT_GT(child->geometry().top(), line + 1) << child->objectName().toStdString();
    }
  }
}

TEST_F(LookTest, PanelCaptionsSitInTheirFrameLineAboveEveryControl) {
  auto form = start();
  expectCaptionInFrameLine(the<QGroupBox>(*form, "Frame2"));
  form->findChild<QAction*>(QStringLiteral("PopSetup_0"))->trigger();  // "設定"
  QApplication::processEvents();
  ASSERT_TRUE(form->settingsPanelShown());
  expectCaptionInFrameLine(the<QGroupBox>(*form, "Frame1"));
}

// The real input methods (ibus, fcitx5) cannot run here; what they hand the box is the
// same event: first the text being composed, then the committed text.
void typeWithInputMethod(QWidget* box, const QString& reading, const QString& committed) {
  box->setFocus();
  QInputMethodEvent composing(reading, {});
  QApplication::sendEvent(box, &composing);
  QInputMethodEvent commit;
  commit.setCommitString(committed);
  QApplication::sendEvent(box, &commit);
}

TEST_F(LookTest, TextCommittedByAnInputMethodArrivesInTheBoxesAndIsSent) {
  auto form = start();
  auto* recipient = the<QLineEdit>(*form, "Text1");
  auto* subject = the<QLineEdit>(*form, "Text3");
  auto* body = the<QPlainTextEdit>(*form, "Text4");
  for (QWidget* box : {static_cast<QWidget*>(recipient), static_cast<QWidget*>(subject), static_cast<QWidget*>(body)})
    EXPECT_TRUE(box->testAttribute(Qt::WA_InputMethodEnabled)) << box->objectName().toStdString();
  recipient->clear();
  subject->clear();
  typeWithInputMethod(recipient, u("あか"), u("赤"));
  EXPECT_EQ(form->recipient(), "赤");  // the reading never was the box's text
  recipient->insert(u("@example.jp"));
  typeWithInputMethod(subject, u("かいぎ"), u("会議"));
  typeWithInputMethod(body, u("やまだ"), u("山田様"));
  form->Command1_Click();
  ASSERT_EQ(mail.sends.size(), 1u);
  EXPECT_EQ(mail.sends[0].subject + "|" + mail.sends[0].body, "会議|山田様");
  EXPECT_EQ(mail.sends[0].recipients.substr(0, 14), "赤@example.jp");
}

// What scripts/setup installs with the program: Qt's plugins for ibus and fcitx5.
TEST(InputMethods, TheIbusAndFcitx5PluginsAreInstalled) {
  const QDir plugins(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforminputcontexts"));
  for (const char* plugin : {"libibusplatforminputcontextplugin.so", "libfcitx5platforminputcontextplugin.so"})
    EXPECT_TRUE(plugins.exists(QString::fromLatin1(plugin))) << plugins.path().toStdString() << "/" << plugin;
}

}  // namespace
}  // namespace parupo
