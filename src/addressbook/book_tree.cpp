#include "addressbook/book_tree.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include "platform/whole_frame.h"

namespace parupo {

namespace {

const char* const kDragFormat = "application/x-parupo-address-book-node";

// The program and the tree a drag comes from, before the node: "pid tree node".
QByteArray dragOrigin(const BookTree* tree) {
  return QByteArray::number(QCoreApplication::applicationPid()) + ' ' +
         QByteArray::number(reinterpret_cast<quintptr>(tree)) + ' ';
}

}  // namespace

BookTree::BookTree(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
  setDropIndicatorShown(false);
}

QTreeWidgetItem* BookTree::dropHighlight() const {
  const QList<QTreeWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? nullptr : selected.front();
}

void BookTree::setDropHighlight(QTreeWidgetItem* item) {
  if (item == dropHighlight()) return;
  clearSelection();
  if (item) {
    setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    item->setSelected(true);
  }
}

void BookTree::keyPressEvent(QKeyEvent* event) {
  const QTreeWidgetItem* before = currentItem();
  QTreeWidget::keyPressEvent(event);
  if (currentItem() && currentItem() != before) emit keyMoved();
}

QMimeData* BookTree::dragData(NodeId node) const {
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kDragFormat), dragOrigin(this) + QByteArray::number(node));
  return data;
}

std::optional<NodeId> BookTree::draggedNode(const QMimeData* data) const {
  if (!data) return std::nullopt;
  const QByteArray bytes = data->data(QString::fromLatin1(kDragFormat));
  const QByteArray origin = dragOrigin(this);
  if (!bytes.startsWith(origin)) return std::nullopt;
  bool ok = false;
  const NodeId node = bytes.mid(origin.size()).toInt(&ok);
  if (!ok || node == kNoNode) return std::nullopt;
  return node;
}

void BookTree::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  // The left button still opens and closes groups at their branch marks; the window
  // decides what the press selects.
  if (event->button() == Qt::LeftButton) {
    QTreeWidget::mousePressEvent(event);
    leftHeld_ = true;
    pressPos_ = pos;
  }
  emit pressed(event->button(), pos, event->globalPosition().toPoint());
}

void BookTree::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !leftHeld_) return;
  // A shaking hand on a click is no drag: a drop would move the entry to the end.
  if ((event->position().toPoint() - pressPos_).manhattanLength() < QApplication::startDragDistance()) return;
  leftHeld_ = false;
  emit dragRequested();
}

void BookTree::mouseReleaseEvent(QMouseEvent* event) {
  leftHeld_ = false;
  QTreeWidget::mouseReleaseEvent(event);
}

void BookTree::dragEnterEvent(QDragEnterEvent* event) {
  if (draggedNode(event->mimeData())) event->acceptProposedAction();
  else event->ignore();
}

void BookTree::dragMoveEvent(QDragMoveEvent* event) {
  if (!draggedNode(event->mimeData())) return event->ignore();
  setDropHighlight(itemAt(event->position().toPoint()));
  event->acceptProposedAction();
}

void BookTree::dropEvent(QDropEvent* event) {
  const std::optional<NodeId> node = draggedNode(event->mimeData());
  if (!node) return event->ignore();
  event->acceptProposedAction();
  // Handled once the drag has ended: the drop may ask a question in a modal box.
  QMetaObject::invokeMethod(
      this, [this, id = *node] { emit dropped(id); }, Qt::QueuedConnection);
}

void BookTree::updateGeometries() {
  QTreeWidget::updateGeometries();
  const QMargins margins = viewportMargins();
  const int gap = wholeFrameGap(this);
  if (margins.right() != gap || margins.bottom() != gap) setViewportMargins(margins.left(), margins.top(), gap, gap);
}

}  // namespace parupo
