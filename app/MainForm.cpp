#include "app/MainForm.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QWindow>
#include <exception>
#include <optional>

#include "app/BusyCursor.h"
#include "app/Glyphs.h"
#include "app/OpenDialog.h"
#include "app/TDraw3D.h"
#include "common/IniFile.h"
#include "conversion/ConversionRun.h"
#include "export/ExportRun.h"

namespace vadelux::app {
namespace {

constexpr int kWidth = 632;
constexpr int kHeight = 266;
constexpr int kHelpContext = 3;
constexpr int kLaunched = 2;

// The caller's window handle: hexadecimal digits only, at most 32 bits.
std::optional<WId> parseWindowHandle(const QString& text) {
  if (text.isEmpty()) {
    return std::nullopt;
  }
  quint64 value = 0;
  for (const QChar c : text) {
    int digit = 0;
    if (c >= u'0' && c <= u'9') {
      digit = c.unicode() - u'0';
    } else if (c >= u'a' && c <= u'f') {
      digit = c.unicode() - u'a' + 10;
    } else if (c >= u'A' && c <= u'F') {
      digit = c.unicode() - u'A' + 10;
    } else {
      return std::nullopt;
    }
    value = value * 16 + static_cast<quint64>(digit);
    if (value > 0xFFFFFFFFu) {
      return std::nullopt;
    }
  }
  return static_cast<WId>(value);
}

// Clears the pointer to the run in progress however the run ends.
struct ForgetOnExit {
  conversion::ConversionRun*& run;
  ~ForgetOnExit() { run = nullptr; }
};

std::filesystem::path pathOf(const QString& file) {
  return std::filesystem::path(QFile::encodeName(file).toStdString());
}

// Lower-cases A to Z only.
QString lowerAscii(QString text) {
  for (QChar& c : text) {
    if (c >= u'A' && c <= u'Z') {
      c = QChar(c.unicode() + (u'a' - u'A'));
    }
  }
  return text;
}

QPushButton* bitmapButton(const QString& text, const QIcon& glyph, QWidget* parent) {
  auto* button = new QPushButton(glyph, text, parent);
  button->setIconSize(QSize(18, 18));
  return button;
}

QLabel* captionLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setFont(QFont(QStringLiteral("Arial"), 12, QFont::Bold));
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  return label;
}

}  // namespace

template <typename Body>
void TMForm::guarded(Body&& body) {
  try {
    body();
  } catch (const std::exception& error) {
    mensaje(QString::fromUtf8(error.what()));
  }
}

TMForm::TMForm(QStringList parameters, FormServices services, QWidget* parent)
    : QWidget(parent), parameters_(std::move(parameters)), services_(std::move(services)) {
  setObjectName(QStringLiteral("MForm"));
  buildLayout();
  FormCreate();
}

void TMForm::buildLayout() {
  setWindowTitle(QStringLiteral("Exportar e importar datos entre Horvane y Rayuela"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
  setFixedSize(kWidth, kHeight);
  if (const QScreen* where = screen()) {
    move(where->availableGeometry().center() - rect().center());
  }

  const QColor sand(0xF9, 0xD3, 0x7D);
  const QColor peach(0xFF, 0xEE, 0xDD);
  Draw3D2 = new TDraw3D(sand, Qt::white, peach, this);
  Draw3D2->setGeometry(0, 0, 315, 169);
  Draw3D3 = new TDraw3D(sand, Qt::white, peach, this);
  Draw3D3->setGeometry(315, 0, 317, 169);
  Draw3D1 = new TDraw3D(QColor(0xC2, 0xCD, 0xFE), QColor(0xCF, 0xF2, 0xFE), QColor(0xCC, 0xD8, 0xE6), this);
  Draw3D1->setGeometry(0, 169, 633, 97);

  Label3 = captionLabel(QStringLiteral("Transformar datos desde Rayuela hacia Horvane "), Draw3D2);
  Label3->setGeometry(16, 40, 283, 52);
  BExportar = bitmapButton(QStringLiteral("Aceptar"), okGlyph(), Draw3D2);
  BExportar->setGeometry(113, 108, 89, 25);

  Label4 = captionLabel(QStringLiteral("Transformar datos desde Horvane hacia Rayuela"), Draw3D3);
  Label4->setGeometry(16, 40, 285, 52);
  BImportar = bitmapButton(QStringLiteral("Aceptar"), okGlyph(), Draw3D3);
  BImportar->setGeometry(114, 108, 89, 25);

  Label1 = new QLabel(QStringLiteral("Vadelux para HV10 V-1.1"), Draw3D1);
  QFont productFont = font();
  productFont.setBold(true);
  Label1->setFont(productFont);
  QPalette red = Label1->palette();
  red.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
  Label1->setPalette(red);
  Label1->setGeometry(16, 40, 240, 16);

  Button1 = new QPushButton(QStringLiteral("F1 Ayuda"), Draw3D1);
  Button1->setGeometry(428, 36, 89, 25);
  BClose = bitmapButton(QStringLiteral("&Salir"), closeGlyph(), Draw3D1);
  BClose->setGeometry(528, 36, 89, 25);

  OpenDialogXML = new OpenDialog(QStringLiteral("Archivo XML"), QStringLiteral("*.xml (*.xml)"),
                                 QStringLiteral("xml"), this);

  Draw3D1->setObjectName(QStringLiteral("Draw3D1"));
  Draw3D2->setObjectName(QStringLiteral("Draw3D2"));
  Draw3D3->setObjectName(QStringLiteral("Draw3D3"));
  Label1->setObjectName(QStringLiteral("Label1"));
  Label3->setObjectName(QStringLiteral("Label3"));
  Label4->setObjectName(QStringLiteral("Label4"));
  BExportar->setObjectName(QStringLiteral("BExportar"));
  BImportar->setObjectName(QStringLiteral("BImportar"));
  BClose->setObjectName(QStringLiteral("BClose"));
  Button1->setObjectName(QStringLiteral("Button1"));
  OpenDialogXML->setObjectName(QStringLiteral("OpenDialogXML"));

  connect(BExportar, &QPushButton::clicked, this, &TMForm::BExportarClick);
  connect(BImportar, &QPushButton::clicked, this, &TMForm::BImportarClick);
  connect(Button1, &QPushButton::clicked, this, &TMForm::Button1Click);
  connect(BClose, &QPushButton::clicked, this, &QWidget::close);
  // F1 anywhere in the window opens the window's help topic.
  auto* helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
  helpKey->setContext(Qt::WindowShortcut);
  connect(helpKey, &QShortcut::activated, this,
          [this] { guarded([this] { services_.showHelpTopic(this, kHelpContext); }); });
}

void TMForm::FormCreate() {
  CodigoResultado = 0;
  if (parameters_.size() != 2) {
    return;
  }
  const std::optional<WId> handle = parseWindowHandle(parameters_.at(1));
  if (!handle) {
    // Shown like any error that reaches the window; the window stays a normal one.
    mensaje(QStringLiteral("'$%1' no es un valor entero válido").arg(parameters_.at(1)));
    return;
  }
  parentWindowId_ = *handle;
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  if (QWindow* host = QWindow::fromWinId(*handle)) {
    winId();
    windowHandle()->setParent(host);
  }
  setGeometry(0, 0, kWidth, kHeight);
  ModoLlamada = kLaunched;
}

void TMForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!shown_) {
    shown_ = true;
    // After the window has appeared, so that a launched run shows over a visible window.
    QMetaObject::invokeMethod(this, &TMForm::FormShow, Qt::QueuedConnection);
  }
}

void TMForm::FormShow() {
  if (parameters_.size() != 2) {
    return;
  }
  const QString word = lowerAscii(parameters_.at(0));
  if (word == QStringLiteral("importar")) {
    BImportarClick();
  } else if (word == QStringLiteral("exportar")) {
    BExportarClick();
  }
}

void TMForm::closeEvent(QCloseEvent* event) {
  event->accept();
  FormClose(event);
  if (event->isAccepted()) {
    emit formClosed();
  }
}

void TMForm::FormClose(QCloseEvent* event) {
  if (ModoLlamada != kLaunched) {
    return;
  }
  const std::filesystem::path ini = services_.programFolder / "Horvane.ini";
  try {
    writeIniValue(ini, "Transformadores", "Transformado", std::to_string(CodigoResultado));
  } catch (const std::exception&) {
    mensaje(QStringLiteral("Unable to write to %1").arg(QFile::decodeName(ini.c_str())));
    event->ignore();
  }
}

void TMForm::BExportarClick() {
  guarded([this] {
    if (!elegirArchivoXML()) {
      return;
    }
    if (!std::filesystem::is_regular_file(services_.programFolder / "NIVELEX.DBF")) {
      mensaje(QStringLiteral("ATENCIÓN - NIVELEX.DBF No encontrado - Reinstale VADELUX"));
      return;
    }
    ejecutarExportar();
  });
}

void TMForm::BImportarClick() {
  guarded([this] {
    if (!elegirArchivoXML()) {
      return;
    }
    ejecutarImportar();
  });
}

void TMForm::Button1Click() {
  guarded([this] { services_.showHelpContents(this); });
}

bool TMForm::elegirArchivoXML() {
  if (OpenDialogXML->execute(this)) {
    ArchivoXML = OpenDialogXML->fileName();
  }
  if (!QFileInfo(ArchivoXML).isFile()) {
    mensaje(QStringLiteral("No existe archivo"));
    if (ModoLlamada == kLaunched) {
      CodigoResultado = -1;
      close();
    }
    return false;
  }
  return true;
}

void TMForm::ejecutarExportar() {
  {
    const BusyCursor busy;
    const std::filesystem::path xmlFile = pathOf(ArchivoXML);
    conversion::ConversionRun run({xmlFile, services_.workingFolder, services_.programFolder,
                                   [this, xmlFile](const std::vector<rayuela::Record>&) {
                                     return services_.chooseTemplate(this, xmlFile);
                                   }});
    run_ = &run;
    const ForgetOnExit forget{run_};
    TransformarMaterias();
    TransformarActividades();
    TransformarEmpleados();
    TransformarDependencias();
    TransformarCursosUnidades();
    TransformarAsignaciones();
    TransformarJornadasTramos();
    JornadaElegida = run.publish().jornadaElegida;
  }
  runCompleted();
}

void TMForm::TransformarMaterias() {
  run_->steps().TransformarMaterias();
}
void TMForm::TransformarActividades() {
  run_->steps().TransformarActividades();
}
void TMForm::TransformarEmpleados() {
  run_->steps().TransformarEmpleados();
}
void TMForm::TransformarDependencias() {
  run_->steps().TransformarDependencias();
}
void TMForm::TransformarCursosUnidades() {
  run_->steps().TransformarCursosUnidades();
}
void TMForm::TransformarAsignaciones() {
  run_->steps().TransformarAsignaciones();
}
void TMForm::TransformarJornadasTramos() {
  run_->steps().TransformarJornadasTramos();
}

void TMForm::ejecutarImportar() {
  {
    const BusyCursor busy;
    exporting::runExport({pathOf(ArchivoXML), services_.workingFolder, {}});
  }
  runCompleted();
}

void TMForm::runCompleted() {
  CodigoResultado = 1;
  mensaje(QStringLiteral("Proceso finalizado"));
  if (ModoLlamada == kLaunched) {
    close();
  }
}

void TMForm::mensaje(const QString& text) {
  services_.showMessage(this, text);
}

}  // namespace vadelux::app
