// The help tests' windows: the QApplication that the test program's environment makes, and cleaning up.
#pragma once

#include <QApplication>
#include <QWidget>
#include <ostream>

namespace vadelux::testing {

// Deletes every window left open by a test, so that the next one starts from none.
inline void closeAllWindows() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->parentWidget() == nullptr) {
      delete widget;
    }
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace vadelux::testing

// Failure messages show texts as text.
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
