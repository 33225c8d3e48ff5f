// The one QApplication of the help tests, on the offscreen platform unless the environment names one.
#pragma once

#include <QApplication>
#include <QWidget>
#include <ostream>

namespace vadelux::testing {

inline QApplication& qtApp() {
  static int argc = 1;
  static char name[] = "help_test";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  static QApplication app(argc, argv);
  return app;
}

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
