// The log viewer "!ぱるぽ びゅわー": the message logs newest first on the left, the
// chosen log's text on the right, and a right-click menu of recent recipients that
// narrows the list to the logs sent to one of them. It only reads: no log is ever
// changed. While it is open the main window is hidden; closing it shows the main window
// again.
//
// The window knows nothing of the main window's class: it gets the main window as a
// plain QWidget (for its top edge and its icon) and a callback that hides or shows it.
#pragma once

#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>

#include "logs/log_list.h"
#include "platform/twips_window.h"

class QAction;
class QListWidget;
class QMenu;
class QPlainTextEdit;

namespace parupo {

class Dialogs;

class Form2 final : public QWidget {
  Q_OBJECT

 public:
  // Lists the logs of programFolder/"log" (taken once, newest first) and takes the main
  // window's icon, and its top and left edges, so that the viewer opens where the user
  // was looking. Make it with new: it deletes itself when it closes. It does not show
  // itself (showViewer, or openLogViewer, does). `setMainWindowVisible(false)` is called
  // when the viewer is shown, and (true) when it closes, before it is gone, so that a
  // window of the program is always visible. If the main window is destroyed first (the
  // program ends), the viewer goes with it and calls nothing.
  Form2(const std::filesystem::path& programFolder, QWidget* mainWindow,
        std::function<void(bool visible)> setMainWindowVisible);

  // --- Controls -------------------------------------------------------------------
  QListWidget* List1 = nullptr;     // the log names offered, newest first
  QPlainTextEdit* Text1 = nullptr;  // the chosen log's text; edits are never saved
  QMenu* mn0 = nullptr;             // the recipient menu, popped up on a right click
  std::array<QAction*, 10> mn1{};   // its entries

  // --- Procedures -----------------------------------------------------------------
  void showViewer();                                // shows this window, then hides the main window
  void List1_Click();                               // shows the selected log
  void showRecipientMenu(const QPoint& globalPos);  // right mouse button on List1
  void mn1_Click(int index);                        // lists only the logs to that recipient
  void Form_Resize();

  // Outer size in twips (frame and caption included).
  double windowHeight() const { return size_.height(); }
  double windowWidth() const { return size_.width(); }
  void setWindowSizeTwips(double height, double width);

  LogList& logs() { return logs_; }  // File1

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void buildControls();
  // Takes the main window's icon and place, and goes when the main window goes.
  void followMainWindow(QWidget* mainWindow);
  void fillList(const std::vector<std::string>& names);

  LogList logs_;
  TwipsWindow size_;
  TwipsResizeFilter resizeRules_{this, size_, [this] { Form_Resize(); }};
  std::function<void(bool)> setMainWindowVisible_;
};

// "び" on the main menu. When programFolder has no folder "log", shows "ログがありません"
// through `dialogs` and returns nullptr: nothing else changes and the main window stays.
// Otherwise makes the viewer (see Form2), shows it without waiting for it, hides the
// main window through the callback and returns the viewer, which deletes itself when
// it closes.
Form2* openLogViewer(Dialogs& dialogs, const std::filesystem::path& programFolder, QWidget* mainWindow,
                     std::function<void(bool visible)> setMainWindowVisible);

}  // namespace parupo
