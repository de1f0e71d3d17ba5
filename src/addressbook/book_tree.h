// The address book's tree control: reports presses and drops to its window and lets it
// decide, tells it when a key moved the current row, asks for a drag of the pressed node
// once the mouse has really moved, moves its drop highlight (the selection) under the
// mouse while dragging, and never edits a name in place. The drag's data names the node
// dragged, and a drop takes its node from there alone.
#pragma once

#include <QPoint>
#include <QTreeWidget>
#include <optional>

#include "addressbook/address_book.h"

class QMimeData;

namespace parupo {

class BookTree final : public QTreeWidget {
  Q_OBJECT

 public:
  explicit BookTree(QWidget* parent);

  // The drop highlight: the node drawn as selected, or none.
  QTreeWidgetItem* dropHighlight() const;
  void setDropHighlight(QTreeWidgetItem* item);

  // The data of a drag of `node` out of this tree. A drop takes only data made here by
  // this very tree (not by another tree or another running copy of the program).
  QMimeData* dragData(NodeId node) const;

 signals:
  void pressed(Qt::MouseButton button, const QPoint& pos, const QPoint& globalPos);
  void dragRequested();       // the left button is held and the mouse has moved far enough
  void dropped(NodeId node);  // a node dragged out of this tree was dropped on it
  void keyMoved();            // a key moved the current row

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // Keeps the frame whole at a fractional scale (platform/whole_frame.h); the tree sets its
  // viewport's margins itself.
  void updateGeometries() override;

 private:
  std::optional<NodeId> draggedNode(const QMimeData* data) const;

  QPoint pressPos_;
  bool leftHeld_ = false;
};

}  // namespace parupo
