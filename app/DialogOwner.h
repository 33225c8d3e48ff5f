// Owners of the program's dialogs. A window embedded in another program's window is not a top-level window,
// and a dialog can only stay above a top-level one: such a dialog gets no parent widget and is kept above
// the outermost window instead.
#pragma once

class QWidget;

namespace vadelux::app {

// The parent widget to give a dialog of `owner`: `owner` itself, or none when it is embedded.
QWidget* dialogParent(QWidget* owner);

// Call after creating the dialog with dialogParent(owner): an embedded owner's dialog becomes application
// modal and transient for the outermost window that holds the owner.
void attachDialog(QWidget* dialog, QWidget* owner);

}  // namespace vadelux::app
