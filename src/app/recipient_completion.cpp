#include "app/recipient_completion.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>

#include "addressbook/address_book.h"

namespace parupo {

RecipientCompletion::RecipientCompletion(QLineEdit& box, std::filesystem::path folder,
                                         std::function<std::vector<std::string>()> history)
    : QObject(&box), box_(box), folder_(std::move(folder)), history_(std::move(history)) {
  connect(&box_, &QLineEdit::textEdited, this, &RecipientCompletion::offer);
}

// Made at the first key typed into the box, not at start-up. The offers are chosen here
// (kana and full-width letters too), not by the completer, and a choice replaces only
// the address being typed: the box is not the completer's own.
QCompleter& RecipientCompletion::completer() {
  if (completer_ != nullptr) return *completer_;
  completer_ = new QCompleter(this);
  model_ = new QStringListModel(this);
  completer_->setModel(model_);
  completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  completer_->setWidget(&box_);
  completer_->popup()->setAccessibleName(QStringLiteral("宛先の候補"));
  connect(completer_, QOverload<const QString&>::of(&QCompleter::activated), this, [this](const QString& chosen) {
    const QString text = box_.text();
    const qsizetype cursor = box_.cursorPosition();
    const QString before = QString::fromStdString(
        withChosenAddress(text.left(cursor).toStdString(), chosen.toStdString()));
    box_.setText(QString::fromStdString(
        withChosenAddress(text.left(cursor).toStdString(), chosen.toStdString(), text.mid(cursor).toStdString())));
    box_.setCursorPosition(static_cast<int>(before.size()));
  });
  return *completer_;
}

void RecipientCompletion::offer(const QString& text) {
  refreshCandidates();
  const std::vector<std::string> found = suggestions_.offers(text.left(box_.cursorPosition()).toStdString());
  if (found.empty()) {
    completer().popup()->hide();
    return;
  }
  QStringList rows;
  rows.reserve(static_cast<qsizetype>(found.size()));
  for (const std::string& s : found) rows << QString::fromStdString(s);
  completer();
  model_->setStringList(rows);
  completer_->complete();
}

// The book as it is on disk now (the address book window saves it as it is edited), and
// the history as it is now: folded again only when one of them changed.
void RecipientCompletion::refreshCandidates() {
  std::error_code ec;
  const auto bookTime = std::filesystem::last_write_time(folder_ / "PPad.dat", ec);
  std::vector<std::string> history = history_ ? history_() : std::vector<std::string>{};
  const bool bookChanged = !loaded_ || bookTime != bookTime_;
  if (!bookChanged && history == lastHistory_) return;
  if (bookChanged) {
    AddressBook book;
    (void)book.AdrsLoad(folder_);  // a missing or unreadable book offers nothing of it
    book_ = bookOffers(book);
    bookTime_ = bookTime;
    loaded_ = true;
  }
  lastHistory_ = std::move(history);
  std::vector<std::string> all = lastHistory_;
  all.insert(all.end(), book_.begin(), book_.end());
  suggestions_.setCandidates(all);
}

}  // namespace parupo
