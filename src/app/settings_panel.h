// The settings panel Frame1 of the main window: the SMTP server, the reply-to, specific
// and dummy addresses, the log retention days and the POP account. It lies over the
// compose panel while it shows.
#pragma once

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace parupo {

struct Settings;
class TwipsWindow;

class SettingsPanel {
 public:
  SettingsPanel(QWidget* client, const TwipsWindow& twips);

  QGroupBox* Frame1 = nullptr;
  std::array<QLabel*, 6> Label2{};
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* Text2 = nullptr;   // SMTP server
  QLineEdit* Text5 = nullptr;   // reply-to address
  QLineEdit* Text6 = nullptr;   // specific address
  QLineEdit* Text7 = nullptr;   // dummy address
  QLineEdit* Text8 = nullptr;   // POP server
  QLineEdit* Text9 = nullptr;   // POP user
  QLineEdit* Text10 = nullptr;  // POP password
  QLineEdit* Text11 = nullptr;  // retention days

  // Copies the panel's fields from and into `settings`; the other members stay.
  void show(const Settings& settings);
  void readInto(Settings& settings) const;

 private:
  void placeFields(const TwipsWindow& twips);
  void placeLabels(const TwipsWindow& twips);  // after the fields: each names its field
};

}  // namespace parupo
