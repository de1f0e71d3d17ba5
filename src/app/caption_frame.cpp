#include "app/caption_frame.h"

#include <QStylePainter>
#include <qdrawutil.h>

namespace parupo {

namespace {

constexpr int kCaptionLeft = 6;  // the caption's distance from the left corner
constexpr int kCaptionGap = 2;   // clear space either side of the caption on the line

}  // namespace

CaptionFrame::CaptionFrame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {
  setAccessibleName(caption);
}

int CaptionFrame::frameLineY() const { return fontMetrics().height() / 2; }

QRect CaptionFrame::captionRect() const {
  const QFontMetrics metrics = fontMetrics();
  return {kCaptionLeft, 0, metrics.horizontalAdvance(title()) + 2 * kCaptionGap, metrics.height()};
}

// An etched frame from the caption's middle down (the styles' own group-box frames
// start below the caption); the caption is drawn on the window's background over it.
void CaptionFrame::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  qDrawShadeRect(&painter, rect().adjusted(0, frameLineY(), 0, 0), palette(), true, 1, 0);
  const QRect caption = captionRect();
  painter.fillRect(caption, palette().brush(backgroundRole()));
  painter.drawItemText(caption, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), title(),
                       QPalette::WindowText);
}

}  // namespace parupo
