// The main window "!ぱるぽ": the compose panel Frame2, the settings panel Frame1 at the
// same place, the menu bar with the history and option menus. Opening it is the
// program's start-up; closing it saves the settings and ends the program.
//
// The window keeps its outer size in twips as its own number: the resize rules, the
// settings file and the settings panel read and write that number, and the Qt window is
// sized from it. Other windows reach its send through SendPort only.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <memory>
#include <string>

#include "app/responsive_mail.h"
#include "core/services.h"
#include "core/settings.h"
#include "platform/twips_window.h"
#include "send/recipient_history.h"
#include "send/send_port.h"
#include "send/send_window.h"

class QListWidget;
class QPushButton;

namespace parupo {

class ComposeAids;
class ComposePanel;
class Form4;
class MainMenus;
class SendOperation;
class SettingsPanel;
struct StartupPlan;

class Form1 final : public QMainWindow, public SendWindow, public SendPort {
  Q_OBJECT

 public:
  // Builds the window and runs the start-up; the caller shows it afterwards.
  explicit Form1(Services services, QWidget* parent = nullptr);
  ~Form1() override;

  // The outer size in twips (frame, caption and menu bar included).
  double windowHeight() const { return twips_.height(); }
  double windowWidth() const { return twips_.width(); }
  // Sets the size as the program does; the resize rules follow. A value that is not a
  // usable size is refused and the size stays as it was.
  void setWindowSizeTwips(double height, double width);
  bool settingsPanelShown() const;

  // The send button. A close request that arrives during the send is carried out when
  // the send has returned.
  void Command1_Click();

  // --- SendWindow: what the send operation reads and does ----------------------------
  std::string recipientText() const override;
  std::string subjectText() const override;
  void setSubjectText(const std::string& text) override;
  std::string bodyText() const override;
  bool noCopyChecked() const override;
  Settings settings() const override;
  void setCaption(const std::string& caption) override;
  void setSendEnabled(bool enabled) override;
  void openSettingsPanel() override { SetPop(); }
  void saveSettings() override { SavePopDat(); }
  void recordRecipient() override { Rireki(); }
  void endProgram() override;

  // --- SendPort: what another window may do with the send ----------------------------
  std::string recipient() const override;
  void setRecipient(const std::string& text) override;
  void setSubject(const std::string& text) override;
  void setBody(const std::string& text) override;
  bool noCopy() const override;
  void setNoCopy(bool checked) override;
  bool quitAfterSend() const override;
  void setQuitAfterSend(bool checked) override;
  SendOutcome send() override { return Parupo(); }
  std::string caption() const override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void Form_Load(const StartupPlan& plan);
  void Form_Resize();
  void setWindowHeight(double twips);
  void setWindowWidth(double twips);
  void applySettings(const Settings& settings);
  void SavePopDat();
  void SetPop();
  void PutPop();
  void Rireki();
  void pickHistory(int slot);
  void clearCompose();
  SendOutcome Parupo();
  void openLogViewer();
  void openAddressBook();
  // The open address book writes its file before the program ends.
  void saveOtherWindows();

  Services services_;
  std::filesystem::path folder_;     // APas
  ResponsiveMail mail_;
  std::unique_ptr<SendOperation> sendOperation_;
  RecipientHistory history_;
  TwipsWindow twips_;
  std::unique_ptr<ComposePanel> compose_;
  std::unique_ptr<SettingsPanel> settingsPanel_;
  std::unique_ptr<MainMenus> menus_;
  std::unique_ptr<ComposeAids> aids_;  // goes first: it watches the panel and the menus
  QPointer<Form4> book_;             // the address book while it is open
  QListWidget* File1 = nullptr;      // hidden
  QPushButton* Command2 = nullptr;   // "mail check", never shown

  double savedHeight_ = 0;           // the compose size while the settings panel shows
  double savedWidth_ = 0;
  int sending_ = 0;
  bool closeAfterSend_ = false;
};

}  // namespace parupo
