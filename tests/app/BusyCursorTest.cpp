#include "app/BusyCursor.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>
#include <stdexcept>

using vadelux::app::BusyCursor;

TEST(busy_cursor_test, shows_the_hourglass_and_restores_it_on_every_way_out) {
  ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
  {
    BusyCursor busy;
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  try {
    BusyCursor busy;
    throw std::runtime_error("fallo a mitad de la transformación");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
