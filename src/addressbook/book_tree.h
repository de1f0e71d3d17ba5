// The address book's tree control: reports presses and drops to its window and lets it
// decide, tells it when a key moved the current row, starts a drag of the pressed node
// once the mouse has really moved, moves its drop highlight (the selection) under the
// mouse while dragging, and never edits a name in place.
#pragma once

#include <QPoint>
#include <QTreeWidget>

namespace parupo {

class BookTree final : public QTreeWidget {
  Q_OBJECT

 public:
  explicit BookTree(QWidget* parent);

  // The drop highlight: the node drawn as selected, or none.
  QTreeWidgetItem* dropHighlight() const;
  void setDropHighlight(QTreeWidgetItem* item);

 signals:
  void pressed(Qt::MouseButton button, const QPoint& pos, const QPoint& globalPos);
  void dragRequested();  // the left button is held and the mouse has moved far enough
  void dropped();        // something of this tree was dropped on it
  void keyMoved();       // a key moved the current row

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QPoint pressPos_;
  bool leftHeld_ = false;
};

}  // namespace parupo
