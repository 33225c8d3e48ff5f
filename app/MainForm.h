// The program's one main window: both conversion directions start here, by hand or, when the timetable
// generator launched the program, inside the generator's window; closing it then leaves the result code in
// Horvane.ini.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <string>

#include "app/FormServices.h"

class QLabel;
class QPushButton;

namespace vadelux::conversion {
class ConversionRun;
}

namespace vadelux::app {

class OpenDialog;
class TDraw3D;

class TMForm : public QWidget {
  Q_OBJECT

 public:
  // `parameters`: the command-line parameters without the program's name.
  explicit TMForm(QStringList parameters, FormServices services = FormServices::platform(),
                  QWidget* parent = nullptr);

  // 2 in launched mode, 0 by hand.
  int modoLlamada() const { return ModoLlamada; }
  // 0 nothing completed, 1 a run completed, -1 a launched run found no file.
  int codigoResultado() const { return CodigoResultado; }
  // Full path of the Rayuela file chosen last.
  const QString& archivoXML() const { return ArchivoXML; }
  // Code of the school-day template of the current run (Windows-1252).
  const std::string& jornadaElegida() const { return JornadaElegida; }
  // The caller's window that holds this one in launched mode; 0 by hand.
  WId parentWindowId() const { return parentWindowId_; }

 signals:
  // The window has closed for good: the program ends.
  void formClosed();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private slots:
  void BExportarClick();
  void BImportarClick();
  void Button1Click();
  void FormShow();

 private:
  void buildLayout();
  void FormCreate();
  void FormClose(QCloseEvent* event);
  // Asks for the Rayuela file; false, after saying so, when no file exists at the chosen path.
  bool elegirArchivoXML();
  void ejecutarExportar();
  void ejecutarImportar();
  // The seven conversion steps of the run in progress, in the order the run calls them.
  void TransformarMaterias();
  void TransformarActividades();
  void TransformarEmpleados();
  void TransformarDependencias();
  void TransformarCursosUnidades();
  void TransformarAsignaciones();
  void TransformarJornadasTramos();
  // A run that completed: the result code, the message, and in launched mode the end of the program.
  void runCompleted();
  void mensaje(const QString& text);
  // Runs a handler's body; an error that reaches it is shown with its own text and the window stays open.
  template <typename Body>
  void guarded(Body&& body);

  QStringList parameters_;
  FormServices services_;
  bool shown_ = false;
  WId parentWindowId_ = 0;

  int ModoLlamada = 0;
  int CodigoResultado = 0;
  QString ArchivoXML;
  std::string JornadaElegida;
  conversion::ConversionRun* run_ = nullptr;  // the conversion in progress, while its steps run

  TDraw3D* Draw3D1 = nullptr;
  TDraw3D* Draw3D2 = nullptr;
  TDraw3D* Draw3D3 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QPushButton* BExportar = nullptr;
  QPushButton* BImportar = nullptr;
  QPushButton* BClose = nullptr;
  QPushButton* Button1 = nullptr;
  OpenDialog* OpenDialogXML = nullptr;
};

}  // namespace vadelux::app
