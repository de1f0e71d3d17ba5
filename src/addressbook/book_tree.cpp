#include "addressbook/book_tree.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace parupo {

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
  if (event->source() == this) event->acceptProposedAction(); else event->ignore();
}

void BookTree::dragMoveEvent(QDragMoveEvent* event) {
  if (event->source() != this) return event->ignore();
  setDropHighlight(itemAt(event->position().toPoint()));
  event->acceptProposedAction();
}

void BookTree::dropEvent(QDropEvent* event) {
  if (event->source() != this) return event->ignore();
  event->acceptProposedAction();
  // Handled once the drag has ended: the drop may ask a question in a modal box.
  QMetaObject::invokeMethod(this, &BookTree::dropped, Qt::QueuedConnection);
}

}  // namespace parupo
