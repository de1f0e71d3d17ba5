#include "platform/qt_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

#include "platform/qt_text.h"

namespace parupo {

namespace {

// "label|pattern|label|pattern|" -> Qt's "label (pattern);;label (pattern)".
QString qtFilter(const std::string& filter) {
  const QStringList parts = q(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) continue;
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    // "*.*" means every file, also those without a dot in their names.
    for (QString& p : patterns)
      if (p.trimmed() == QStringLiteral("*.*")) p = QStringLiteral("*");
    out << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(' '));
  }
  return out.join(QStringLiteral(";;"));
}

}  // namespace

void QtDialogs::message(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, q(kTitle), q(text), QMessageBox::Ok, owner());
  box.setTextFormat(Qt::PlainText);  // an address in angle brackets is text, not markup
  box.exec();
}

bool QtDialogs::askYesNo(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::Warning, q(title), q(text), QMessageBox::Yes | QMessageBox::No, owner());
  box.setTextFormat(Qt::PlainText);
  return box.exec() == QMessageBox::Yes;
}

bool QtDialogs::askYesNoDefaultNo(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::Warning, q(title), q(text), QMessageBox::Yes | QMessageBox::No, owner());
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtDialogs::inputBox(const std::string& prompt, const std::string& title,
                                               const std::string& initial) {
  QInputDialog dialog(owner());
  dialog.setWindowTitle(q(title));
  dialog.setLabelText(q(prompt));
  dialog.setTextValue(q(initial));
  for (QLabel* label : dialog.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

std::optional<std::string> QtDialogs::openFile(const std::string& initialPath, const std::string& filter) {
  const std::unique_ptr<QFileDialog> dialog = openFileDialog(owner(), initialPath, filter);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
  return dialog->selectedFiles().constFirst().toStdString();
}

std::unique_ptr<QFileDialog> openFileDialog(QWidget* parent, const std::string& initialPath,
                                            const std::string& filter) {
  // An initial name that is only a pattern ("folder/*.*") opens the folder itself.
  QString start = q(initialPath);
  const QFileInfo info(start);
  if (info.fileName().contains('*') || info.fileName().contains('?')) start = info.path();
  auto dialog = std::make_unique<QFileDialog>(parent, QString(), start, qtFilter(filter));
  dialog->setFileMode(QFileDialog::ExistingFile);
  // Qt's own dialog comes up larger than a small or strongly scaled screen (its buttons
  // below the screen's edge): no larger than the screen's free area, less the frame the
  // window manager draws around the parent.
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  if (screen) {
    const QSize frame = parent ? parent->window()->frameGeometry().size() - parent->window()->size() : QSize();
    const QSize room = screen->availableGeometry().size() - frame;
    dialog->resize(dialog->sizeHint().boundedTo(room));
  }
  return dialog;
}

std::unique_ptr<Dialogs> QtDialogs::over(DialogParent& window) {
  auto* widget = dynamic_cast<QWidget*>(&window);
  return std::make_unique<QtDialogs>(widget ? widget->window() : nullptr, owner());
}

QWidget* QtDialogs::owner() const {
  if (parent_ && parent_->isVisible()) return parent_;
  return fallback_ ? fallback_.data() : parent_.data();
}

}  // namespace parupo
