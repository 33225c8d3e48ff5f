#include "app/MessageBox.h"

#include <QMessageBox>

#include "app/DialogOwner.h"

namespace vadelux::app {

void showMessageBox(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Vadelux"), text, QMessageBox::Ok,
                  dialogParent(parent));
  attachDialog(&box, parent);
  box.exec();
}

}  // namespace vadelux::app
