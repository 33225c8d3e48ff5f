// The help window: the table of contents of RAYUELA.chm as a tree on the left, the topic on the right.
// One help window at a time; it is not modal.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <QHash>
#include <QString>
#include <QWidget>

#include "app/ChmFile.h"

class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

namespace vadelux::app {

// Shows the help file's table of contents at its default topic (the "F1 Ayuda" button).
void showHelpContents(QWidget* parent);

// Shows the topic with the given context number (F1 gives 3); the default topic when the file has no
// such number.
void showHelpTopic(QWidget* parent, int context);

// The same for a given help file. A missing or unreadable file is told in a message box titled "Vadelux".
void showHelpContents(QWidget* parent, const std::filesystem::path& chm);
void showHelpTopic(QWidget* parent, int context, const std::filesystem::path& chm);

// The help file: RAYUELA.chm in the program's folder.
std::filesystem::path helpFilePath();

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  // The help window showing `chm`, created or reused: an open help window on the same file is raised
  // and returned. Throws vadelux::Error when the file is missing or is no help file.
  static HelpWindow* open(QWidget* parent, const std::filesystem::path& chm);

  HelpWindow(ChmFile file, QWidget* parent);
  ~HelpWindow() override;

  // The default topic (or the first entry of the contents).
  void showContents();
  // The topic of a context number; false, and nothing changes, when the file has no such number.
  bool showContext(int context);
  // A topic by its path inside the help file ("ventana.htm").
  void showTopic(const QString& local);

  const ChmFile& file() const { return *file_; }
  QTreeWidget* contentsTree() const { return tree_; }
  QTextBrowser* browser() const { return browser_; }
  // The topic shown ("ventana.htm"), without anchor.
  QString currentTopic() const;

 private:
  void fillTree();
  void selectInTree(const QString& local);
  void onSourceChanged(const QUrl& url);

  std::unique_ptr<ChmFile> file_;
  QTreeWidget* tree_ = nullptr;
  QTextBrowser* browser_ = nullptr;
  QHash<QString, QTreeWidgetItem*> itemsByTopic_;
};

}  // namespace vadelux::app
