// Stands in for the timetable generator's window in the end-to-end test: a plain window whose X11 id is
// printed in hexadecimal, for the program to embed itself in. It ends by itself after two minutes.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QLabel host(QStringLiteral("Horvane"));
  host.setWindowTitle(QStringLiteral("Horvane de prueba"));
  host.setAlignment(Qt::AlignBottom | Qt::AlignRight);
  host.setStyleSheet(QStringLiteral("background: #5A7FA8; color: white;"));
  host.resize(760, 420);
  host.move(40, 40);
  host.show();
  std::printf("%llx\n", static_cast<unsigned long long>(host.winId()));
  std::fflush(stdout);
  QTimer::singleShot(120000, &application, &QCoreApplication::quit);
  return QApplication::exec();
}
