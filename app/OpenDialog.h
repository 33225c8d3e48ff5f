// The main window's file-open dialog: remembers the file chosen last and opens on it the next time. The
// question itself goes through a replaceable chooser, so tests can answer it without a real dialog.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace vadelux::app {

class OpenDialog : public QObject {
  Q_OBJECT

 public:
  // Asks the user for a file; the chosen full path, or nothing when the dialog was cancelled.
  using Chooser = std::function<std::optional<QString>(QWidget* parent, const OpenDialog& dialog)>;

  // `filter` as the platform's dialog shows it, e.g. "*.xml (*.xml)".
  OpenDialog(QString title, QString filter, QString defaultSuffix, QObject* parent = nullptr);

  const QString& title() const { return title_; }
  const QString& filter() const { return filter_; }
  const QString& defaultSuffix() const { return defaultSuffix_; }
  // The file chosen last; empty before the first confirmed choice.
  const QString& fileName() const { return fileName_; }

  void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }

  // Shows the dialog. True when the user confirmed a file, which then is fileName(); false when cancelled,
  // and fileName() keeps its earlier value.
  bool execute(QWidget* parent);

 private:
  QString title_;
  QString filter_;
  QString defaultSuffix_;
  QString fileName_;
  Chooser chooser_;
};

}  // namespace vadelux::app
