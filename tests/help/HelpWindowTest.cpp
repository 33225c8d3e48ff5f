// The help window on the offscreen platform, over the built RAYUELA.chm.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <filesystem>
#include <string>
#include <vector>

#include "app/HelpWindow.h"
#include "tests/help/QtTestApp.h"

namespace fs = std::filesystem;
using vadelux::app::HelpWindow;

namespace {

const fs::path kHelpFile = fs::path(VADELUX_BIN_DIR) / "RAYUELA.chm";
const fs::path kFixtures = fs::path(VADELUX_FIXTURES) / "help";

std::vector<HelpWindow*> helpWindows() {
  std::vector<HelpWindow*> found;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<HelpWindow*>(widget)) {
      found.push_back(window);
    }
  }
  return found;
}

HelpWindow* onlyHelpWindow() {
  const std::vector<HelpWindow*> windows = helpWindows();
  return windows.size() == 1 ? windows.front() : nullptr;
}

// Runs `show`, which is expected to open a message box, and returns the box's title and text.
std::pair<QString, QString> messageShownBy(const std::function<void()>& show) {
  std::pair<QString, QString> seen;
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box != nullptr) {
      seen = {box->windowTitle(), box->text()};
      box->accept();
    }
  });
  show();
  return seen;
}

class HelpWindowTest : public ::testing::Test {
 protected:
  void TearDown() override { vadelux::testing::closeAllWindows(); }
};

}  // namespace

TEST_F(HelpWindowTest, f1_opens_topic_3_with_its_entry_selected) {
  vadelux::app::showHelpTopic(nullptr, 3, kHelpFile);
  HelpWindow* window = onlyHelpWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isModal());
  EXPECT_EQ(window->currentTopic(), QStringLiteral("ventana.htm"));
  EXPECT_EQ(window->browser()->documentTitle(), QStringLiteral("La ventana principal"));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Ayuda de Vadelux - La ventana principal"));
  ASSERT_NE(window->contentsTree()->currentItem(), nullptr);
  EXPECT_EQ(window->contentsTree()->currentItem()->text(0), QStringLiteral("La ventana principal"));
  EXPECT_TRUE(window->browser()->toPlainText().contains(
      QStringLiteral("Exportar e importar datos entre Horvane y Rayuela")));
}

TEST_F(HelpWindowTest, contents_show_the_tree_and_the_default_topic) {
  vadelux::app::showHelpContents(nullptr, kHelpFile);
  HelpWindow* window = onlyHelpWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->currentTopic(), QStringLiteral("inicio.htm"));
  QTreeWidget* tree = window->contentsTree();
  ASSERT_EQ(tree->topLevelItemCount(), 9);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Vadelux: qué hace el programa"));
  EXPECT_EQ(tree->topLevelItem(4)->text(0), QStringLiteral("Mensajes y qué hacer"));
  ASSERT_EQ(tree->topLevelItem(2)->childCount(), 2);
  EXPECT_EQ(tree->topLevelItem(2)->child(0)->text(0), QStringLiteral("Elegir la plantilla horaria"));
  // Accented text of a Windows-1252 page arrives intact.
  EXPECT_TRUE(window->browser()->toPlainText().contains(QStringLiteral("qué hace el programa")));
}

TEST_F(HelpWindowTest, one_window_is_reused_and_moved_to_the_asked_topic) {
  vadelux::app::showHelpContents(nullptr, kHelpFile);
  HelpWindow* first = onlyHelpWindow();
  ASSERT_NE(first, nullptr);
  vadelux::app::showHelpTopic(nullptr, 3, kHelpFile);
  EXPECT_EQ(onlyHelpWindow(), first);
  EXPECT_EQ(first->currentTopic(), QStringLiteral("ventana.htm"));
  vadelux::app::showHelpContents(nullptr, kHelpFile);
  EXPECT_EQ(onlyHelpWindow(), first);
  EXPECT_EQ(first->currentTopic(), QStringLiteral("inicio.htm"));
}

TEST_F(HelpWindowTest, an_unknown_context_shows_the_default_topic) {
  vadelux::app::showHelpTopic(nullptr, 77, kHelpFile);
  HelpWindow* window = onlyHelpWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->currentTopic(), QStringLiteral("inicio.htm"));
  EXPECT_FALSE(window->showContext(-1));
  EXPECT_FALSE(window->showContext(77));
  EXPECT_EQ(window->currentTopic(), QStringLiteral("inicio.htm"));
}

TEST_F(HelpWindowTest, tree_links_and_history_move_between_topics) {
  vadelux::app::showHelpTopic(nullptr, 3, kHelpFile);
  HelpWindow* window = onlyHelpWindow();
  ASSERT_NE(window, nullptr);
  QTreeWidget* tree = window->contentsTree();

  // Choosing an entry in the tree opens its page.
  tree->setCurrentItem(tree->topLevelItem(4));
  EXPECT_EQ(window->currentTopic(), QStringLiteral("mensajes.htm"));
  EXPECT_EQ(window->browser()->documentTitle(), QStringLiteral("Mensajes y qué hacer"));

  // A link inside a page is relative to it, as a click resolves it; the tree follows.
  window->browser()->setSource(QUrl(QStringLiteral("nivelex.htm")));
  EXPECT_EQ(window->currentTopic(), QStringLiteral("nivelex.htm"));
  EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("NIVELEX.DBF y las claves de los cursos"));

  window->browser()->backward();
  EXPECT_EQ(window->currentTopic(), QStringLiteral("mensajes.htm"));
  EXPECT_EQ(tree->currentItem(), tree->topLevelItem(4));
}

TEST_F(HelpWindowTest, pictures_and_style_come_from_the_help_file) {
  vadelux::app::showHelpContents(nullptr, kHelpFile);
  HelpWindow* window = onlyHelpWindow();
  ASSERT_NE(window, nullptr);
  window->showTopic(QStringLiteral("plantillas.htm"));
  QTextDocument* document = window->browser()->document();
  const QVariant image = window->browser()->loadResource(QTextDocument::ImageResource,
                                                         QUrl(QStringLiteral("chm:/plantillas.png")));
  ASSERT_EQ(image.typeId(), QMetaType::QByteArray);
  QImage decoded;
  ASSERT_TRUE(decoded.loadFromData(image.toByteArray()));
  EXPECT_GT(decoded.width(), 300);
  // The page's image was laid out from that resource.
  document->adjustSize();
  EXPECT_FALSE(
      document->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("chm:/plantillas.png"))).isNull());
  const QVariant css = window->browser()->loadResource(QTextDocument::StyleSheetResource,
                                                       QUrl(QStringLiteral("chm:/estilo.css")));
  EXPECT_TRUE(css.toString().contains(QStringLiteral("h1")));
  // Nothing is read from outside the help file.
  EXPECT_TRUE(window->browser()
                  ->loadResource(QTextDocument::HtmlResource, QUrl(QStringLiteral("http://example.org/")))
                  .isNull());
  EXPECT_TRUE(
      window->browser()
          ->loadResource(QTextDocument::HtmlResource, QUrl::fromLocalFile(QStringLiteral("/etc/passwd")))
          .isNull());
}

TEST_F(HelpWindowTest, a_missing_or_damaged_file_is_told_under_the_program_title) {
  struct Case {
    fs::path file;
    QString text;
  };
  const fs::path missing = kFixtures / "no-existe" / "RAYUELA.chm";
  const std::vector<Case> cases = {
      {missing,
       QStringLiteral("No se encuentra el archivo de ayuda ") + QString::fromStdString(missing.string())},
      {kFixtures / "basura.chm", QStringLiteral("El archivo de ayuda ") +
                                     QString::fromStdString((kFixtures / "basura.chm").string()) +
                                     QStringLiteral(" está dañado o no es un archivo de ayuda")},
  };
  for (const Case& c : cases) {
    const auto [title, text] = messageShownBy([&] { vadelux::app::showHelpTopic(nullptr, 3, c.file); });
    EXPECT_EQ(title, QStringLiteral("Vadelux"));
    EXPECT_EQ(text, c.text);
    const auto [title2, text2] = messageShownBy([&] { vadelux::app::showHelpContents(nullptr, c.file); });
    EXPECT_EQ(text2, c.text);
    EXPECT_TRUE(helpWindows().empty());
  }
}
