#include "app/FormServices.h"

#include <QCoreApplication>
#include <QFile>

#include "app/HelpWindow.h"
#include "app/MessageBox.h"
#include "conversion/Plantihoras.h"
#include "tables/WorkingFolder.h"

namespace vadelux::app {

FormServices FormServices::platform() {
  FormServices services;
  services.programFolder =
      std::filesystem::path(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
  services.workingFolder = tables::defaultWorkingFolder();
  services.chooseTemplate = [](QWidget* owner, const std::filesystem::path& xmlFile) {
    return conversion::TPlantillas::elegir(owner, xmlFile);
  };
  services.showMessage = showMessageBox;
  services.showHelpContents = [](QWidget* parent) { ::vadelux::app::showHelpContents(parent); };
  services.showHelpTopic = [](QWidget* parent, int context) {
    ::vadelux::app::showHelpTopic(parent, context);
  };
  return services;
}

}  // namespace vadelux::app
