#include "app/OpenDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "app/DialogOwner.h"

namespace vadelux::app {
namespace {

// The platform's file-open dialog. A typed name that does not exist is returned as it is: the caller says
// "No existe archivo".
std::optional<QString> askWithFileDialog(QWidget* parent, const OpenDialog& dialog) {
  QFileDialog fileDialog(dialogParent(parent), dialog.title());
  attachDialog(&fileDialog, parent);
  fileDialog.setAcceptMode(QFileDialog::AcceptOpen);
  fileDialog.setFileMode(QFileDialog::AnyFile);
  fileDialog.setNameFilter(dialog.filter());
  fileDialog.setDefaultSuffix(dialog.defaultSuffix());
  if (!dialog.fileName().isEmpty()) {
    fileDialog.selectFile(dialog.fileName());
  }
  if (fileDialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  const QStringList chosen = fileDialog.selectedFiles();
  if (chosen.isEmpty()) {
    return std::nullopt;
  }
  return QFileInfo(chosen.front()).absoluteFilePath();
}

}  // namespace

OpenDialog::OpenDialog(QString title, QString filter, QString defaultSuffix, QObject* parent)
    : QObject(parent),
      title_(std::move(title)),
      filter_(std::move(filter)),
      defaultSuffix_(std::move(defaultSuffix)),
      chooser_(askWithFileDialog) {}

bool OpenDialog::execute(QWidget* parent) {
  std::optional<QString> chosen = chooser_(parent, *this);
  if (!chosen) {
    return false;
  }
  fileName_ = std::move(*chosen);
  return true;
}

}  // namespace vadelux::app
