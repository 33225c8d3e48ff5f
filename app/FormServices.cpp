#include "app/FormServices.h"

#include <QCoreApplication>
#include <QFile>

#include "app/HelpWindow.h"
#include "app/MessageBox.h"

namespace vadelux::app {

FormServices FormServices::platform() {
  FormServices services;
  services.programFolder =
      std::filesystem::path(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
  services.showMessage = showMessageBox;
  services.showHelpContents = [](QWidget* parent) { ::vadelux::app::showHelpContents(parent); };
  services.showHelpTopic = [](QWidget* parent, int context) {
    ::vadelux::app::showHelpTopic(parent, context);
  };
  return services;
}

}  // namespace vadelux::app
