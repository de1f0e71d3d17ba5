// A text box or list (a Qt scroll area) whose frame lines stay whole on a screen that Qt
// scales by a fraction, as 1.5 at 144 dpi: there the viewport, rounded out to whole
// device pixels, covers the frame's bottom or right line wherever that edge falls on a
// whole device pixel. One pixel between viewport and frame keeps the line. Used as
//   auto* body = new WholeFrame<QPlainTextEdit>(parent);
#pragma once

#include <QEvent>
#include <QWidget>
#include <cmath>

namespace parupo {

// The gap, in pixels, that keeps the frame of `area` whole at its scale.
inline int wholeFrameGap(const QWidget* area) {
  const qreal ratio = area->devicePixelRatioF();
  return ratio == std::floor(ratio) ? 0 : 1;
}

template <class ScrollArea>
class WholeFrame final : public ScrollArea {
 public:
  using ScrollArea::ScrollArea;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::Polish || e->type() == QEvent::Show || e->type() == QEvent::ScreenChangeInternal) {
      const int gap = wholeFrameGap(this);
      this->setViewportMargins(0, 0, gap, gap);
    }
    return ScrollArea::event(e);
  }
};

}  // namespace parupo
