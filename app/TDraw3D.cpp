#include "app/TDraw3D.h"

#include <QLinearGradient>
#include <QPainter>

namespace vadelux::app {

TDraw3D::TDraw3D(QColor start, QColor middle, QColor end, QWidget* parent)
    : QWidget(parent), start_(start), middle_(middle), end_(end) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TDraw3D::setColors(QColor start, QColor middle, QColor end) {
  start_ = start;
  middle_ = middle;
  end_ = end;
  update();
}

void TDraw3D::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  // The stops lie on the centres of the first and last pixel rows, so those rows show the exact colours.
  const qreal last = height() > 1 ? height() - 1 : 1;
  QLinearGradient gradient(0, 0.5, 0, last + 0.5);
  gradient.setColorAt(0.0, start_);
  gradient.setColorAt(0.5, middle_);
  gradient.setColorAt(1.0, end_);
  painter.fillRect(rect(), gradient);
}

}  // namespace vadelux::app
