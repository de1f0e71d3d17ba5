// The main window "!ぱるぽ": the compose panel Frame2, the settings panel Frame1 at the
// same place, the menu bar with the history and option menus. Opening it is the
// program's start-up; closing it saves the settings and ends the program.
//
// The window keeps its outer size in twips as its own number: the resize rules, the
// settings file and the settings panel read and write that number, and the Qt window is
// sized from it. The send, and other windows that send, reach it through SendWindow only.
#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/responsive_mail.h"
#include "core/keyring_mail.h"
#include "core/services.h"
#include "core/settings.h"
#include "platform/twips_window.h"
#include "send/recipient_history.h"
#include "send/send_stage.h"
#include "send/send_window.h"

class QListWidget;
class QPushButton;

namespace parupo {

class ComposeHandlers;
class ComposePanel;
class Form4;
class MainMenus;
class SendOperation;
class SettingsPanel;
struct MailtoLink;
struct StartupPlan;

class Form1 final : public QMainWindow, public SendWindow {
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

  // The send button. What the close box, Esc and a signal do during the send is the
  // send stage's to say (send/send_stage.h).
  void Command1_Click();

  // A mailto: link, of this start or handed over by a later one: fills 宛先, 件名 and 本文
  // where the link gives them (never sends) and brings the window to the front. During
  // a send the boxes are filled once it is over.
  void openMailtoLink(const MailtoLink& link);

  // A request to end the program from outside the window (a signal, the end of the
  // session): asks nothing, and waits for a send under way and its message box.
  void requestEnd();

  // --- SendWindow: the boxes, options and caption every send reads and sets ----------
  std::string recipient() const override;
  void setRecipient(const std::string& text) override;
  std::string subject() const override;
  void setSubject(const std::string& text) override;
  std::string body() const override;
  void setBody(const std::string& text) override;
  bool noCopy() const override;
  void setNoCopy(bool checked) override;
  Settings settings() const override;
  void setQuitAfterSend(bool checked) override;
  void setSubjectIsDate(bool checked) override;
  void openSettingsPanel() override { SetPop(); }
  std::string caption() const override;
  void setCaption(const std::string& caption) override;
  void setSendEnabled(bool enabled) override;
  SendOutcome send() override { return Parupo(); }
  bool askToStop() override;
  SendStage& sendStage() override { return stage_; }
  void recordRecipient() override { Rireki(); }
  // Every ending of the program comes here (the close box, "送信後終了", a signal, the
  // end of the session): it saves what an ending saves, then ends the program.
  void endProgram() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // The menus, the send button, Esc and the progress during a call, F10, and the compose aids.
  void wireMenusAndAids();
  void Form_Load(StartupPlan plan);
  void Form_Resize();
  void setWindowHeight(double twips);
  void setWindowWidth(double twips);
  void applySettings(const Settings& settings);
  void SavePopDat();
  // What every ending saves, in this order; the session manager also asks for it alone
  // before a logout.
  void saveBeforeEnding();
  void SetPop();
  void PutPop();
  // Start-up tells no problem; a history save the user caused does.
  void Rireki(bool reportProblems = true);
  void pickHistory(int slot);
  void clearCompose();
  void movePasswordsToKeyring();  // "パスワードをキーリングに移す"
  SendOutcome Parupo();
  void openLogViewer();
  // Asks "送信を中止しますか？" for the stage and tells it the answer; はい cuts the
  // transfer off at once.
  bool answerStop();
  // The caption with the upload's per cent after it; nothing: the caption alone again.
  void showProgress(std::optional<int> percent);
  void openAddressBook();

  Services services_;
  std::filesystem::path folder_;  // APas
  ResponsiveMail mail_;
  // Logins that PP1.dat names without a password take theirs from the keyring or the
  // password box, on this thread, around the calls; none without a keyring.
  std::unique_ptr<PasswordSource> passwords_;
  std::unique_ptr<KeyringMail> keyringMail_;
  std::unique_ptr<SendOperation> sendOperation_;
  RecipientHistory history_;
  // PPad.dat's lines as read at start-up, where the history looks up names; changes made
  // in the address book reach it at the next start.
  std::vector<std::string> mAdrs;
  TwipsWindow twips_;
  TwipsResizeFilter resizeRules_{this, twips_, [this] { Form_Resize(); }};
  std::unique_ptr<ComposePanel> compose_;
  std::unique_ptr<SettingsPanel> settingsPanel_;
  std::unique_ptr<MainMenus> menus_;
  std::unique_ptr<ComposeHandlers> handlers_;  // goes first: it watches the panel and the menus
  QPointer<Form4> book_;                       // the address book while it is open
  QListWidget* File1 = nullptr;                // hidden
  QPushButton* Command2 = nullptr;             // "mail check", never shown

  QPoint placeBeforeViewer_;  // the frame's place while the log viewer is open
  double savedHeight_ = 0;    // the compose size while the settings panel shows
  double savedWidth_ = 0;
  std::string settingsUnreadable_;  // why PP1.dat could not be read at start-up; then it is kept
  std::string caption_;             // the caption the send set, without a per cent
  SendStage stage_;
};

}  // namespace parupo
