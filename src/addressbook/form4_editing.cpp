// Form4's editing: the tree's mouse handling and drag and drop, the register button,
// group creation and deletion, and the consecutive send. Each acts on the model first
// and then mirrors the change in the controls.
#include <QCoreApplication>
#include <QDrag>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "addressbook/book_tree.h"
#include "addressbook/consecutive_send.h"
#include "addressbook/form4.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/text_box.h"
#include "send/send_window.h"

namespace parupo {

namespace {

std::string text(const QLineEdit* box) { return box->text().toStdString(); }

// Where a menu for a row of a view opens: at the row's left, half-way down; the view's
// top left without a row.
QPoint rowPoint(const QAbstractItemView* view, const QRect& row) {
  return row.isValid() ? QPoint(row.left() + 8, row.center().y()) : QPoint(view->viewport()->rect().topLeft());
}

}  // namespace

void Form4::TreeView1_MouseDown(Qt::MouseButton button, const QPoint& pos, const QPoint& globalPos) {
  if (button == Qt::LeftButton) {
    makeCurrent(TreeView1->itemAt(pos));
  } else if (button == Qt::RightButton) {
    popup(menu, globalPos);  // its command has run when it returns
  }
  showCurrentNode();
  // A click on a group readies its name for renaming or for registering into it, yet the
  // keyboard stays in the tree (Right opens the group, Down walks on, Shift+F10 pops up
  // the menu): Tab or a click into the name box then types over the name.
  const BookNode* n = book_.node(curNode_);
  if (button == Qt::LeftButton && n && n->isGroup()) Text1->selectAll();
}

// The arrow keys, Home, End and the page keys moved the tree's current row: the same as
// a left click on it.
void Form4::TreeView1_KeyMoved() {
  makeCurrent(TreeView1->currentItem());
  showCurrentNode();
}

// The Menu key or Shift+F10: the same as a right click on the current row.
void Form4::TreeView1_MenuKey() {
  const QPoint at = rowPoint(TreeView1, itemOf(curNode_) ? TreeView1->visualItemRect(itemOf(curNode_)) : QRect());
  TreeView1_MouseDown(Qt::RightButton, at, TreeView1->viewport()->mapToGlobal(at));
}

// The Menu key or Shift+F10 on the record list: its menu, at the current row.
void Form4::List1_MenuKey() {
  if (!List1->isEnabled()) return;
  const QPoint at = rowPoint(List1, List1->visualItemRect(List1->currentItem()));
  popup(menu2, List1->viewport()->mapToGlobal(at));
}

void Form4::makeCurrent(QTreeWidgetItem* item) {
  TreeView1->setDropHighlight(item);
  curNode_ = nodeOf(item);
}

void Form4::showCurrentNode() {
  const BookNode* n = book_.node(curNode_);
  if (!n) return;
  // A group is told by having no parent, so a renamed group still shows as a group.
  if (n->isGroup()) {
    mn011[0]->setText(QString::fromUtf8("グループ削除"));
    setBoxText(Text1, q(n->text));
    Text2->clear();
    Text3->clear();
    return;
  }
  mn011[0]->setText(q(TrPrCi(n->key).KeyName + "を削除"));
  const SelRec rec = book_.LiSch(curNode_);
  setBoxText(Text1, q(rec.name));
  setBoxText(Text2, q(rec.address));
  setBoxText(Text3, q(rec.mobile));
  sendWindow_.setRecipient(rec.address);
}

void Form4::Command1_Click() {
  const std::string error = book_.update(curNode_, text(Text1), text(Text2), text(Text3));
  if (!error.empty()) return showMessage(error);
  const BookNode* n = book_.node(curNode_);
  if (!n) return;
  items_.at(curNode_)->setText(0, q(n->text));
  showPicture(curNode_);
  if (!n->isGroup()) List1->item(static_cast<int>(n->record))->setText(q(book_.records()[n->record]));
}

void Form4::registerEntry() {
  NodeId made = kNoNode;
  const std::string error = book_.registerEntry(curNode_, text(Text1), text(Text2), text(Text3), &made);
  if (!error.empty()) return showMessage(error);
  // The new entry is shown, in its group opened if need be, as the current node.
  QTreeWidgetItem* item = addItem(made);
  List1->addItem(q(book_.records().back()));
  TreeView1->setRootIsDecorated(book_.lineStyle() == 1);
  item->parent()->setExpanded(true);
  makeCurrent(item);
  TreeView1->scrollToItem(item);
  mn011[0]->setText(q(TrPrCi(book_.node(made)->key).KeyName + "を削除"));
}

void Form4::createGroup() {
  const auto answer = dialogs_->inputBox("グループ名を入力してください", kTitle, "");
  if (!answer || answer->empty()) return;
  NodeId made = kNoNode;
  const std::string error = book_.createGroup(*answer, &made);
  if (!error.empty()) return showMessage(error);
  addItem(made);
}

void Form4::KiLLDat(NodeId node) {
  const BookNode* n = book_.node(node);
  if (!n) return;
  if (!dialogs_->askYesNo(n->text + " を削除しても良いですか？", kTitle)) return;
  // The current node stays where it was: a later update or delete then does nothing.
  for (NodeId child : n->children) items_.erase(child);
  delete items_.at(node);
  items_.erase(node);
  book_.remove(node);
  // The records of the entries gone are no longer offered for the consecutive send.
  const std::vector<bool> inTree = book_.recordsInTree();
  for (int i = 0; i < List1->count(); ++i) {
    if (inTree[static_cast<std::size_t>(i)]) continue;
    List1->item(i)->setSelected(false);
    List1->item(i)->setHidden(true);
  }
}

void Form4::startDrag() {
  QTreeWidgetItem* item = itemOf(curNode_);
  if (!item) return;
  auto* drag = new QDrag(TreeView1);
  drag->setMimeData(TreeView1->dragData(curNode_));
  drag->setPixmap(TreeView1->viewport()->grab(TreeView1->visualItemRect(item)));
  drag->exec(Qt::MoveAction);
}

void Form4::TreeView1_DragDrop(NodeId dragged) {
  QTreeWidgetItem* highlight = TreeView1->dropHighlight();
  if (!highlight) return KiLLDat(dragged);
  const BookNode* n = book_.node(dragged);
  if (!n || n->isGroup()) return;  // groups never move
  const NodeId oldGroup = n->parent;
  if (!book_.moveEntry(dragged, nodeOf(highlight))) return;
  QTreeWidgetItem* item = items_.at(dragged);
  items_.at(oldGroup)->removeChild(item);
  items_.at(book_.node(dragged)->parent)->addChild(item);
  TreeView1->setRootIsDecorated(book_.lineStyle() == 1);
  TreeView1->setDropHighlight(nullptr);
  TreeView1->setDropHighlight(highlight);
}

void Form4::consecutiveSend(int n) {
  if (run_.running) return;
  std::vector<std::string> picked;
  const std::vector<bool> inTree = book_.recordsInTree();
  for (int i = 0; i < List1->count(); ++i) {
    const auto at = static_cast<std::size_t>(i);
    if (List1->item(i)->isSelected() && inTree[at]) picked.push_back(book_.records()[at]);
  }
  const std::vector<SendStep> steps = n == 0 ? AdrsPooon(picked) : AdrsPiiin(picked, n);

  List1->setEnabled(false);
  // Between two messages both windows answer the user; closing this one ends the run.
  runConsecutiveSend(sendWindow_, run_, steps, [] { QCoreApplication::processEvents(); });
  ChangeRenso(false);
  List1->setEnabled(true);
  if (run_.closeWhenDone) close();
}

}  // namespace parupo
