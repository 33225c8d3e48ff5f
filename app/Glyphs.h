// The small pictures on the main window's buttons, drawn by the program itself.
#pragma once

#include <QIcon>

namespace vadelux::app {

// Green check mark of the confirming buttons.
QIcon okGlyph();

// Open door of the button that leaves the program.
QIcon closeGlyph();

}  // namespace vadelux::app
