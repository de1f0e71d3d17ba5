#include "app/compose_panel.h"

#include <algorithm>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QValidator>

#include "app/caption_frame.h"
#include "platform/fonts.h"
#include "platform/qt_text.h"
#include "app/icons.h"
#include "app/window_size.h"
#include "platform/key_actions.h"
#include "platform/text_box.h"
#include "platform/twips_window.h"
#include "send/compose_rules.h"

namespace parupo {

namespace {

// The body box holds its line breaks as LF.
QString bodyText(const std::string& text) {
  return q(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

const char* const kAttachmentTip = "添付ファイル";

// Keeps a box to one line, whatever is typed, pasted or set: a line break becomes a
// blank, so the recipient and subject never split a log line or a header.
class OneLine final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    if (input.contains(QLatin1Char('\r')) || input.contains(QLatin1Char('\n')))
      input = QString::fromStdString(oneLine(input.toStdString()));
    return Acceptable;
  }
};

}  // namespace

ComposePanel::ComposePanel(QWidget* client, const TwipsWindow& twips) {
  Frame2 = new CaptionFrame(QStringLiteral("送信内容"), client);
  Frame2->setObjectName(QStringLiteral("Frame2"));
  twips.place(Frame2, 60, 60, 4515, 2475);
  placeBoxes(twips);
  placeButtons(twips);
  linkLabelsAndKeyboardOrder();
}

void ComposePanel::placeBoxes(const TwipsWindow& twips) {
  const QFont gothic = gothicFont();
  const char* const labels[3] = {"宛先", "件名", "本文"};
  for (int i = 0; i < 3; ++i) {
    Label1[i] = new QLabel(QString::fromUtf8(labels[i]), Frame2);
    Label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
    twips.place(Label1[i], 120, 300 + 360 * i, 360, 180);
    Label1[i]->setCursor(Qt::PointingHandCursor);  // a click on a label does something
  }

  Command4 = new QPushButton(QStringLiteral("帰"), Frame2);
  Command4->setObjectName(QStringLiteral("Command4"));
  Command4->setAccessibleName(QStringLiteral("帰"));
  twips.place(Command4, 120, 240, 435, 315);
  Command4->hide();

  Check1 = new QCheckBox(Frame2);  // the box alone, no text beside it
  Check1->setObjectName(QStringLiteral("Check1"));
  Check1->setToolTip(QStringLiteral("返信先にコピーを送らない場合はチェック"));
  Check1->setAccessibleName(Check1->toolTip());
  twips.place(Check1, 660, 240, 255, 255);

  Text1 = new QLineEdit(Frame2);
  Text1->setObjectName(QStringLiteral("Text1"));
  Text1->setFont(gothic);
  twips.place(Text1, 960, 240, 3435, 270);

  Text3 = new QLineEdit(Frame2);
  Text3->setObjectName(QStringLiteral("Text3"));
  Text3->setFont(gothic);
  twips.place(Text3, 660, 600, 3735, 270);

  Text4 = new QPlainTextEdit(Frame2);
  Text4->setObjectName(QStringLiteral("Text4"));
  Text4->setFont(gothic);
  Text4->setTabChangesFocus(true);
  twips.place(Text4, 660, 1020, 3735, 1335);

  for (QLineEdit* box : {Text1, Text3}) box->setValidator(new OneLine(box));
}

void ComposePanel::placeButtons(const TwipsWindow& twips) {
  // Picture buttons: a person reads their tooltip.
  auto iconButton = [&](const char* name, const QIcon& icon, const char* tip, double top) {
    auto* b = new QPushButton(Frame2);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(icon);
    b->setIconSize(QSize(16, 16));
    b->setToolTip(QString::fromUtf8(tip));
    b->setAccessibleName(b->toolTip());
    twips.place(b, 120, top, 435, 435);
    return b;
  };
  Command3 = iconButton("Command3", attachmentIcon(), kAttachmentTip, 1380);
  Command3->setContextMenuPolicy(Qt::CustomContextMenu);  // a right click drops the attachment
  Command1 = iconButton("Command1", sendIcon(), "メッセージ送信", 1920);
  for (QPushButton* b : {Command1, Command3, Command4}) clickOnEnter(b);  // Enter presses them, as Space does
}

void ComposePanel::linkLabelsAndKeyboardOrder() {
  Label1[0]->setBuddy(Text1);
  Label1[1]->setBuddy(Text3);
  Label1[2]->setBuddy(Text4);
  Text1->setAccessibleName(Label1[0]->text());
  Text3->setAccessibleName(Label1[1]->text());
  Text4->setAccessibleName(Label1[2]->text());

  // Keyboard order: recipient, subject, body, send; then the attachment and the box.
  QWidget::setTabOrder(Text1, Text3);
  QWidget::setTabOrder(Text3, Text4);
  QWidget::setTabOrder(Text4, Command1);
  QWidget::setTabOrder(Command1, Command3);
  QWidget::setTabOrder(Command3, Check1);
}

std::string ComposePanel::recipient() const { return Text1->text().toStdString(); }
void ComposePanel::setRecipient(const std::string& text) { setBoxText(Text1, q(text)); }
std::string ComposePanel::subject() const { return Text3->text().toStdString(); }
void ComposePanel::setSubject(const std::string& text) { setBoxText(Text3, q(text)); }

std::string ComposePanel::body() const {
  return Text4->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
}

void ComposePanel::setBody(const std::string& text) { Text4->setPlainText(bodyText(text)); }

void ComposePanel::appendBody(const std::string& text) {
  QTextCursor end(Text4->document());
  end.movePosition(QTextCursor::End);
  end.insertText(bodyText(text));
}

void ComposePanel::replaceBody(const std::string& text) {
  const int position = Text4->textCursor().position();
  QTextCursor all(Text4->document());
  all.select(QTextCursor::Document);
  all.insertText(bodyText(text));
  QTextCursor cursor = Text4->textCursor();
  cursor.setPosition(std::min(position, Text4->document()->characterCount() - 1));
  Text4->setTextCursor(cursor);
}

void ComposePanel::showAttachment(const std::string& path) {
  const bool attached = !path.empty();
  Command3->setIcon(attached ? attachedIcon() : attachmentIcon());
  // The accessible name stays; a screen reader reads the tooltip as the description.
  Command3->setToolTip(attached ? q(path) : QString::fromUtf8(kAttachmentTip));
}

void ComposePanel::markRecipient(bool specific) {
  QPalette palette = Text1->palette();
  palette.setColor(QPalette::Text, specific ? QColor(255, 0, 0) : QColor(0, 0, 0));
  Text1->setPalette(palette);
}

bool ComposePanel::noCopy() const { return Check1->isChecked(); }
void ComposePanel::setNoCopy(bool checked) { Check1->setChecked(checked); }

void ComposePanel::fit(const ComposeLayout& layout, const TwipsWindow& twips) {
  if (layout.frameHeight) twips.setHeight(Frame2, *layout.frameHeight);
  if (layout.bodyHeight) twips.setHeight(Text4, *layout.bodyHeight);
  if (const auto& w = layout.widths) {
    twips.setWidth(Frame2, w->frame);
    twips.setWidth(Text1, w->recipient);
    twips.setWidth(Text3, w->subject);
    twips.setWidth(Text4, w->body);
  }
}

}  // namespace parupo
