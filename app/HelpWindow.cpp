#include "app/HelpWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

#include "app/MessageBox.h"
#include "common/Error.h"

namespace vadelux::app {

namespace {

const QString kScheme = QStringLiteral("chm");
const QString kDefaultTitle = QStringLiteral("Ayuda de Vadelux");

QString fromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QUrl topicUrl(const QString& local) {
  QUrl url;
  url.setScheme(kScheme);
  const qsizetype hash = local.indexOf(QLatin1Char('#'));
  const QString path = hash < 0 ? local : local.left(hash);
  url.setPath(path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path);
  if (hash >= 0) {
    url.setFragment(local.mid(hash + 1));
  }
  return url;
}

// The object path of a URL inside the help file, or empty for a URL that leads elsewhere.
QString objectPath(const QUrl& url) {
  if (!url.scheme().isEmpty() && url.scheme() != kScheme) {
    return {};
  }
  QString path = url.path();
  while (path.startsWith(QLatin1Char('/'))) {
    path.remove(0, 1);
  }
  return path;
}

// Reads every page, style sheet and image from the help file, never from the disk or the network.
class HelpBrowser : public QTextBrowser {
 public:
  HelpBrowser(const ChmFile& file, QWidget* parent) : QTextBrowser(parent), file_(file) {}

  QVariant loadResource(int type, const QUrl& name) override {
    const QString path = objectPath(name);
    if (path.isEmpty()) {
      return {};
    }
    const std::optional<std::string> bytes = file_.read(path.toStdString());
    if (type == QTextDocument::ImageResource) {
      if (!bytes) {
        return {};
      }
      return QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size()));
    }
    if (!bytes) {
      if (type == QTextDocument::HtmlResource) {
        return QStringLiteral(
                   "<html><head><title>Tema no encontrado</title></head><body>"
                   "<p>No se encuentra el tema %1 en el archivo de ayuda.</p></body></html>")
            .arg(path.toHtmlEscaped());
      }
      return {};
    }
    return fromUtf8(htmlToUtf8(*bytes));
  }

 private:
  const ChmFile& file_;
};

void addItems(QTreeWidgetItem* parent, QTreeWidget* tree, const std::vector<HelpTopic>& topics,
              QHash<QString, QTreeWidgetItem*>& byTopic) {
  for (const HelpTopic& topic : topics) {
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    item->setText(0, fromUtf8(topic.name));
    const QString local = fromUtf8(topic.local);
    item->setData(0, Qt::UserRole, local);
    const QString key = objectPath(topicUrl(local));
    if (!key.isEmpty() && !byTopic.contains(key)) {
      byTopic.insert(key, item);
    }
    addItems(item, tree, topic.children, byTopic);
  }
}

void present(HelpWindow* window) {
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace

std::filesystem::path helpFilePath() {
  return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "RAYUELA.chm";
}

HelpWindow* HelpWindow::open(QWidget* parent, const std::filesystem::path& chm) {
  std::error_code ec;
  const std::filesystem::path wanted = std::filesystem::weakly_canonical(chm, ec);
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* existing = qobject_cast<HelpWindow*>(widget);
    if (existing == nullptr) {
      continue;
    }
    if (std::filesystem::weakly_canonical(existing->file().path(), ec) == wanted &&
        std::filesystem::exists(chm, ec)) {
      return existing;
    }
    // Another help file: this window gives way to the new one.
    existing->close();
  }
  ChmFile file = ChmFile::open(chm);
  QWidget* owner = parent != nullptr ? parent->window() : nullptr;
  return new HelpWindow(std::move(file), owner);
}

HelpWindow::HelpWindow(ChmFile file, QWidget* parent)
    : QWidget(parent, Qt::Window), file_(std::make_unique<ChmFile>(std::move(file))) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(QStringLiteral("HelpWindow"));
  const std::string title = file_->title();
  setWindowTitle(title.empty() ? kDefaultTitle : fromUtf8(title));

  auto* back = new QToolButton(this);
  back->setText(QStringLiteral("Atrás"));
  back->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
  back->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  back->setEnabled(false);
  auto* forward = new QToolButton(this);
  forward->setText(QStringLiteral("Adelante"));
  forward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
  forward->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  forward->setEnabled(false);
  auto* home = new QToolButton(this);
  home->setText(QStringLiteral("Inicio"));
  home->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
  home->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(back);
  buttons->addWidget(forward);
  buttons->addWidget(home);
  buttons->addStretch(1);

  tree_ = new QTreeWidget(this);
  tree_->setObjectName(QStringLiteral("contentsTree"));
  tree_->setHeaderHidden(true);
  tree_->setColumnCount(1);
  tree_->setRootIsDecorated(true);

  browser_ = new HelpBrowser(*file_, this);
  browser_->setObjectName(QStringLiteral("topicBrowser"));
  browser_->setOpenLinks(true);
  browser_->setOpenExternalLinks(false);

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->addWidget(tree_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({290, 570});

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(buttons);
  layout->addWidget(splitter, 1);
  resize(860, 600);

  fillTree();

  connect(back, &QToolButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward, &QToolButton::clicked, browser_, &QTextBrowser::forward);
  connect(home, &QToolButton::clicked, this, &HelpWindow::showContents);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::onSourceChanged);
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
    if (item == nullptr) {
      return;
    }
    const QString local = item->data(0, Qt::UserRole).toString();
    if (!local.isEmpty() && objectPath(topicUrl(local)) != currentTopic()) {
      showTopic(local);
    }
  });
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::fillTree() {
  tree_->clear();
  itemsByTopic_.clear();
  addItems(nullptr, tree_, file_->contents(), itemsByTopic_);
  tree_->expandAll();
}

void HelpWindow::showContents() {
  QString topic = fromUtf8(file_->defaultTopic());
  if (topic.isEmpty() && tree_->topLevelItemCount() > 0) {
    topic = tree_->topLevelItem(0)->data(0, Qt::UserRole).toString();
  }
  if (!topic.isEmpty()) {
    showTopic(topic);
  }
}

bool HelpWindow::showContext(int context) {
  if (context < 0) {
    return false;
  }
  const std::optional<std::string> topic = file_->topicForContext(static_cast<std::uint32_t>(context));
  if (!topic) {
    return false;
  }
  showTopic(fromUtf8(*topic));
  return true;
}

void HelpWindow::showTopic(const QString& local) {
  browser_->setSource(topicUrl(local), QTextDocument::HtmlResource);
}

QString HelpWindow::currentTopic() const {
  return objectPath(browser_->source());
}

void HelpWindow::selectInTree(const QString& local) {
  QTreeWidgetItem* item = itemsByTopic_.value(local, nullptr);
  const QSignalBlocker blocker(tree_);
  tree_->setCurrentItem(item);
  if (item != nullptr) {
    tree_->scrollToItem(item);
  }
}

void HelpWindow::onSourceChanged(const QUrl& url) {
  selectInTree(objectPath(url));
  const std::string fileTitle = file_->title();
  const QString base = fileTitle.empty() ? kDefaultTitle : fromUtf8(fileTitle);
  const QString page = browser_->documentTitle();
  setWindowTitle(page.isEmpty() ? base : base + QStringLiteral(" - ") + page);
}

void showHelpContents(QWidget* parent, const std::filesystem::path& chm) {
  try {
    HelpWindow* window = HelpWindow::open(parent, chm);
    window->showContents();
    present(window);
  } catch (const Error& e) {
    showMessageBox(parent, QString::fromUtf8(e.what()));
  }
}

void showHelpTopic(QWidget* parent, int context, const std::filesystem::path& chm) {
  try {
    HelpWindow* window = HelpWindow::open(parent, chm);
    if (!window->showContext(context)) {
      window->showContents();
    }
    present(window);
  } catch (const Error& e) {
    showMessageBox(parent, QString::fromUtf8(e.what()));
  }
}

void showHelpContents(QWidget* parent) {
  showHelpContents(parent, helpFilePath());
}

void showHelpTopic(QWidget* parent, int context) {
  showHelpTopic(parent, context, helpFilePath());
}

}  // namespace vadelux::app
