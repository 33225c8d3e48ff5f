// Shows the help window at topic 3 and the template dialog on a real X server, takes a screenshot of each
// from the server and checks that it shows what it should.
// Usage: help_screenshots OUTPUT_DIR RAYUELA.chm PLANTILLAS.xml
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTextBrowser>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "app/HelpWindow.h"
#include "conversion/Plantihoras.h"

namespace fs = std::filesystem;

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FALLO", what.c_str());
  if (!ok) {
    ++failures;
  }
}

void waitUntil(const std::function<bool()>& done, int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
}

void settle(QWidget* window) {
  waitUntil([window] { return window->windowHandle() != nullptr && window->windowHandle()->isExposed(); },
            5000);
  waitUntil([] { return false; }, 400);  // let the first paint reach the server
}

QImage screenshot(QWidget* window, const fs::path& file) {
  const QPixmap pixmap = window->screen()->grabWindow(window->winId());
  fs::create_directories(file.parent_path());
  check(pixmap.save(QString::fromStdString(file.string()), "PNG"), "guardada " + file.string());
  return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

// Pixels within `tolerance` of `colour` in every channel.
int countNear(const QImage& image, QColor colour, int tolerance) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - colour.red()) <= tolerance &&
          std::abs(c.green() - colour.green()) <= tolerance &&
          std::abs(c.blue() - colour.blue()) <= tolerance) {
        ++count;
      }
    }
  }
  return count;
}

bool near(QColor a, QColor b, int tolerance) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "uso: help_screenshots CARPETA RAYUELA.chm PLANTILLAS.xml\n");
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // every line out, even if a checker ends the program
  QApplication app(argc, argv);
  const fs::path out = argv[1];
  const fs::path chm = argv[2];
  const fs::path xml = argv[3];
  check(QGuiApplication::platformName() == QStringLiteral("xcb"), "ventanas reales de X11");

  {
    vadelux::app::showHelpTopic(nullptr, 3, chm);
    vadelux::app::HelpWindow* help = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* w = qobject_cast<vadelux::app::HelpWindow*>(widget)) {
        help = w;
      }
    }
    check(help != nullptr, "ventana de ayuda abierta");
    if (help == nullptr) {
      return 1;
    }
    help->move(20, 20);
    settle(help);
    const QImage image = screenshot(help, out / "help-window.png");
    check(image.size() == help->size(), "captura del tamaño de la ventana de ayuda");
    check(help->browser()->documentTitle() == QStringLiteral("La ventana principal"), "tema 3 a la vista");
    // The page heading is maroon; the table headers sky blue.
    check(countNear(image, QColor(0x80, 0x00, 0x00), 40) > 40, "título del tema dibujado");
    check(countNear(image, QColor(0xA6, 0xCA, 0xF0), 8) > 500, "cabecera de tabla dibujada");
    delete help;
  }

  {
    vadelux::conversion::TPlantillas dialog(xml, nullptr);
    dialog.show();
    settle(&dialog);
    dialog.ComboBoxPlantilla->setCurrentIndex(0);
    waitUntil([] { return false; }, 200);
    const QImage image = screenshot(&dialog, out / "template-dialog.png");
    check(image.size() == QSize(370, 193), "captura del tamaño del cuadro");
    check(dialog.geometry().topLeft() == QPoint(368, 228), "cuadro en su sitio");
    check(near(image.pixelColor(2, 2), QColor(0xA6, 0xCA, 0xF0), 10), "degradado azul cielo arriba");
    check(near(image.pixelColor(2, 96), QColor(0xFF, 0xFF, 0xFF), 12), "blanco en medio");
    check(near(image.pixelColor(2, 190), QColor(0xD4, 0xD0, 0xC8), 12), "gris abajo");
    check(countNear(image, QColor(0xFF, 0xFF, 0x00), 10) > 300, "lista de plantillas amarilla");
    check(countNear(image, QColor(0x80, 0x00, 0x00), 40) > 100, "nombre y fechas en granate");
  }

  std::printf("%d comprobaciones fallidas\n", failures);
  return failures == 0 ? 0 : 1;
}
