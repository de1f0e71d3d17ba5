// The popup under 宛先 that offers addresses as the user types: the history's recipients,
// then the address book's entries (offers in address_suggestions.h). Down and Up walk it,
// Enter or a click takes the offer in place of the address being typed, Esc closes it.
#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/address_suggestions.h"

class QCompleter;
class QLineEdit;
class QStringListModel;

namespace parupo {

class RecipientCompletion final : public QObject {
 public:
  // `history` gives the history's recipients, newest first. The book is read from the
  // folder's PPad.dat when an offer is first needed, and again after it changed.
  RecipientCompletion(QLineEdit& box, std::filesystem::path folder, std::function<std::vector<std::string>()> history);

 private:
  QCompleter& completer();
  void offer(const QString& text);
  void refreshCandidates();

  QLineEdit& box_;
  std::filesystem::path folder_;
  std::function<std::vector<std::string>()> history_;
  QCompleter* completer_ = nullptr;
  QStringListModel* model_ = nullptr;
  AddressSuggestions suggestions_;
  std::vector<std::string> book_;
  std::vector<std::string> lastHistory_;
  std::filesystem::file_time_type bookTime_{};
  bool loaded_ = false;
};

}  // namespace parupo
