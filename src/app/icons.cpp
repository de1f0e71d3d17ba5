#include "app/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace parupo {

namespace {

void drawEnvelope(QPainter& p, const QRectF& r) {
  p.setPen(QPen(QColor(40, 60, 120), 1));
  p.setBrush(QColor(255, 255, 240));
  p.drawRect(r);
  QPainterPath flap;
  flap.moveTo(r.topLeft());
  flap.lineTo(r.center().x(), r.top() + r.height() * 0.6);
  flap.lineTo(r.topRight());
  p.setBrush(Qt::NoBrush);
  p.drawPath(flap);
}

void drawPaperClip(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(90, 90, 100), 1.4));
  p.setBrush(Qt::NoBrush);
  QPainterPath clip;
  clip.moveTo(10, 4);
  clip.lineTo(10, 12);
  clip.arcTo(QRectF(5, 9.5, 5, 5), 0, -180);
  clip.lineTo(5, 3);
  clip.arcTo(QRectF(5, 0.5, 7, 5), 180, -180);
  clip.lineTo(12, 11);
  p.drawPath(clip);
}

QPixmap canvas(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  return pm;
}

}  // namespace

QIcon sendIcon() {
  QPixmap pm = canvas(16);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  drawEnvelope(p, QRectF(0.5, 4.5, 11, 8));
  p.setPen(QPen(QColor(200, 30, 30), 1.5));
  p.drawLine(QPointF(9, 3), QPointF(15, 3));
  p.drawLine(QPointF(12.5, 0.5), QPointF(15, 3));
  p.drawLine(QPointF(12.5, 5.5), QPointF(15, 3));
  p.end();
  return QIcon(pm);
}

QIcon attachmentIcon() {
  QPixmap pm = canvas(16);
  QPainter p(&pm);
  drawPaperClip(p);
  p.end();
  return QIcon(pm);
}

QIcon attachedIcon() {
  QPixmap pm = canvas(16);
  QPainter p(&pm);
  drawPaperClip(p);
  p.setPen(QPen(Qt::white, 1));
  p.setBrush(QColor(20, 150, 60));
  p.drawEllipse(QRectF(7.5, 7.5, 8, 8));
  p.setPen(QPen(Qt::white, 1.5));
  p.drawPolyline(QPolygonF({QPointF(9.5, 11.5), QPointF(11, 13), QPointF(13.5, 10)}));
  p.end();
  return QIcon(pm);
}

QIcon programIcon() {
  QIcon icon;
  for (int size : {16, 32, 48}) {
    QPixmap pm = canvas(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    drawEnvelope(p, QRectF(0.5, 3.5, 15, 10));
    p.end();
    icon.addPixmap(pm);
  }
  return icon;
}

}  // namespace parupo
