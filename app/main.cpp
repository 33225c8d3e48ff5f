// The desktop program: one main window, by hand or launched by the timetable generator with a mode word
// and the handle of the window to live in.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

#include "app/MainForm.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vadelux"));
  // The platform's dialogs and buttons speak Spanish, like the rest of the program.
  QTranslator platformSpanish;
  if (platformSpanish.load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&platformSpanish);
  }

  QStringList parameters = QApplication::arguments();
  parameters.removeFirst();

  vadelux::app::TMForm MForm(parameters);
  // The program ends when the main window closes, and only then: embedded in another program's window, the
  // main window is not a top-level window, and closing a dialog would otherwise count as the last one
  // closing.
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(&MForm, &vadelux::app::TMForm::formClosed, &application, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  MForm.show();
  return QApplication::exec();
}
