// What the main window reaches outside itself: the program's folder, message boxes and the help. The
// program uses platform(); tests give their own folder and record the messages instead of showing them.
#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <string>

class QWidget;

namespace vadelux::app {

struct FormServices {
  // Folder of NIVELEX.DBF, RAYUELA.chm and Horvane.ini.
  std::filesystem::path programFolder;
  // The timetable generator's working folder.
  std::filesystem::path workingFolder;
  // Asks which school-day template of the file to use; returns its code (Windows-1252).
  std::function<std::string(QWidget* owner, const std::filesystem::path& xmlFile)> chooseTemplate;
  std::function<void(QWidget* parent, const QString& text)> showMessage;
  std::function<void(QWidget* parent)> showHelpContents;
  std::function<void(QWidget* parent, int context)> showHelpTopic;

  // The folder of the running executable, the working folder, the template dialog, the "Vadelux" message
  // box and the help window.
  static FormServices platform();
};

}  // namespace vadelux::app
