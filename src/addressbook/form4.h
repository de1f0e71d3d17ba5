// The address book window "アドレス帳": the tree of groups and entries, the record list
// of the consecutive send, the name, address and mobile boxes and the register button,
// over the plain model AddressBook. It loads PPad.dat when it is made and writes it when
// it closes; it drives the main window only through its SendWindow.
//
// For the main window:
//   auto* book = new Form4(dialogs, programFolder, sendWindow, mainWindow);
//   book->showBesideMainWindow();      // "あ2"; it deletes itself when closed
//   book->raiseWindow();               // "あ2" again while it is open (keep a QPointer)
//   book->saveBeforeProgramEnds();     // the program ends while it is open, before the
//                                      // main window saves its own settings
// Between two messages of a consecutive send the window lets pending events run, so a
// close of the main window that waited for the send in progress is carried out there,
// and the rest of the run is not sent. Closing this window during a run asks whether to
// stop it.
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <unordered_map>

#include "addressbook/address_book.h"
#include "addressbook/consecutive_send.h"
#include "platform/dialogs.h"
#include "platform/twips_window.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTreeWidgetItem;

namespace parupo {

class BookTree;
class SendWindow;

// Its questions, input box and messages open over the book itself.
class Form4 final : public QWidget, public DialogParent {
  Q_OBJECT

 public:
  // Builds the window and loads the book from PPad.dat in `programFolder` (AdrsLoad).
  // `mainWindow` is used for placement beside it and for its icon only; the window is
  // top-level and owned by nobody: it deletes itself once it has closed and saved.
  Form4(Dialogs& dialogs, std::filesystem::path programFolder, SendWindow& sendWindow, QWidget* mainWindow);
  ~Form4() override;

  // Its left edge on the main window's right edge, the same top and outer height, the
  // main window's icon; shown without blocking the main window.
  void showBesideMainWindow();
  // Brings the open window to the front, as "あ2" does while the book is open.
  void raiseWindow();
  // Writes the book now, because the program ends while the window is open. During a
  // consecutive send, call it once the message in progress has returned: the main
  // window's "送信後終了" and "件名を日付にする" get back the states the run took from
  // it, so that the settings the main window saves next are the user's own. Errors are
  // shown; never refuses.
  void saveBeforeProgramEnds();

  // --- Controls -------------------------------------------------------------------
  BookTree* TreeView1 = nullptr;
  QListWidget* List1 = nullptr;     // the record list, several items selectable
  QLabel* Label1 = nullptr;         // 名前
  QLabel* Label2 = nullptr;         // アドレス
  QLabel* Label3 = nullptr;         // 携帯番号
  QLineEdit* Text1 = nullptr;       // name
  QLineEdit* Text2 = nullptr;       // address
  QLineEdit* Text3 = nullptr;       // mobile number
  QPushButton* Command1 = nullptr;  // "登録"
  QMenu* menu = nullptr;            // popup of the tree
  std::array<QAction*, 4> mn01{};   // グループ作成, 削除 (submenu), separator, 連続送信
  std::array<QAction*, 1> mn011{};  // the delete command
  QMenu* menu2 = nullptr;           // popup of the record list
  std::array<QAction*, 3> mn02{};   // 送信 (submenu), separator, 戻る
  std::array<QAction*, 7> mn03{};   // 1, 2, 3, 4, 5, separator, 一括

  // Shows a popup menu at a screen position and returns when it has closed; tests
  // replace it, since a real popup waits for the user.
  std::function<void(QMenu*, const QPoint&)> popup;

  // --- Procedures -----------------------------------------------------------------
  void ChangeRenso(bool on);
  void Form_Resize();
  void Command1_Click();      // update the current node
  void registerEntry();       // right button on "登録"
  void createGroup();         // "グループ作成"
  void KiLLDat(NodeId node);  // delete the node after asking
  void TreeView1_MouseDown(Qt::MouseButton button, const QPoint& pos, const QPoint& globalPos);
  void TreeView1_KeyMoved();  // the current row moved by keyboard: a left click
  void TreeView1_MenuKey();   // Menu key, Shift+F10: a right click on the current row
  void List1_MenuKey();
  // `dragged` was dropped on the drop highlight (moved there), or on empty space
  // (deleted after asking).
  void TreeView1_DragDrop(NodeId dragged);
  // The consecutive send of the selected records: n = 0 one per message (AdrsPooon),
  // otherwise a message after every n + 1 records (AdrsPiiin).
  void consecutiveSend(int n);

  // --- State ----------------------------------------------------------------------
  const AddressBook& book() const { return book_; }
  NodeId CurNode() const { return curNode_; }
  QTreeWidgetItem* itemOf(NodeId id) const;
  void setWindowSizeTwips(double height, double width);

 signals:
  void closed();  // after it has saved, just before it goes away

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildTree();
  void buildControls();
  void buildMenus();
  void fillTree();
  QTreeWidgetItem* addItem(NodeId id);
  void showPicture(NodeId id);
  void makeCurrent(QTreeWidgetItem* item);  // CurNode and the drop highlight
  void showCurrentNode();                   // its caption, boxes and recipient
  void showMessage(const std::string& text);
  void startDrag();
  void save();
  NodeId nodeOf(const QTreeWidgetItem* item) const;

  std::unique_ptr<Dialogs> dialogs_;  // over this window
  std::filesystem::path folder_;
  SendWindow& sendWindow_;
  QPointer<QWidget> mainWindow_;
  TwipsWindow twips_;
  TwipsResizeFilter resizeRules_{this, twips_, [this] { Form_Resize(); }};
  AddressBook book_;
  std::unordered_map<NodeId, QTreeWidgetItem*> items_;
  NodeId curNode_ = kNoNode;
  bool saveAllowed_ = true;  // false when PPad.dat exists but could not be read
  ConsecutiveRun run_;
};

}  // namespace parupo
