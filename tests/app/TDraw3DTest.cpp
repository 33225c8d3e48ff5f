#include "app/TDraw3D.h"

#include <gtest/gtest.h>

#include <QImage>

using vadelux::app::TDraw3D;

TEST(tdraw3d_test, paints_start_at_the_top_middle_halfway_and_end_at_the_bottom) {
  TDraw3D panel(QColor(0xF9, 0xD3, 0x7D), Qt::white, QColor(0x20, 0x40, 0x80));
  panel.resize(30, 101);
  const QImage shot = panel.grab().toImage().scaled(30, 101);
  for (int x : {0, 15, 29}) {
    EXPECT_EQ(shot.pixelColor(x, 0), QColor(0xF9, 0xD3, 0x7D)) << x;
    EXPECT_EQ(shot.pixelColor(x, 50), QColor(Qt::white)) << x;
    EXPECT_EQ(shot.pixelColor(x, 100), QColor(0x20, 0x40, 0x80)) << x;
  }
  // Between the stops the colour runs through both: a quarter of the way down it lies between start and
  // white.
  const QColor quarter = shot.pixelColor(15, 25);
  EXPECT_GT(quarter.blue(), 0x7D);
  EXPECT_LT(quarter.blue(), 0xFF);

  panel.setColors(Qt::black, Qt::black, Qt::red);
  const QImage repainted = panel.grab().toImage().scaled(30, 101);
  EXPECT_EQ(repainted.pixelColor(0, 0), QColor(Qt::black));
  EXPECT_EQ(repainted.pixelColor(0, 100), QColor(Qt::red));
}
