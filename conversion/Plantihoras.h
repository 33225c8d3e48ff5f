// The school-day template dialog: the user picks which template ("Plantillas Horarias") of a Rayuela
// file the timetable uses, seeing each template's name, dates and time slots.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>

#include "rayuela/Document.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace vadelux::app {
class TDraw3D;
}

namespace vadelux::conversion {

class TPlantillas : public QDialog {
  Q_OBJECT

 public:
  // Shows the dialog modally over `owner` for the Rayuela file `archivoXML` and returns the chosen
  // template code (PlantillaElegida): Windows-1252 text, trimmed; empty when the file does not load.
  static std::string elegir(QWidget* owner, const std::filesystem::path& archivoXML);

  TPlantillas(std::filesystem::path archivoXML, QWidget* owner);
  ~TPlantillas() override;

  // The combo text trimmed, as set by "Continuar" or by closing; empty before either.
  const std::string& plantillaElegida() const { return PlantillaElegida; }

  // The dialog's components, named as in the form.
  app::TDraw3D* Draw3D4 = nullptr;
  QLabel* LabelPlantillas = nullptr;
  QLabel* Label1 = nullptr;
  QComboBox* ComboBoxPlantilla = nullptr;
  QLabel* LabelNombre = nullptr;
  QLabel* LabelPlanFec1 = nullptr;
  QLabel* LabelPlanFec2 = nullptr;
  QListWidget* ListBox1 = nullptr;
  QPushButton* BitBtnContinuar = nullptr;

  // Loads the file afresh and fills the combo box; runs each time the dialog becomes active.
  void FormActivate();
  // Shows the name, dates and slots of the template whose code is the combo text.
  void ComboBoxPlantillaChange();

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 public:
  // Every way of ending the dialog (Continuar, the close box) takes the combo text as the choice.
  void done(int result) override;

 private:
  void BitBtnContinuarClick();
  void FormClose();

  std::filesystem::path archivoXML_;
  std::optional<rayuela::Document> DocPlantillas;
  // The records of DocPlantillas, read once per activation: the document does not change in between.
  std::vector<rayuela::Record> plantillas_;
  std::vector<rayuela::Record> tramos_;
  std::string PlantillaElegida;
  bool activatedOnShow_ = false;
};

}  // namespace vadelux::conversion
