// Gradient panel: the background of the program's windows, a vertical gradient through three colours
// (start at the top, middle halfway, end at the bottom). Child widgets sit on it.
#pragma once

#include <QColor>
#include <QWidget>

namespace vadelux::app {

class TDraw3D : public QWidget {
  Q_OBJECT

 public:
  TDraw3D(QColor start, QColor middle, QColor end, QWidget* parent = nullptr);

  QColor startColor() const { return start_; }
  QColor middleColor() const { return middle_; }
  QColor endColor() const { return end_; }
  void setColors(QColor start, QColor middle, QColor end);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor start_;
  QColor middle_;
  QColor end_;
};

}  // namespace vadelux::app
