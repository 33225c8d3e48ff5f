#include "app/Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace vadelux::app {
namespace {

constexpr int kSize = 18;

QPixmap blank() {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

}  // namespace

QIcon okGlyph() {
  QPixmap pixmap = blank();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath tick;
  tick.moveTo(2.5, 9.5);
  tick.lineTo(7.0, 14.0);
  tick.lineTo(15.5, 3.5);
  painter.setPen(QPen(QColor(0x00, 0x80, 0x00), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(tick);
  painter.end();
  return QIcon(pixmap);
}

QIcon closeGlyph() {
  QPixmap pixmap = blank();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  // Door frame.
  painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.0));
  painter.setBrush(QColor(0x20, 0x20, 0x20));
  painter.drawRect(QRectF(4.5, 1.5, 10.0, 15.0));
  // Door leaf swung open towards the viewer.
  const QPolygonF leaf({QPointF(4.5, 1.5), QPointF(10.5, 3.5), QPointF(10.5, 17.5), QPointF(4.5, 16.5)});
  painter.setPen(QPen(QColor(0x00, 0x50, 0x50), 1.0));
  painter.setBrush(QColor(0x00, 0x80, 0x80));
  painter.drawPolygon(leaf);
  // Knob.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xFF, 0xD7, 0x00));
  painter.drawEllipse(QPointF(9.0, 10.0), 1.0, 1.0);
  painter.end();
  return QIcon(pixmap);
}

}  // namespace vadelux::app
