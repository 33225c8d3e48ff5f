// The program's message box: the text under the title "Vadelux" with a single OK button.
#pragma once

#include <QString>

class QWidget;

namespace vadelux::app {

// Shows `text` modally and returns when the user has acknowledged it.
void showMessageBox(QWidget* parent, const QString& text);

}  // namespace vadelux::app
