// The main window "!ぱるぽ": the compose panel Frame2, the settings panel Frame1 at the
// same place, the menu bar with the history and option menus. Its load step is the
// program's start-up, its closing step saves the settings and ends the program.
//
// The controls keep the names the rest of the program knows them by (Text1, Sup, Slog
// ...), and the window keeps its outer size in twips as its own number: the resize
// rules, the settings file and the settings panel read and write that number, and the Qt
// window is sized from it.
#pragma once

#include <QMainWindow>
#include <QSize>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/responsive_mail.h"
#include "core/services.h"
#include "core/settings.h"
#include "send/recipient_history.h"
#include "send/send_window.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace parupo {

class SendOperation;

// How the file chooser is set up at start-up, for the attachment choice.
struct FileChooserSetup {
  std::string initialPath;      // the program folder followed by "*.*"
  std::string filter;           // "label|pattern|..."
  bool cancelIsError = false;   // a cancel is told apart from a choice
  bool hideReadOnly = false;    // no read-only check box
};

class Form1 final : public QMainWindow, public SendWindow {
  Q_OBJECT

 public:
  // Builds the window and runs the start-up sequence; the caller shows it afterwards.
  explicit Form1(Services services, QWidget* parent = nullptr);
  ~Form1() override;

  // --- Controls -------------------------------------------------------------------
  // Compose panel.
  QGroupBox* Frame2 = nullptr;
  std::array<QLabel*, 3> Label1{};   // 宛先, 件名, 本文
  QCheckBox* Check1 = nullptr;
  QLineEdit* Text1 = nullptr;        // recipient
  QLineEdit* Text3 = nullptr;        // subject
  QPlainTextEdit* Text4 = nullptr;   // body
  QPushButton* Command3 = nullptr;   // attachment
  QPushButton* Command1 = nullptr;   // send
  QPushButton* Command4 = nullptr;   // "帰", only in the development folder
  QListWidget* mAdrs = nullptr;      // address book lines, hidden
  // Settings panel.
  QGroupBox* Frame1 = nullptr;
  std::array<QLabel*, 6> Label2{};
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* Text2 = nullptr;        // SMTP server
  QLineEdit* Text5 = nullptr;        // reply-to address
  QLineEdit* Text6 = nullptr;        // specific address
  QLineEdit* Text7 = nullptr;        // dummy address
  QLineEdit* Text8 = nullptr;        // POP server
  QLineEdit* Text9 = nullptr;        // POP user
  QLineEdit* Text10 = nullptr;       // POP password
  QLineEdit* Text11 = nullptr;       // retention days
  // On the window itself, hidden.
  QListWidget* File1 = nullptr;
  QPushButton* Command2 = nullptr;   // "mail check", never shown

  // Menu bar and option menus. Submenu headings are their menus' actions.
  std::array<QAction*, 7> PopSetup{};
  std::array<QAction*, 10> Slog{};
  std::array<QAction*, 10> Slog2{};
  std::array<QAction*, 10> Sup{};
  std::array<QAction*, 4> Sup2{};

  // --- Procedures -----------------------------------------------------------------
  void Form_Resize();
  void SavePopDat();
  void SetPop();
  void PutPop();
  void PopSetup_Click(int index);
  void Sup_Click(int index);
  void Sup2_Click(int index);
  void Slog_Click(int index);
  void Slog2_Click(int index);
  void Rireki();
  void RirekiHyo();
  void Command1_Click();
  // Runs one send through the send operation. A close request that arrives meanwhile
  // is carried out when the send has returned.
  void Parupo();

  // --- Window size in twips (outer size: frame, caption and menu bar included) -------
  double windowHeight() const { return height_; }
  double windowWidth() const { return width_; }
  // Sets the size as the program does ("Me.Height = ..."); the resize rules follow.
  // A value that is not a usable size (negative, not finite, absurdly large) is refused
  // and the size stays as it was.
  void setWindowHeight(double twips);
  void setWindowWidth(double twips);
  void setWindowSizeTwips(double height, double width);
  bool settingsPanelShown() const;

  // --- For the other parts of the program -----------------------------------------
  const std::filesystem::path& APas() const { return folder_; }
  const Services& services() const { return services_; }
  RecipientHistory& history() { return history_; }
  SendOperation& sendOperation() { return *sendOperation_; }
  std::vector<std::string> addressBookLines() const;  // the lines in mAdrs
  const FileChooserSetup& CommonDialog1() const { return fileChooser_; }
  void setBodyText(const std::string& text);           // any line ends

  // --- SendWindow --------------------------------------------------------------------
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

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void buildComposePanel(QWidget* client);
  void buildSettingsPanel(QWidget* client);
  void buildMenus();
  void Form_Load();
  void applySettings(const Settings& s);
  void showHistoryMenus();
  // Places for the daily data-file backup and the log ageing of start-up.
  void makeDailyBackups();
  void ageLogs(int days);

  double dpi() const;  // the screen's logical dots per inch
  int px(double twips) const;
  void placeTw(QWidget* w, double left, double top, double width, double height) const;
  void setWidthTw(QWidget* w, double width) const;
  void setHeightTw(QWidget* w, double height) const;
  void applyWindowSize();
  void noticeFrameMargins();
  void reportWriteFailure(const std::string& what, const std::string& error);

  Services services_;
  std::filesystem::path folder_;     // APas
  ResponsiveMail mail_;
  std::unique_ptr<SendOperation> sendOperation_;
  RecipientHistory history_;
  FileChooserSetup fileChooser_;

  double height_ = 5220;             // outer size in twips
  double width_ = 4770;
  double savedHeight_ = 0;           // while the settings panel is open
  double savedWidth_ = 0;
  QSize frameExtra_{0, 0};           // frame and caption around the Qt widget, in pixels
  std::vector<QSize> requestedSizes_;  // Qt sizes this window asked for, newest last
  int sending_ = 0;
  bool closeAfterSend_ = false;
};

}  // namespace parupo
