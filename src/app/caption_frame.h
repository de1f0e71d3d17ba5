// A panel with its caption in the frame line, as the main window's panels are drawn:
// the line runs through the middle of the caption, which interrupts it near the left
// corner. The controls inside are placed in twips from the panel's top-left corner and
// start below the line. Its accessible name is the caption.
#pragma once

#include <QGroupBox>

namespace parupo {

class CaptionFrame final : public QGroupBox {
 public:
  CaptionFrame(const QString& caption, QWidget* parent);

  int frameLineY() const;     // the top frame line, in the panel's pixels
  QRect captionRect() const;  // where the caption is drawn over the line

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace parupo
