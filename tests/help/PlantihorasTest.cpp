// The school-day template dialog on the offscreen platform, over small Rayuela files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/TDraw3D.h"
#include "conversion/Plantihoras.h"
#include "tests/help/QtTestApp.h"

namespace fs = std::filesystem;
using vadelux::conversion::TPlantillas;

namespace {

const fs::path kFixtures = fs::path(VADELUX_FIXTURES) / "help";
const fs::path kPlantillas = kFixtures / "plantillas.xml";

QStringList comboItems(const TPlantillas& dialog) {
  QStringList items;
  for (int i = 0; i < dialog.ComboBoxPlantilla->count(); ++i) {
    items << dialog.ComboBoxPlantilla->itemText(i);
  }
  return items;
}

QStringList listItems(const TPlantillas& dialog) {
  QStringList items;
  for (int i = 0; i < dialog.ListBox1->count(); ++i) {
    items << dialog.ListBox1->item(i)->text();
  }
  return items;
}

QStringList labels(const TPlantillas& dialog) {
  return {dialog.LabelNombre->text(), dialog.LabelPlanFec1->text(), dialog.LabelPlanFec2->text()};
}

// Types text into the combo box's edit field as a user would, replacing what is there.
void typeInto(QComboBox* combo, const QString& text) {
  QLineEdit* edit = combo->lineEdit();
  edit->selectAll();
  edit->del();
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &press);
  }
}

// Runs the dialog modally through elegir(); `act` works on the dialog once it is up.
std::string chooseWith(const fs::path& xml, const std::function<void(TPlantillas&)>& act) {
  QTimer::singleShot(0, [&act] {
    auto* dialog = qobject_cast<TPlantillas*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ADD_FAILURE() << "the dialog is not the active modal window";
      return;
    }
    act(*dialog);
  });
  return TPlantillas::elegir(nullptr, xml);
}

class PlantihorasTest : public ::testing::Test {
 protected:
  void TearDown() override { vadelux::testing::closeAllWindows(); }
};

}  // namespace

TEST_F(PlantihorasTest, the_form_is_laid_out_as_designed) {
  TPlantillas dialog(kPlantillas, nullptr);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Plantillas Horarias"));
  EXPECT_EQ(dialog.size(), QSize(370, 193));
  EXPECT_EQ(dialog.pos(), QPoint(368, 228));
  const Qt::WindowFlags flags = dialog.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);

  struct Control {
    const char* name;
    QRect geometry;
    QString text;
  };
  const std::vector<Control> controls = {
      {"Draw3D4", {0, 0, 369, 193}, {}},
      {"LabelPlantillas",
       {16, 2, 321, 33},
       QStringLiteral("Seleccione la Plantilla Horaria que quiere aplicar a su Horario en Horvane.")},
      {"Label1", {215, 30, 67, 18}, QStringLiteral("HORAS")},
      {"LabelNombre", {9, 76, 120, 23}, QStringLiteral("-")},
      {"LabelPlanFec1", {9, 106, 120, 23}, QStringLiteral("-")},
      {"LabelPlanFec2", {9, 138, 120, 23}, QStringLiteral("-")},
      {"ListBox1", {152, 47, 193, 114}, {}},
      {"BitBtnContinuar", {255, 165, 89, 25}, QStringLiteral("Continuar")},
  };
  for (const Control& c : controls) {
    auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(c.name));
    ASSERT_NE(widget, nullptr) << c.name;
    EXPECT_EQ(widget->geometry(), c.geometry) << c.name;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      EXPECT_EQ(label->text(), c.text) << c.name;
    }
  }
  EXPECT_EQ(dialog.BitBtnContinuar->text(), QStringLiteral("Continuar"));
  EXPECT_TRUE(dialog.BitBtnContinuar->isDefault());
  EXPECT_FALSE(dialog.BitBtnContinuar->icon().isNull());
  EXPECT_EQ(dialog.ComboBoxPlantilla->geometry().topLeft(), QPoint(8, 49));
  EXPECT_EQ(dialog.ComboBoxPlantilla->width(), 81);
  EXPECT_TRUE(dialog.ComboBoxPlantilla->isEditable());
  EXPECT_EQ(dialog.ComboBoxPlantilla->completer(), nullptr);
  EXPECT_EQ(dialog.Draw3D4->startColor(), QColor(0xA6, 0xCA, 0xF0));
  EXPECT_EQ(dialog.Draw3D4->middleColor(), QColor(Qt::white));
  EXPECT_EQ(dialog.Label1->palette().color(QPalette::WindowText), QColor(0x80, 0x00, 0x00));
  EXPECT_EQ(dialog.LabelNombre->palette().color(QPalette::WindowText), QColor(0x80, 0x00, 0x00));
}

TEST_F(PlantihorasTest, activation_lists_every_code_as_written_and_shows_the_first) {
  TPlantillas dialog(kPlantillas, nullptr);
  dialog.FormActivate();
  EXPECT_EQ(comboItems(dialog),
            (QStringList{QStringLiteral("JM"), QStringLiteral(" JT "), QStringLiteral("DUP"),
                         QStringLiteral("DUP"), QStringLiteral("MAÑ")}));
  EXPECT_EQ(dialog.ComboBoxPlantilla->currentText(), QStringLiteral("JM"));
  EXPECT_EQ(labels(dialog), (QStringList{QStringLiteral("Jornada de mañana"), QStringLiteral("01/09/2023"),
                                         QStringLiteral("30/06/2024")}));
  EXPECT_EQ(listItems(dialog), (QStringList{QStringLiteral("1ª hora"), QStringLiteral("2ª hora")}));

  // A second activation loads the file again and starts over from the first entry.
  typeInto(dialog.ComboBoxPlantilla, QStringLiteral("XYZ"));
  dialog.FormActivate();
  EXPECT_EQ(comboItems(dialog).size(), 5);
  EXPECT_EQ(dialog.ComboBoxPlantilla->currentText(), QStringLiteral("JM"));
  EXPECT_EQ(listItems(dialog), (QStringList{QStringLiteral("1ª hora"), QStringLiteral("2ª hora")}));
}

TEST_F(PlantihorasTest, the_combo_text_is_matched_exactly_and_trimmed_only_for_the_result) {
  struct Case {
    const char* what;
    std::function<void(QComboBox*)> choose;
    QStringList labels;
    QStringList slotTexts;
    std::string chosen;  // Windows-1252
  };
  const QStringList none{QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")};
  const std::vector<Case> cases = {
      {"code with blanks around it, picked from the list",
       [](QComboBox* c) { c->setCurrentIndex(1); },
       {QStringLiteral("Jornada de tarde"), QStringLiteral("15/09/2023"), QStringLiteral("21/06/2024")},
       {QStringLiteral("1ª tarde"), QStringLiteral("2ª tarde")},
       "JT"},
      {"the same code typed without its blanks",
       [](QComboBox* c) { typeInto(c, QStringLiteral("JT")); },
       none,
       {QStringLiteral("Sin blancos")},
       "JT"},
      {"a known code typed with blanks of its own",
       [](QComboBox* c) { typeInto(c, QStringLiteral("  JM ")); },
       none,
       {},
       "JM"},
      {"unknown text typed", [](QComboBox* c) { typeInto(c, QStringLiteral("XYZ")); }, none, {}, "XYZ"},
      {"two templates with one code, first entry picked: the later record shows",
       [](QComboBox* c) { c->setCurrentIndex(2); },
       {QStringLiteral("Segunda DUP"), QStringLiteral("01/02/2024"), QStringLiteral("29/02/2024")},
       {QStringLiteral("Única DUP")},
       "DUP"},
      {"letter case differs from the template's code",
       [](QComboBox* c) { typeInto(c, QStringLiteral("jm")); },
       none,
       {QStringLiteral("Recreo")},
       "jm"},
      {"accented code: the result is Windows-1252",
       [](QComboBox* c) { c->setCurrentIndex(4); },
       {QStringLiteral("Mañanas de verano"), QStringLiteral("01/07/2024"), QStringLiteral("31/07/2024")},
       {QStringLiteral("Verano")},
       "MA\xD1"},
      {"everything erased", [](QComboBox* c) { typeInto(c, QString()); }, none, {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string chosen = chooseWith(kPlantillas, [&c](TPlantillas& dialog) {
      c.choose(dialog.ComboBoxPlantilla);
      EXPECT_EQ(labels(dialog), c.labels);
      EXPECT_EQ(listItems(dialog), c.slotTexts);
      dialog.BitBtnContinuar->click();
    });
    EXPECT_EQ(chosen, c.chosen);
  }
}

TEST_F(PlantihorasTest, closing_by_the_close_box_gives_what_continuar_gives) {
  const auto pickTarde = [](TPlantillas& dialog) { dialog.ComboBoxPlantilla->setCurrentIndex(1); };
  const std::string byButton = chooseWith(kPlantillas, [&](TPlantillas& dialog) {
    pickTarde(dialog);
    dialog.BitBtnContinuar->click();
  });
  const std::string byCloseBox = chooseWith(kPlantillas, [&](TPlantillas& dialog) {
    pickTarde(dialog);
    dialog.close();
  });
  EXPECT_EQ(byButton, "JT");
  EXPECT_EQ(byCloseBox, "JT");

  // Enter presses the default button; Escape does not end the dialog.
  const std::string byEnter = chooseWith(kPlantillas, [&](TPlantillas& dialog) {
    pickTarde(dialog);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &escape);
    EXPECT_TRUE(dialog.isVisible());
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(dialog.BitBtnContinuar, &enter);
  });
  EXPECT_EQ(byEnter, "JT");
}

TEST_F(PlantihorasTest, a_single_template_and_slot_fill_nothing) {
  TPlantillas dialog(kFixtures / "una-plantilla.xml", nullptr);
  dialog.ListBox1->addItem(QStringLiteral("de antes"));
  dialog.FormActivate();
  EXPECT_EQ(dialog.ComboBoxPlantilla->count(), 0);
  EXPECT_EQ(labels(dialog), (QStringList{QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")}));
  typeInto(dialog.ComboBoxPlantilla, QStringLiteral("JM"));
  EXPECT_EQ(labels(dialog), (QStringList{QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")}));
  EXPECT_EQ(listItems(dialog), QStringList{QStringLiteral("de antes")});
}

TEST_F(PlantihorasTest, a_file_that_does_not_load_leaves_everything_empty) {
  for (const fs::path& xml :
       {kFixtures / "cortado.xml", kFixtures / "no-existe.xml", kFixtures / "basura.chm"}) {
    SCOPED_TRACE(xml.string());
    const std::string chosen = chooseWith(xml, [](TPlantillas& dialog) {
      EXPECT_EQ(dialog.ComboBoxPlantilla->count(), 0);
      EXPECT_EQ(dialog.ComboBoxPlantilla->currentText(), QString());
      EXPECT_EQ(labels(dialog), (QStringList{QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")}));
      EXPECT_EQ(dialog.ListBox1->count(), 0);
      dialog.BitBtnContinuar->click();
    });
    EXPECT_EQ(chosen, "");
  }
}

TEST_F(PlantihorasTest, a_name_too_long_for_its_box_is_shown_whole_in_smaller_letters) {
  TPlantillas dialog(kPlantillas, nullptr);
  dialog.FormActivate();
  const auto fits = [](QLabel* label) {
    const QRect needed =
        QFontMetrics(label->font())
            .boundingRect(QRect(0, 0, label->width(), 1000), Qt::TextWordWrap, label->text());
    return needed.height() <= label->height() && needed.width() <= label->width();
  };
  EXPECT_EQ(dialog.LabelNombre->text(), QStringLiteral("Jornada de mañana"));
  EXPECT_LT(dialog.LabelNombre->font().pixelSize(), 16);
  EXPECT_TRUE(fits(dialog.LabelNombre));
  // Short texts keep the designed size.
  EXPECT_EQ(dialog.LabelPlanFec1->font().pixelSize(), 16);
  dialog.ComboBoxPlantilla->setCurrentIndex(2);
  EXPECT_EQ(dialog.LabelNombre->text(), QStringLiteral("Segunda DUP"));
  EXPECT_EQ(dialog.LabelNombre->font().pixelSize(), 16);
  EXPECT_TRUE(fits(dialog.LabelNombre));
}
