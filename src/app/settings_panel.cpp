#include "app/settings_panel.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include "app/caption_frame.h"
#include "core/settings.h"
#include "platform/qt_text.h"
#include "platform/twips_window.h"

namespace parupo {

namespace {

void setTextColour(QWidget* w, QPalette::ColorRole role, const QColor& colour) {
  QPalette pal = w->palette();
  pal.setColor(role, colour);
  w->setPalette(pal);
}

}  // namespace

SettingsPanel::SettingsPanel(QWidget* client, const TwipsWindow& twips) {
  Frame1 = new CaptionFrame(QStringLiteral("初期設定"), client);
  Frame1->setObjectName(QStringLiteral("Frame1"));
  twips.place(Frame1, 60, 60, 4515, 4395);  // over the compose panel
  Frame1->hide();
  placeFields(twips);
  placeLabels(twips);

  setTextColour(Text6, QPalette::Text, QColor(255, 0, 0));
  setTextColour(Label2[2], QPalette::WindowText, QColor(255, 0, 0));
  setTextColour(Text7, QPalette::Text, QApplication::palette("QMenu").color(QPalette::Active, QPalette::WindowText));

  QLineEdit* const order[] = {Text2, Text5, Text6, Text7, Text8, Text9, Text10, Text11};
  for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void SettingsPanel::placeFields(const TwipsWindow& twips) {
  auto field = [&](const char* name, double l, double t, double w, double h) {
    auto* e = new QLineEdit(Frame1);
    e->setObjectName(QString::fromLatin1(name));
    twips.place(e, l, t, w, h);
    return e;
  };

  Text2 = field("Text2", 180, 420, 4155, 255);
  Text5 = field("Text5", 180, 960, 4155, 255);
  Text6 = field("Text6", 180, 1500, 4155, 255);
  Text7 = field("Text7", 180, 2040, 4155, 255);
  Text11 = field("Text11", 180, 2400, 435, 270);
  Text11->setText(QString::fromUtf8(kDefaultRetentionDays));
  Text8 = field("Text8", 180, 3420, 4155, 255);
  Text9 = field("Text9", 180, 3960, 1995, 255);
  Text10 = field("Text10", 2340, 3960, 1995, 255);
  // Shown as dots, so that no one reads the password over the user's shoulder.
  Text10->setEchoMode(QLineEdit::Password);
}

// Each label sits just above its field; the days label to the right of its field.
void SettingsPanel::placeLabels(const TwipsWindow& twips) {
  auto label = [&](const QString& name, const char* text, double l, double t, double w, double h, QLineEdit* buddy) {
    auto* lb = new QLabel(QString::fromUtf8(text), Frame1);
    lb->setObjectName(name);
    twips.place(lb, l, t, w, h);
    if (buddy != nullptr) {
      lb->setBuddy(buddy);
      buddy->setAccessibleName(lb->text());
    }
    return lb;
  };

  Label2[0] = label(QStringLiteral("Label2_0"), "SMPTサーバー", 180, 180, 4155, 210, Text2);
  Label2[1] = label(QStringLiteral("Label2_1"), "返信先アドレス", 180, 720, 4155, 210, Text5);
  Label2[1]->setToolTip(QStringLiteral("自分のアドレスを入れてください"));
  Label3 = label(QStringLiteral("Label3"), "特定メールアドレス（色変更）", 180, 1260, 4155, 210, Text6);
  Label4 = label(QStringLiteral("Label4"), "ダミーメールアドレス", 180, 1800, 4155, 210, Text7);
  Label5 = label(QStringLiteral("Label5"), "日経過したログは削除する", 675, 2430, 3660, 210, Text11);
  Label2[2] = label(QStringLiteral("Label2_2"), "「最初に受信処理を行う」をする場合のみ\n 下記を入力して下さい", 180,
                    2760, 4155, 390, nullptr);
  Label2[3] = label(QStringLiteral("Label2_3"), "POPサーバー", 180, 3180, 4155, 210, Text8);
  Label2[4] = label(QStringLiteral("Label2_4"), "ユーザー名", 180, 3720, 1995, 210, Text9);
  Label2[5] = label(QStringLiteral("Label2_5"), "パスワード", 2340, 3720, 1995, 210, Text10);
}

void SettingsPanel::show(const Settings& st) {
  Text2->setText(q(st.smtpServer));
  Text5->setText(q(st.replyTo));
  Text6->setText(q(st.specificAddress));
  Text7->setText(q(st.dummyAddress));
  Text8->setText(q(st.popServer));
  Text9->setText(q(st.popUser));
  Text10->setText(q(st.popPassword));
  Text11->setText(q(st.retentionDays));
}

void SettingsPanel::readInto(Settings& st) const {
  st.smtpServer = Text2->text().toStdString();
  st.replyTo = Text5->text().toStdString();
  st.specificAddress = Text6->text().toStdString();
  st.dummyAddress = Text7->text().toStdString();
  st.popServer = Text8->text().toStdString();
  st.popUser = Text9->text().toStdString();
  st.popPassword = Text10->text().toStdString();
  st.retentionDays = Text11->text().toStdString();
}

}  // namespace parupo
