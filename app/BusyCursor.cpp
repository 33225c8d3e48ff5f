#include "app/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace vadelux::app {

BusyCursor::BusyCursor() {
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyCursor::~BusyCursor() {
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace vadelux::app
