#include "app/FormServices.h"

#include <QCoreApplication>
#include <QFile>

#include "app/MessageBox.h"

#if __has_include("app/HelpWindow.h")
#include "app/HelpWindow.h"
#define VADELUX_HAS_HELP_WINDOW 1
#endif

namespace vadelux::app {

FormServices FormServices::platform() {
  FormServices services;
  services.programFolder =
      std::filesystem::path(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
  services.showMessage = showMessageBox;
#ifdef VADELUX_HAS_HELP_WINDOW
  services.showHelpContents = [](QWidget* parent) { ::vadelux::app::showHelpContents(parent); };
  services.showHelpTopic = [](QWidget* parent, int context) {
    ::vadelux::app::showHelpTopic(parent, context);
  };
#else
  services.showHelpContents = [](QWidget*) {};
  services.showHelpTopic = [](QWidget*, int) {};
#endif
  return services;
}

}  // namespace vadelux::app
