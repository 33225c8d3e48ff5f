#include "app/MainForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/OpenDialog.h"
#include "app/TDraw3D.h"
#include "common/Error.h"
#include "tables/DbfTable.h"
#include "tables/DbfWriter.h"
#include "tests/support/SolucLayout.h"

namespace fs = std::filesystem;
using vadelux::app::FormServices;
using vadelux::app::OpenDialog;
using vadelux::app::TDraw3D;
using vadelux::app::TMForm;

namespace {

const QString kNoFile = QStringLiteral("No existe archivo");
const QString kNoNivelex = QStringLiteral("ATENCIÓN - NIVELEX.DBF No encontrado - Reinstale VADELUX");
// The start of the message of an export whose working folder holds no tables.
const QString kNoSoluc = QStringLiteral("No existe la tabla SOLUC.DBF");
const QString kDone = QStringLiteral("Proceso finalizado");

// Each message starts with the expected text (messages that name a temporary path end differently).
bool startWith(const QStringList& messages, const QStringList& starts) {
  if (messages.size() != starts.size()) {
    return false;
  }
  for (qsizetype i = 0; i < messages.size(); ++i) {
    if (!messages[i].startsWith(starts[i])) {
      return false;
    }
  }
  return true;
}

std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A main window over a temporary program folder, whose messages, help requests and file questions are
// recorded instead of shown.
class Harness {
 public:
  explicit Harness(QStringList parameters) {
    FormServices services;
    services.programFolder = folder();
    services.workingFolder = folder() / "HTEMP";
    services.chooseTemplate = [this](QWidget*, const fs::path& xml) {
      templateQuestions.push_back(xml);
      return templateAnswer;
    };
    services.showMessage = [this](QWidget*, const QString& text) { messages << text; };
    services.showHelpContents = [this](QWidget*) { ++helpContents; };
    services.showHelpTopic = [this](QWidget*, int context) { helpTopics.push_back(context); };
    form = std::make_unique<TMForm>(std::move(parameters), std::move(services));
    QObject::connect(form.get(), &TMForm::formClosed, [this] { ++closedSignals; });
    dialog().setChooser([this](QWidget*, const OpenDialog& asked) -> std::optional<QString> {
      ++dialogCalls;
      openedOn = asked.fileName();
      std::optional<QString> answer;
      if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
      }
      return answer;
    });
  }
  Harness(const Harness&) = delete;
  Harness& operator=(const Harness&) = delete;

  fs::path folder() const { return fs::path(dir_.path().toStdString()); }
  fs::path ini() const { return folder() / "Horvane.ini"; }
  QString makeFile(const char* name) const {
    const fs::path file = folder() / name;
    std::ofstream(file) << "<SERVICIO/>";
    return QString::fromStdString(file.string());
  }
  OpenDialog& dialog() const { return *form->findChild<OpenDialog*>(QStringLiteral("OpenDialogXML")); }
  template <typename T>
  T* child(const char* name) const {
    return form->findChild<T*>(QString::fromLatin1(name));
  }
  void click(const char* button) const { child<QPushButton>(button)->click(); }
  // Shows the window and lets the start-up run, if any, happen.
  void show() const {
    form->show();
    QCoreApplication::processEvents();
  }

  QStringList messages;
  std::vector<fs::path> templateQuestions;
  std::string templateAnswer;
  int helpContents = 0;
  std::vector<int> helpTopics;
  int dialogCalls = 0;
  QString openedOn;
  int closedSignals = 0;
  std::deque<std::optional<QString>> answers;  // the user's answers to the file dialog; nothing = cancel
  std::unique_ptr<TMForm> form;

 private:
  QTemporaryDir dir_;
};

QString hex(QColor c) {
  return c.name(QColor::HexRgb).toUpper();
}

}  // namespace

TEST(main_form_test, lays_out_the_window_with_its_panels_labels_and_buttons) {
  Harness h({});
  TMForm& form = *h.form;
  EXPECT_EQ(form.objectName(), QStringLiteral("MForm"));
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Exportar e importar datos entre Horvane y Rayuela"));
  EXPECT_EQ(form.minimumSize(), QSize(632, 266));
  EXPECT_EQ(form.maximumSize(), QSize(632, 266));
  EXPECT_FALSE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(form.font().family(), QStringLiteral("MS Sans Serif"));
  EXPECT_EQ(form.font().pointSize(), 8);
  const QRect screen = form.screen()->availableGeometry();
  EXPECT_LE((form.geometry().center() - screen.center()).manhattanLength(), 2) << "centred on the screen";

  struct Panel {
    const char* name;
    QRect geometry;
    const char* start;
    const char* middle;
    const char* end;
  };
  const Panel panels[] = {
      {"Draw3D2", {0, 0, 315, 169}, "#F9D37D", "#FFFFFF", "#FFEEDD"},
      {"Draw3D3", {315, 0, 317, 169}, "#F9D37D", "#FFFFFF", "#FFEEDD"},
      {"Draw3D1", {0, 169, 633, 97}, "#C2CDFE", "#CFF2FE", "#CCD8E6"},
  };
  for (const Panel& p : panels) {
    const TDraw3D* panel = h.child<TDraw3D>(p.name);
    ASSERT_NE(panel, nullptr) << p.name;
    EXPECT_EQ(panel->parentWidget(), &form) << p.name;
    EXPECT_EQ(panel->geometry(), p.geometry) << p.name;
    EXPECT_EQ(hex(panel->startColor()), QString::fromLatin1(p.start)) << p.name;
    EXPECT_EQ(hex(panel->middleColor()), QString::fromLatin1(p.middle)) << p.name;
    EXPECT_EQ(hex(panel->endColor()), QString::fromLatin1(p.end)) << p.name;
  }

  struct Item {
    const char* name;
    const char* panel;
    QString text;
  };
  const Item items[] = {
      {"Label3", "Draw3D2", QStringLiteral("Transformar datos desde Rayuela hacia Horvane ")},
      {"BExportar", "Draw3D2", QStringLiteral("Aceptar")},
      {"Label4", "Draw3D3", QStringLiteral("Transformar datos desde Horvane hacia Rayuela")},
      {"BImportar", "Draw3D3", QStringLiteral("Aceptar")},
      {"Label1", "Draw3D1", QStringLiteral("Vadelux para HV10 V-1.1")},
      {"BClose", "Draw3D1", QStringLiteral("&Salir")},
      {"Button1", "Draw3D1", QStringLiteral("F1 Ayuda")},
  };
  for (const Item& item : items) {
    const QWidget* widget = h.child<QWidget>(item.name);
    ASSERT_NE(widget, nullptr) << item.name;
    EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(item.panel)) << item.name;
    EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry()))
        << item.name << " lies inside its panel";
    const auto* label = qobject_cast<const QLabel*>(widget);
    const auto* button = qobject_cast<const QPushButton*>(widget);
    EXPECT_EQ(label ? label->text() : button->text(), item.text) << item.name;
  }

  for (const char* name : {"BExportar", "BImportar", "BClose"}) {
    const QPushButton* button = h.child<QPushButton>(name);
    EXPECT_EQ(button->size(), QSize(89, 25)) << name;
    EXPECT_FALSE(button->icon().isNull()) << name << " has its glyph";
  }
  EXPECT_GE(h.child<QWidget>("BExportar")->y(), h.child<QWidget>("Label3")->geometry().bottom())
      << "under its label";
  EXPECT_GE(h.child<QWidget>("BImportar")->y(), h.child<QWidget>("Label4")->geometry().bottom())
      << "under its label";

  for (const char* name : {"Label3", "Label4"}) {
    const QLabel* label = h.child<QLabel>(name);
    EXPECT_EQ(label->font().family(), QStringLiteral("Arial")) << name;
    EXPECT_EQ(label->font().pointSize(), 12) << name;
    EXPECT_TRUE(label->font().bold()) << name;
    EXPECT_TRUE(label->wordWrap()) << name;
    EXPECT_EQ(QFontInfo(label->font()).family(), QStringLiteral("Liberation Sans")) << name;
  }
  const QLabel* product = h.child<QLabel>("Label1");
  EXPECT_TRUE(product->font().bold());
  EXPECT_EQ(product->font().pointSize(), 8);
  EXPECT_EQ(hex(product->palette().color(QPalette::WindowText)), QStringLiteral("#FF0000"));
}

TEST(main_form_test, paints_each_panel_where_it_belongs) {
  Harness h({});
  const QImage shot = h.form->grab().toImage();
  struct Probe {
    QPoint at;
    const char* colour;
  };
  const Probe probes[] = {
      {{2, 0}, "#F9D37D"},   {{2, 168}, "#FFEEDD"}, {{313, 0}, "#F9D37D"},   {{629, 168}, "#FFEEDD"},
      {{2, 169}, "#C2CDFE"}, {{2, 265}, "#CCD8E6"}, {{629, 169}, "#C2CDFE"},
  };
  for (const Probe& p : probes) {
    EXPECT_EQ(hex(shot.pixelColor(p.at * shot.devicePixelRatio())), QString::fromLatin1(p.colour))
        << p.at.x() << "," << p.at.y();
  }
}

TEST(main_form_test, command_line_decides_the_mode_and_the_run_at_start) {
  struct Case {
    QStringList parameters;
    int modoLlamada;
    WId parent;
    QStringList messages;  // the exported run stops at the lookup-table check, the imported one at SOLUC
    int dialogCalls;
  };
  const auto badHandle = [](const char* p) {
    return QStringLiteral("'$%1' no es un valor entero válido").arg(QString::fromLatin1(p));
  };
  const Case cases[] = {
      {{}, 0, 0, {}, 0},
      {{QStringLiteral("exportar")}, 0, 0, {}, 0},
      {{QStringLiteral("exportar"), QStringLiteral("1A2B"), QStringLiteral("x")}, 0, 0, {}, 0},
      {{QStringLiteral("EXPORTAR"), QStringLiteral("1A2B")}, 2, 6699, {kNoNivelex}, 1},
      {{QStringLiteral("Importar"), QStringLiteral("ff")}, 2, 255, {kNoSoluc}, 1},
      {{QStringLiteral("ExPoRtAr"), QStringLiteral("00000001")}, 2, 1, {kNoNivelex}, 1},
      {{QStringLiteral("convertir"), QStringLiteral("1A2B")}, 2, 6699, {}, 0},
      {{QStringLiteral("exportar "), QStringLiteral("1A2B")}, 2, 6699, {}, 0},
      {{QStringLiteral("exportar"), QStringLiteral("0x1A")}, 0, 0, {badHandle("0x1A"), kNoNivelex}, 1},
      {{QStringLiteral("importar"), QStringLiteral("-5")}, 0, 0, {badHandle("-5"), kNoSoluc}, 1},
      {{QStringLiteral("convertir"), QString()}, 0, 0, {badHandle("")}, 0},
      {{QStringLiteral("exportar"), QStringLiteral("zz")}, 0, 0, {badHandle("zz"), kNoNivelex}, 1},
      {{QStringLiteral("convertir"), QStringLiteral("100000000")}, 0, 0, {badHandle("100000000")}, 0},
  };
  for (const Case& c : cases) {
    const std::string label = c.parameters.join(QLatin1Char('|')).toStdString();
    Harness h(c.parameters);
    h.answers.push_back(h.makeFile("centro.xml"));
    h.show();
    EXPECT_EQ(h.form->modoLlamada(), c.modoLlamada) << label;
    EXPECT_EQ(h.form->parentWindowId(), c.parent) << label;
    EXPECT_TRUE(startWith(h.messages, c.messages))
        << label << ": " << h.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(h.dialogCalls, c.dialogCalls) << label;
    EXPECT_EQ(h.form->codigoResultado(), 0) << label;
    EXPECT_TRUE(h.form->isVisible()) << label;
    const bool launched = c.modoLlamada == 2;
    EXPECT_EQ(h.form->windowFlags().testFlag(Qt::FramelessWindowHint), launched) << label;
    if (launched) {
      EXPECT_EQ(h.form->geometry(), QRect(0, 0, 632, 266)) << label;
    }
  }
}

TEST(main_form_test, start_up_run_happens_once) {
  Harness h({QStringLiteral("importar"), QStringLiteral("1A2B")});
  h.answers = {h.makeFile("a.xml"), h.makeFile("b.xml")};
  h.show();
  h.form->hide();
  h.show();
  EXPECT_EQ(h.dialogCalls, 1);
  EXPECT_EQ(h.form->archivoXML(), h.makeFile("a.xml"));
}

TEST(main_form_test, cancelled_dialog_without_an_earlier_file_says_so) {
  Harness h({});
  h.show();
  h.click("BExportar");
  EXPECT_EQ(h.messages, QStringList{kNoFile});
  EXPECT_EQ(h.form->codigoResultado(), 0);
  EXPECT_TRUE(h.form->isVisible());
  EXPECT_TRUE(h.form->archivoXML().isEmpty());
  EXPECT_FALSE(fs::exists(h.ini()));

  const OpenDialog& asked = h.dialog();
  EXPECT_EQ(asked.title(), QStringLiteral("Archivo XML"));
  EXPECT_EQ(asked.filter(), QStringLiteral("*.xml (*.xml)"));
  EXPECT_EQ(asked.defaultSuffix(), QStringLiteral("xml"));
  EXPECT_TRUE(h.openedOn.isEmpty());
}

TEST(main_form_test, launched_run_without_a_file_closes_with_minus_one) {
  for (const char* button : {"BExportar", "BImportar"}) {
    Harness h({QStringLiteral("convertir"), QStringLiteral("1A2B")});
    h.show();
    h.click(button);
    EXPECT_EQ(h.messages, QStringList{kNoFile}) << button;
    EXPECT_EQ(h.form->codigoResultado(), -1) << button;
    EXPECT_FALSE(h.form->isVisible()) << button;
    EXPECT_EQ(h.closedSignals, 1) << button;
    EXPECT_EQ(readFile(h.ini()), "[Transformadores]\r\nTransformado=-1\r\n") << button;
  }
}

TEST(main_form_test, cancelled_dialog_keeps_the_file_chosen_in_either_direction) {
  Harness h({});
  h.show();
  const QString chosen = h.makeFile("centro.xml");
  h.answers = {chosen, std::nullopt};
  h.click("BImportar");
  EXPECT_TRUE(startWith(h.messages, {kNoSoluc}));
  EXPECT_EQ(h.form->archivoXML(), chosen);

  h.click("BExportar");
  EXPECT_EQ(h.openedOn, chosen) << "the dialog opens on the file chosen last";
  EXPECT_EQ(h.form->archivoXML(), chosen);
  EXPECT_TRUE(startWith(h.messages, {kNoSoluc, kNoNivelex})) << "the run went on with the earlier file";
}

TEST(main_form_test, a_path_that_is_not_a_file_is_no_file) {
  Harness h({});
  h.show();
  const QString typed = QString::fromStdString((h.folder() / "nada.xml").string());
  fs::create_directory(h.folder() / "carpeta.xml");
  h.answers = {typed, QString::fromStdString((h.folder() / "carpeta.xml").string()), std::nullopt};
  h.click("BImportar");
  EXPECT_EQ(h.form->archivoXML(), typed);
  h.click("BImportar");
  h.click("BExportar");
  EXPECT_EQ(h.openedOn, QString::fromStdString((h.folder() / "carpeta.xml").string()));
  EXPECT_EQ(h.messages, QStringList({kNoFile, kNoFile, kNoFile}));
  EXPECT_EQ(h.form->codigoResultado(), 0);
  EXPECT_TRUE(h.form->isVisible());
}

TEST(main_form_test, export_needs_the_lookup_table_in_the_program_folder) {
  Harness h({QStringLiteral("exportar"), QStringLiteral("1A2B")});
  h.answers = {h.makeFile("centro.xml"), std::nullopt};
  h.show();
  EXPECT_EQ(h.messages, QStringList{kNoNivelex});
  EXPECT_TRUE(h.form->isVisible()) << "a launched window stays open";
  EXPECT_EQ(h.form->codigoResultado(), 0);

  std::ofstream(h.folder() / "NIVELEX.DBF") << "x";
  h.messages.clear();
  h.click("BExportar");
  // Both checks pass; the run then stops at the file, which is no exchange file.
  EXPECT_TRUE(startWith(h.messages, {QStringLiteral("El archivo ")}))
      << h.messages.join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(h.messages.front().contains(QStringLiteral("BLOQUE_DATOS")));
  EXPECT_EQ(h.form->codigoResultado(), 0);

  EXPECT_TRUE(h.form->close());
  EXPECT_EQ(readFile(h.ini()), "[Transformadores]\r\nTransformado=0\r\n");
}

TEST(main_form_test, an_error_in_a_handler_is_shown_and_the_window_stays) {
  Harness h({QStringLiteral("convertir"), QStringLiteral("1A2B")});
  h.show();
  h.dialog().setChooser([](QWidget*, const OpenDialog&) -> std::optional<QString> {
    throw vadelux::Error("No se puede leer la carpeta");
  });
  h.click("BImportar");
  EXPECT_EQ(h.messages, QStringList{QStringLiteral("No se puede leer la carpeta")});
  EXPECT_TRUE(h.form->isVisible());
  EXPECT_EQ(h.form->codigoResultado(), 0);
}

TEST(main_form_test, closing_by_hand_writes_nothing) {
  Harness h({QStringLiteral("importar"), QStringLiteral("zz")});
  h.answers.push_back(std::nullopt);
  h.show();
  EXPECT_TRUE(h.form->close());
  EXPECT_EQ(h.closedSignals, 1);
  EXPECT_FALSE(fs::exists(h.ini()));
}

TEST(main_form_test, closing_when_launched_keeps_the_rest_of_the_ini_file) {
  Harness h({QStringLiteral("convertir"), QStringLiteral("ff")});
  fs::copy_file(fs::path(VADELUX_FIXTURES) / "app" / "Horvane.ini", h.ini());
  h.show();
  h.click("BClose");
  EXPECT_FALSE(h.form->isVisible());
  EXPECT_EQ(h.closedSignals, 1);
  EXPECT_EQ(readFile(h.ini()), readFile(fs::path(VADELUX_FIXTURES) / "app" / "Horvane-resultado-0.ini"));
}

TEST(main_form_test, an_unwritable_ini_file_keeps_the_window_open) {
  Harness h({QStringLiteral("convertir"), QStringLiteral("1A2B")});
  const std::string before = "[Transformadores]\r\nTransformado=1\r\n";
  std::ofstream(h.ini(), std::ios::binary) << before;
  fs::permissions(h.ini(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  h.show();
  EXPECT_FALSE(h.form->close());
  const QString expected =
      QStringLiteral("Unable to write to %1").arg(QString::fromStdString(h.ini().string()));
  EXPECT_EQ(h.messages, QStringList{expected});
  EXPECT_TRUE(h.form->isVisible());
  EXPECT_EQ(h.closedSignals, 0);
  EXPECT_EQ(readFile(h.ini()), before);

  fs::permissions(h.ini(), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_TRUE(h.form->close());
  EXPECT_EQ(readFile(h.ini()), "[Transformadores]\r\nTransformado=0\r\n");

  // A read-only program folder without the file.
  Harness g({QStringLiteral("convertir"), QStringLiteral("1A2B")});
  fs::permissions(g.folder(), fs::perms::owner_read | fs::perms::owner_exec);
  g.show();
  EXPECT_FALSE(g.form->close());
  fs::permissions(g.folder(), fs::perms::owner_all);
  EXPECT_EQ(
      g.messages,
      QStringList{QStringLiteral("Unable to write to %1").arg(QString::fromStdString(g.ini().string()))});
  EXPECT_FALSE(fs::exists(g.ini()));
}

TEST(main_form_test, help_key_opens_topic_three_and_the_help_button_the_contents) {
  Harness h({});
  h.show();
  QApplication::setActiveWindow(h.form.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(h.form.get()));
  for (const char* focused : {"BExportar", "Button1", "BClose"}) {
    QTest::keyClick(h.child<QWidget>(focused), Qt::Key_F1);
  }
  EXPECT_EQ(h.helpTopics, std::vector<int>({3, 3, 3}));
  EXPECT_EQ(h.helpContents, 0);

  h.click("Button1");
  EXPECT_EQ(h.helpContents, 1);
  EXPECT_EQ(h.helpTopics.size(), 3u);
}

namespace {

// A program folder with the shipped NIVELEX.DBF, an empty working folder and a realistic school file.
fs::path prepareRun(const Harness& h) {
  fs::create_directory(h.folder() / "HTEMP");
  fs::copy_file(fs::path(VADELUX_BIN_DIR) / "NIVELEX.DBF", h.folder() / "NIVELEX.DBF");
  const fs::path xml = h.folder() / "centro.xml";
  fs::copy_file(fs::path(VADELUX_FIXTURES) / "conversion" / "centro-iso.xml", xml);
  return xml;
}

// The generator's solution: one lesson of the first teacher.
void writeSolution(const fs::path& htemp) {
  const auto teachers = vadelux::tables::DbfTable::open(htemp / "PROFT.DBF");
  auto solution = vadelux::tables::DbfWriter::create(htemp / "SOLUC.DBF", vadelux::testing::solucLayout());
  solution.append();
  solution.setText("PROF", teachers.text(0, "ABREV"));
  solution.setInteger("DIA", 1);
  solution.setInteger("HORA", 1);
  solution.setText("ASIG", "Leng");
  solution.setText("CODGRUPO", "1ESO");
  solution.post();
  solution.close();
}

std::map<std::string, std::string> folderBytes(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    files[fs::relative(entry.path(), folder).string()] =
        entry.is_regular_file() ? readFile(entry.path()) : "<dir>";
  }
  return files;
}

}  // namespace

TEST(main_form_runs_test, both_directions_run_from_the_buttons_again_and_again) {
  Harness h({});
  const fs::path xml = prepareRun(h);
  h.templateAnswer = "1";
  h.answers = {QString::fromStdString(xml.string())};
  h.show();
  h.click("BExportar");
  EXPECT_EQ(h.messages, QStringList{kDone});
  EXPECT_EQ(h.templateQuestions, std::vector<fs::path>{xml}) << "the file holds two templates";
  EXPECT_EQ(h.form->codigoResultado(), 1);
  EXPECT_EQ(h.form->jornadaElegida(), "1");
  EXPECT_TRUE(h.form->isVisible()) << "by hand the window stays open";
  EXPECT_EQ(vadelux::tables::DbfTable::open(h.folder() / "HTEMP" / "DIASHORAST.DBF").rowCount(), 49u);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass is gone";

  // The other direction with the same file: the dialog is cancelled and the earlier choice stands.
  writeSolution(h.folder() / "HTEMP");
  h.answers = {std::nullopt};
  h.click("BImportar");
  EXPECT_EQ(h.messages, QStringList({kDone, kDone}));
  const std::string written = readFile(h.folder() / "ResultadoHorvancentro.xml");
  EXPECT_NE(written.find("seq=\"HORARIO_REGULAR_PROFESOR_6\""), std::string::npos);
  EXPECT_NE(written.find("<dato nombre_dato=\"X_UNIDAD\">u11</dato>"), std::string::npos);

  // A second conversion in the same program start works like the first.
  h.answers = {std::nullopt};
  h.click("BExportar");
  EXPECT_EQ(h.messages, QStringList({kDone, kDone, kDone}));
  EXPECT_EQ(h.templateQuestions.size(), 2u);
  EXPECT_EQ(vadelux::tables::DbfTable::open(h.folder() / "HTEMP" / "ASIGNOMT.DBF").rowCount(), 16u);
}

TEST(main_form_runs_test, a_launched_run_that_completes_closes_the_window_and_leaves_one) {
  for (const char* mode : {"exportar", "importar"}) {
    Harness h({QString::fromLatin1(mode), QStringLiteral("1A2B")});
    const fs::path xml = prepareRun(h);
    if (std::string(mode) == "importar") {
      Harness first({});
      first.templateAnswer = "2";
      fs::path firstXml = prepareRun(first);
      first.answers = {QString::fromStdString(firstXml.string())};
      first.click("BExportar");
      fs::remove(h.folder() / "HTEMP");
      fs::copy(first.folder() / "HTEMP", h.folder() / "HTEMP");
      writeSolution(h.folder() / "HTEMP");
    }
    h.templateAnswer = "1";
    h.answers = {QString::fromStdString(xml.string())};
    h.show();
    EXPECT_EQ(h.messages, QStringList{kDone}) << mode;
    EXPECT_EQ(h.form->codigoResultado(), 1) << mode;
    EXPECT_FALSE(h.form->isVisible()) << mode;
    EXPECT_EQ(h.closedSignals, 1) << mode;
    EXPECT_EQ(readFile(h.ini()), "[Transformadores]\r\nTransformado=1\r\n") << mode;
  }
}

TEST(main_form_runs_test, a_failing_run_shows_its_error_and_leaves_the_tables_and_the_code) {
  Harness h({QStringLiteral("exportar"), QStringLiteral("1A2B")});
  const fs::path xml = prepareRun(h);
  std::string text = readFile(xml);
  text.replace(text.find("<dato>777</dato>"), 16, "<dato>7a7</dato>");
  std::ofstream(xml, std::ios::binary) << text;
  std::ofstream(h.folder() / "HTEMP" / "ASIGNOMT.DBF") << "the tables of an earlier run";
  const auto before = folderBytes(h.folder() / "HTEMP");
  h.templateAnswer = "1";
  h.answers = {QString::fromStdString(xml.string())};
  h.show();
  EXPECT_EQ(h.messages, QStringList{QStringLiteral("'7a7' no es un valor entero válido")});
  EXPECT_EQ(h.form->codigoResultado(), 0);
  EXPECT_TRUE(h.form->isVisible()) << "a launched window stays open after an error";
  EXPECT_EQ(folderBytes(h.folder() / "HTEMP"), before);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
