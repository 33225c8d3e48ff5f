// What the main window reaches outside itself: the program's folder, message boxes and the help. The
// program uses platform(); tests give their own folder and record the messages instead of showing them.
#pragma once

#include <QString>
#include <filesystem>
#include <functional>

class QWidget;

namespace vadelux::app {

struct FormServices {
  // Folder of NIVELEX.DBF, RAYUELA.chm and Horvane.ini.
  std::filesystem::path programFolder;
  std::function<void(QWidget* parent, const QString& text)> showMessage;
  std::function<void(QWidget* parent)> showHelpContents;
  std::function<void(QWidget* parent, int context)> showHelpTopic;

  // The folder of the running executable, the "Vadelux" message box and the help window.
  static FormServices platform();
};

}  // namespace vadelux::app
