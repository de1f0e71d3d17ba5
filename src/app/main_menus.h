// The main window's menu bar: "設定", the two history menus (by address and by name),
// the options menu "環境" with the reply-to submenu, and "び" and "あ2". The option
// marks are read and set by name; the menu entries keep the names the rest of the
// program knows them by (PopSetup, Slog, Slog2, Sup, Sup2).
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "send/recipient_history.h"

class QAction;
class QMenu;
class QMenuBar;
class QString;

namespace parupo {

class MainMenus {
 public:
  struct Handlers {
    std::function<void()> settings;               // "設定": the settings panel opens or closes
    std::function<void(int)> historyPicked;       // an entry of either history menu, by slot
    std::function<void()> clear;                  // "送信内容クリア"
    std::function<void()> logViewer;              // "び"
    std::function<void()> addressBook;            // "あ2"
    std::function<void()> attachment;             // "添付ファイル": choose the attachment
    std::function<void()> dropAttachment;         // "添付ファイルを外す"
    std::function<void()> moveToKeyring = [] {};  // "パスワードをキーリングに移す"
  };
  MainMenus(QMenuBar* bar, Handlers handlers);

  std::array<QAction*, 7> PopSetup{};
  std::array<QAction*, RecipientHistory::kSlots> Slog{};
  std::array<QAction*, RecipientHistory::kSlots> Slog2{};
  std::array<QAction*, 10> Sup{};
  std::array<QAction*, kReplyModeCount> Sup2{};
  QAction* DropAttachment = nullptr;  // "添付ファイルを外す", under "添付ファイル"; enabled while one is set
  QAction* MoveToKeyring = nullptr;  // "パスワードをキーリングに移す", last, after a line

  // Copies the option marks and the reply mode from and into `settings`.
  void show(const Settings& settings);
  void readInto(Settings& settings) const;

  void setQuitAfterSend(bool checked);
  void setSubjectIsDate(bool checked);  // the mark alone, unlike a click on it
  // Reverses "件名を日付にする" as a click on it does; returns the new mark.
  bool toggleSubjectIsDate();
  void showAttachmentSet(bool attached);

  // The history menus' captions: the slots' texts and their names in the address book.
  void showHistory(const RecipientHistory& history, const std::vector<std::string>& addressBookLines);
  // Shows the history menu the "履歴を名称で表示する" option chooses (RirekiHyo).
  void showChosenHistoryMenu();
  // F10: opens the bar's first menu that is shown, for the arrow keys to walk on from.
  void openFirstMenu();

 private:
  QAction* addHistoryMenu(QMenuBar* bar, const QString& menuName,
                          std::array<QAction*, RecipientHistory::kSlots>& entries);
  void addOptionsMenu(QMenuBar* bar);  // "環境"
  void addReplyModes(QMenu* replyMenu);

  Handlers handlers_;
  QMenuBar* bar_;
};

}  // namespace parupo
