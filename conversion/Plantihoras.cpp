#include "conversion/Plantihoras.h"

#include "app/DialogOwner.h"

#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <algorithm>
#include <utility>

#include "app/Glyphs.h"
#include "app/HelpWindow.h"
#include "app/TDraw3D.h"
#include "common/Error.h"
#include "common/Text.h"

namespace vadelux::conversion {

namespace {

constexpr int kHelpContext = 3;

// The form as designed: client area and outer position on the screen.
constexpr int kClientWidth = 370;
constexpr int kClientHeight = 193;
constexpr int kLeft = 368;
constexpr int kTop = 228;
constexpr int kPanelWidth = 369;
constexpr int kPanelHeight = 193;

// Gradient colours: sky blue, white, and the inactive-caption-text colour of the classic Windows scheme.
const QColor kSkyBlue(0xA6, 0xCA, 0xF0);
const QColor kInactiveCaptionText(0xD4, 0xD0, 0xC8);
const QColor kMaroon(0x80, 0x00, 0x00);

const char* const kGrupoPlantillas = "JORNADAS_ESCOLARES";
const char* const kGrupoTramos = "TRAMOS_HORARIOS";

QString fromWindows1252(const std::string& s) {
  const std::string utf8 = text::toUtf8(s);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string toWindows1252(const QString& s) {
  return text::toWindows1252(s.toStdString());
}

QFont pixelFont(const QString& family, int pixelSize, bool bold) {
  QFont font(family);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                  const QFont& font, bool wordWrap) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(geometry);
  label->setFont(font);
  label->setWordWrap(wordWrap);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setAutoFillBackground(false);  // transparent over the gradient
  return label;
}

// Sets a label's text at its designed font size, or smaller when the wrapped text would not fit its box.
void setFittedText(QLabel* label, const QString& text) {
  constexpr int kDesignedSize = 16;
  constexpr int kSmallestSize = 9;
  QFont font = label->font();
  int size = kDesignedSize;
  for (; size > kSmallestSize; --size) {
    font.setPixelSize(size);
    const QRect needed = QFontMetrics(font).boundingRect(QRect(0, 0, label->width(), 1000),
                                                         Qt::AlignLeft | Qt::TextWordWrap, text);
    if (needed.height() <= label->height() && needed.width() <= label->width()) {
      break;
    }
  }
  font.setPixelSize(size);
  label->setFont(font);
  label->setText(text);
}

void paintMaroon(QLabel* label) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, kMaroon);
  label->setPalette(palette);
}

}  // namespace

std::string TPlantillas::elegir(QWidget* owner, const std::filesystem::path& archivoXML) {
  TPlantillas Plantillas(archivoXML, app::dialogParent(owner));
  app::attachDialog(&Plantillas, owner);
  Plantillas.exec();
  return Plantillas.plantillaElegida();
}

TPlantillas::TPlantillas(std::filesystem::path archivoXML, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      archivoXML_(std::move(archivoXML)) {
  setObjectName(QStringLiteral("Plantillas"));
  setWindowTitle(QStringLiteral("Plantillas Horarias"));
  setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11, false));
  resize(kClientWidth, kClientHeight);
  move(kLeft, kTop);

  Draw3D4 = new app::TDraw3D(kSkyBlue, Qt::white, kInactiveCaptionText, this);
  Draw3D4->setObjectName(QStringLiteral("Draw3D4"));
  Draw3D4->setGeometry(0, 0, kPanelWidth, kPanelHeight);

  const QFont arial16 = pixelFont(QStringLiteral("Arial"), 16, true);
  LabelPlantillas =
      makeLabel(Draw3D4, "LabelPlantillas",
                QStringLiteral("Seleccione la Plantilla Horaria que quiere aplicar a su Horario en Horvane."),
                QRect(16, 2, 321, 33), pixelFont(QStringLiteral("Arial"), 13, true), true);
  Label1 = makeLabel(Draw3D4, "Label1", QStringLiteral("HORAS"), QRect(215, 30, 67, 18), arial16, false);
  paintMaroon(Label1);

  ComboBoxPlantilla = new QComboBox(Draw3D4);
  ComboBoxPlantilla->setObjectName(QStringLiteral("ComboBoxPlantilla"));
  ComboBoxPlantilla->setEditable(true);
  ComboBoxPlantilla->setCompleter(nullptr);
  ComboBoxPlantilla->setInsertPolicy(QComboBox::NoInsert);
  ComboBoxPlantilla->setGeometry(8, 49, 81, 21);
  ComboBoxPlantilla->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11, true));
  ComboBoxPlantilla->setStyleSheet(
      QStringLiteral("QComboBox { background-color: #FFFF00; }"
                     "QComboBox QLineEdit { background-color: #FFFF00; }"));

  LabelNombre = makeLabel(Draw3D4, "LabelNombre", QStringLiteral("-"), QRect(9, 76, 120, 23), arial16, true);
  LabelPlanFec1 =
      makeLabel(Draw3D4, "LabelPlanFec1", QStringLiteral("-"), QRect(9, 106, 120, 23), arial16, true);
  LabelPlanFec2 =
      makeLabel(Draw3D4, "LabelPlanFec2", QStringLiteral("-"), QRect(9, 138, 120, 23), arial16, true);
  paintMaroon(LabelNombre);
  paintMaroon(LabelPlanFec1);
  paintMaroon(LabelPlanFec2);

  ListBox1 = new QListWidget(Draw3D4);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox1->setGeometry(152, 47, 193, 114);
  ListBox1->setUniformItemSizes(true);

  BitBtnContinuar = new QPushButton(app::okGlyph(), QStringLiteral("Continuar"), Draw3D4);
  BitBtnContinuar->setObjectName(QStringLiteral("BitBtnContinuar"));
  BitBtnContinuar->setGeometry(255, 165, 89, 25);
  BitBtnContinuar->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11, true));
  BitBtnContinuar->setDefault(true);
  BitBtnContinuar->setAutoDefault(true);

  setTabOrder(BitBtnContinuar, ComboBoxPlantilla);
  setTabOrder(ComboBoxPlantilla, ListBox1);
  BitBtnContinuar->setFocus();

  connect(ComboBoxPlantilla, &QComboBox::editTextChanged, this,
          [this](const QString&) { ComboBoxPlantillaChange(); });
  connect(BitBtnContinuar, &QPushButton::clicked, this, [this] { BitBtnContinuarClick(); });

  auto* helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(helpKey, &QShortcut::activated, this, [this] { app::showHelpTopic(this, kHelpContext); });
}

TPlantillas::~TPlantillas() = default;

void TPlantillas::FormActivate() {
  DocPlantillas.reset();
  plantillas_.clear();
  tramos_.clear();
  try {
    DocPlantillas.emplace(rayuela::Document::loadGroupsRead(archivoXML_));
    plantillas_ = DocPlantillas->records(kGrupoPlantillas);
    tramos_ = DocPlantillas->records(kGrupoTramos);
  } catch (const Error&) {
    // A file that does not load leaves the document empty: no templates, no slots.
    DocPlantillas.reset();
  }

  if (plantillas_.size() > 1) {
    const QSignalBlocker blocker(ComboBoxPlantilla);
    ComboBoxPlantilla->clear();
    for (const rayuela::Record& plantilla : plantillas_) {
      ComboBoxPlantilla->addItem(fromWindows1252(plantilla.field(0)));
    }
  }
  {
    const QSignalBlocker blocker(ComboBoxPlantilla);
    ComboBoxPlantilla->setCurrentIndex(0);
  }
  ComboBoxPlantillaChange();
}

void TPlantillas::ComboBoxPlantillaChange() {
  const std::string codigo = toWindows1252(ComboBoxPlantilla->currentText());

  const rayuela::Record* elegida = nullptr;
  if (plantillas_.size() > 1) {
    // Exact comparison, nothing trimmed; the last equal record wins.
    for (const rayuela::Record& plantilla : plantillas_) {
      if (plantilla.field(0) == codigo) {
        elegida = &plantilla;
      }
    }
  }
  const QString guion = QStringLiteral("-");
  setFittedText(LabelNombre, elegida != nullptr ? fromWindows1252(elegida->field(1)) : guion);
  setFittedText(LabelPlanFec1, elegida != nullptr ? fromWindows1252(elegida->field(2)) : guion);
  setFittedText(LabelPlanFec2, elegida != nullptr ? fromWindows1252(elegida->field(3)) : guion);

  if (tramos_.size() > 1) {
    ListBox1->clear();
    for (const rayuela::Record& tramo : tramos_) {
      if (tramo.field(4) == codigo) {
        ListBox1->addItem(fromWindows1252(tramo.field(1)));
      }
    }
  }
}

void TPlantillas::BitBtnContinuarClick() {
  PlantillaElegida = text::trim(toWindows1252(ComboBoxPlantilla->currentText()));
  accept();
}

void TPlantillas::FormClose() {
  PlantillaElegida = text::trim(toWindows1252(ComboBoxPlantilla->currentText()));
}

void TPlantillas::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TPlantillas::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    if (activatedOnShow_) {
      activatedOnShow_ = false;  // the activation that follows showing: already done
    } else {
      FormActivate();
    }
  }
}

void TPlantillas::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Activation is up to the window system; the first one is not left to chance.
  FormActivate();
  activatedOnShow_ = true;
}

void TPlantillas::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  activatedOnShow_ = false;
}

void TPlantillas::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // The panel keeps its designed size and grows with the window.
  Draw3D4->resize(kPanelWidth + std::max(0, width() - kClientWidth),
                  kPanelHeight + std::max(0, height() - kClientHeight));
}

void TPlantillas::keyPressEvent(QKeyEvent* event) {
  // No cancel path: Escape does not close the dialog.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace vadelux::conversion
