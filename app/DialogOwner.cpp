#include "app/DialogOwner.h"

#include <QWidget>
#include <QWindow>

namespace vadelux::app {
namespace {

QWindow* ownerWindow(QWidget* owner) {
  return owner != nullptr ? owner->window()->windowHandle() : nullptr;
}

bool isEmbedded(QWidget* owner) {
  const QWindow* window = ownerWindow(owner);
  return window != nullptr && window->parent() != nullptr;
}

}  // namespace

QWidget* dialogParent(QWidget* owner) {
  return isEmbedded(owner) ? nullptr : owner;
}

void attachDialog(QWidget* dialog, QWidget* owner) {
  if (!isEmbedded(owner)) {
    return;
  }
  QWindow* outermost = ownerWindow(owner);
  while (outermost->parent() != nullptr) {
    outermost = outermost->parent();
  }
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->winId();
  dialog->windowHandle()->setTransientParent(outermost);
}

}  // namespace vadelux::app
