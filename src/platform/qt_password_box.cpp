#include "platform/qt_password_box.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt_text.h"

namespace parupo {

std::optional<PasswordAnswer> QtPasswordBox::ask(const std::string& account, bool keyringAnswers,
                                                 const std::string& note) {
  QDialog dialog(parent_ && parent_->isVisible() ? parent_->window() : nullptr);
  dialog.setObjectName(QStringLiteral("PasswordBox"));
  dialog.setWindowTitle(q(kTitle));
  auto* layout = new QVBoxLayout(&dialog);
  auto* prompt = new QLabel(q("パスワードを入力してください（" + account + "）"), &dialog);
  prompt->setTextFormat(Qt::PlainText);
  auto* edit = new QLineEdit(&dialog);
  edit->setObjectName(QStringLiteral("PasswordEdit"));
  edit->setEchoMode(QLineEdit::Password);
  prompt->setBuddy(edit);
  auto* save = new QCheckBox(QStringLiteral("キーリングに保存する"), &dialog);
  save->setObjectName(QStringLiteral("SaveToKeyring"));
  save->setChecked(keyringAnswers);
  save->setVisible(keyringAnswers);
  layout->addWidget(prompt);
  layout->addWidget(edit);
  layout->addWidget(save);
  if (!note.empty()) {
    auto* noteLabel = new QLabel(q(note), &dialog);
    noteLabel->setTextFormat(Qt::PlainText);
    noteLabel->setWordWrap(true);
    layout->addWidget(noteLabel);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return PasswordAnswer{edit->text().toStdString(), keyringAnswers && save->isChecked()};
}

}  // namespace parupo
