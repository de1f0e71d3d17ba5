#include "platform/qt_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace parupo {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

const char* const kTitle = "ぱるぽ";

// "label|pattern|label|pattern|" -> Qt's "label (pattern);;label (pattern)".
QString qtFilter(const std::string& filter) {
  const QStringList parts = q(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) continue;
    out << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
  }
  return out.join(QStringLiteral(";;"));
}

}  // namespace

void QtDialogs::message(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, q(kTitle), q(text), QMessageBox::Ok, parent_);
  box.exec();
}

bool QtDialogs::askYesNo(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::Warning, q(title), q(text), QMessageBox::Yes | QMessageBox::No,
                  parent_);
  return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtDialogs::inputBox(const std::string& prompt, const std::string& title,
                                               const std::string& initial) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(parent_, q(title), q(prompt), QLineEdit::Normal, q(initial), &ok);
  if (!ok) return std::nullopt;
  return text.toStdString();
}

std::optional<std::string> QtDialogs::openFile(const std::string& initialPath,
                                               const std::string& filter) {
  const QString file = QFileDialog::getOpenFileName(parent_, QString(), q(initialPath), qtFilter(filter));
  if (file.isEmpty()) return std::nullopt;
  return file.toStdString();
}

}  // namespace parupo
