#include "addressbook/book_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace parupo {

namespace {

void drawFolder(QPainter& p, bool open) {
  p.setPen(QPen(QColor(150, 110, 20), 1));
  p.setBrush(QColor(240, 200, 90));
  const QPointF back[] = {{1.5, 3.5}, {6.5, 3.5}, {7.5, 5}, {14.5, 5}, {14.5, 13.5}, {1.5, 13.5}};
  p.drawPolygon(back, 6);
  if (open) {
    p.setBrush(QColor(255, 225, 130));
    const QPointF front[] = {{1.5, 13.5}, {4, 7.5}, {15.5, 7.5}, {13, 13.5}};
    p.drawPolygon(front, 4);
  }
}

void drawLetter(QPainter& p) {
  p.setPen(QPen(QColor(40, 60, 120), 1));
  p.setBrush(QColor(255, 255, 240));
  p.drawRect(QRectF(1.5, 3.5, 13, 9));
  QPainterPath flap;
  flap.moveTo(1.5, 3.5);
  flap.lineTo(8, 9);
  flap.lineTo(14.5, 3.5);
  p.setBrush(Qt::NoBrush);
  p.drawPath(flap);
}

void drawMobile(QPainter& p) {
  p.setPen(QPen(QColor(50, 50, 60), 1));
  p.setBrush(QColor(120, 160, 210));
  p.drawRoundedRect(QRectF(4.5, 1.5, 7, 13), 1.5, 1.5);
  p.setBrush(QColor(220, 240, 255));
  p.drawRect(QRectF(6, 3.5, 4, 4));
  p.drawLine(QPointF(11.5, 1.5), QPointF(11.5, 0));
  p.setPen(QPen(QColor(30, 30, 40), 1.2));
  for (double y : {9.5, 11.5})
    for (double x : {6.5, 8.0, 9.5}) p.drawPoint(QPointF(x, y));
}

QIcon draw(int number) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  switch (number) {
    case 1: drawFolder(p, false); break;
    case 2: drawFolder(p, true); break;
    case 3: drawLetter(p); break;
    default: drawMobile(p); break;
  }
  p.end();
  return QIcon(pm);
}

}  // namespace

QIcon bookPicture(int number) {
  if (number < 1 || number > 4) return {};
  static const std::array<QIcon, 4> pictures = {draw(1), draw(2), draw(3), draw(4)};
  return pictures[number - 1];
}

}  // namespace parupo
