// The built RAYUELA.chm read through ChmFile, the sitemap parser, and damaged help files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/ChmFile.h"
#include "common/Error.h"

namespace fs = std::filesystem;
using vadelux::app::ChmFile;
using vadelux::app::HelpTopic;
using vadelux::app::parseSitemap;

namespace {

const fs::path kHelpFile = fs::path(VADELUX_BIN_DIR) / "RAYUELA.chm";
const fs::path kHelpSources = VADELUX_HELP_SOURCE_DIR;
const fs::path kFixtures = fs::path(VADELUX_FIXTURES) / "help";

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void forEachTopic(const std::vector<HelpTopic>& topics, const std::function<void(const HelpTopic&)>& f) {
  for (const HelpTopic& topic : topics) {
    f(topic);
    forEachTopic(topic.children, f);
  }
}

std::string pageTitle(const std::string& utf8Page) {
  std::smatch m;
  static const std::regex kTitle("<title>([^<]*)</title>", std::regex::icase);
  return std::regex_search(utf8Page, m, kTitle) ? m[1].str() : std::string();
}

}  // namespace

TEST(chm_file_test, names_its_contents_default_topic_and_title) {
  const ChmFile chm = ChmFile::open(kHelpFile);
  EXPECT_EQ(chm.contentsFile(), "RAYUELA.hhc");
  EXPECT_EQ(chm.defaultTopic(), "inicio.htm");
  EXPECT_EQ(chm.title(), "Ayuda de Vadelux");
}

TEST(chm_file_test, context_3_opens_the_main_window_page_by_its_relative_name) {
  const ChmFile chm = ChmFile::open(kHelpFile);
  EXPECT_EQ(chm.topicForContext(3), std::optional<std::string>("ventana.htm"));
  for (std::uint32_t unknown : {0u, 1u, 2u, 4u, 0xFFFFFFFFu}) {
    EXPECT_EQ(chm.topicForContext(unknown), std::nullopt) << unknown;
  }

  // The string table must not carry the machine's build path, or viewers elsewhere would miss the topic.
  const std::optional<std::string> strings = chm.read("/#STRINGS");
  ASSERT_TRUE(strings);
  EXPECT_NE(strings->find(std::string("ventana.htm") + '\0'), std::string::npos);
  EXPECT_EQ(strings->find(kHelpSources.string()), std::string::npos);
  EXPECT_EQ(strings->find("/ventana.htm"), std::string::npos);
}

TEST(chm_file_test, pages_come_out_byte_for_byte_as_written) {
  const ChmFile chm = ChmFile::open(kHelpFile);
  for (const char* page : {"ventana.htm", "mensajes.htm", "estilo.css"}) {
    const std::optional<std::string> bytes = chm.read(page);
    ASSERT_TRUE(bytes) << page;
    EXPECT_EQ(*bytes, readFile(kHelpSources / page)) << page;
    EXPECT_EQ(chm.read(std::string("/") + page), bytes) << page;
  }
  EXPECT_EQ(chm.read("/no-existe.htm"), std::nullopt);
  EXPECT_EQ(chm.read(""), std::nullopt);
}

TEST(chm_file_test, every_contents_entry_opens_a_page_titled_like_the_entry) {
  const ChmFile chm = ChmFile::open(kHelpFile);
  const std::vector<HelpTopic> contents = chm.contents();
  ASSERT_EQ(contents.size(), 9u);
  EXPECT_EQ(contents[1].name, "La ventana principal");
  EXPECT_EQ(contents[1].local, "ventana.htm");
  ASSERT_EQ(contents[2].children.size(), 2u);
  EXPECT_EQ(contents[2].children[0].local, "plantillas.htm");

  std::set<std::string> seen;
  forEachTopic(contents, [&](const HelpTopic& topic) {
    const std::optional<std::string> page = chm.read(topic.local);
    ASSERT_TRUE(page) << topic.local;
    EXPECT_EQ(pageTitle(vadelux::app::htmlToUtf8(*page)), topic.name) << topic.local;
    seen.insert(topic.local);
  });
  EXPECT_TRUE(seen.contains(*chm.topicForContext(3)));
  EXPECT_TRUE(seen.contains(chm.defaultTopic()));
  EXPECT_EQ(seen.size(), 11u);
}

TEST(chm_file_test, every_link_and_picture_of_every_page_is_in_the_file) {
  const ChmFile chm = ChmFile::open(kHelpFile);
  static const std::regex kRef(R"((href|src)\s*=\s*"([^"#]*)(#[^"]*)?")", std::regex::icase);
  std::set<std::string> pages;
  forEachTopic(chm.contents(), [&](const HelpTopic& topic) { pages.insert(topic.local); });
  int references = 0;
  for (const std::string& page : pages) {
    const std::string html = chm.read(page).value_or("");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), kRef); it != std::sregex_iterator(); ++it) {
      const std::string target = (*it)[2].str();
      if (target.empty() || target.find(':') != std::string::npos) {
        continue;
      }
      ++references;
      EXPECT_TRUE(chm.read(target)) << page << " refers to " << target;
    }
  }
  EXPECT_GT(references, 30);
}

TEST(chm_file_test, moves_its_handle) {
  ChmFile first = ChmFile::open(kHelpFile);
  ChmFile second = std::move(first);
  EXPECT_EQ(second.topicForContext(3), std::optional<std::string>("ventana.htm"));
  first = std::move(second);
  EXPECT_EQ(first.contentsFile(), "RAYUELA.hhc");
}

TEST(chm_file_test, missing_or_foreign_files_are_refused_with_their_path) {
  struct Case {
    fs::path file;
    std::string message;
  };
  const std::vector<Case> cases = {
      {kFixtures / "no-existe.chm",
       "No se encuentra el archivo de ayuda " + (kFixtures / "no-existe.chm").string()},
      {kFixtures, "No se encuentra el archivo de ayuda " + kFixtures.string()},
      {kFixtures / "vacio.chm", "El archivo de ayuda " + (kFixtures / "vacio.chm").string() +
                                    " está dañado o no es un archivo de ayuda"},
      {kFixtures / "basura.chm", "El archivo de ayuda " + (kFixtures / "basura.chm").string() +
                                     " está dañado o no es un archivo de ayuda"},
  };
  for (const Case& c : cases) {
    try {
      ChmFile::open(c.file);
      ADD_FAILURE() << c.file << " opened";
    } catch (const vadelux::Error& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

// A cut file is refused on opening: its lost content would otherwise read back as zeros.
TEST(chm_file_test, cut_files_are_refused_with_their_path) {
  const std::string whole = readFile(kHelpFile);
  ASSERT_GT(whole.size(), 4000u);
  const fs::path dir = fs::temp_directory_path() / ("chm-test-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::vector<fs::path> files = {kFixtures / "cabecera-y-basura.chm"};
  for (std::size_t size : {std::size_t{3}, std::size_t{40}, std::size_t{0x60}, std::size_t{0x200},
                           std::size_t{0x1000}, whole.size() / 2, whole.size() - 1}) {
    files.push_back(dir / ("cortado-" + std::to_string(size) + ".chm"));
    std::ofstream(files.back(), std::ios::binary).write(whole.data(), static_cast<std::streamsize>(size));
  }
  for (const fs::path& file : files) {
    try {
      ChmFile::open(file);
      ADD_FAILURE() << file << " opened";
    } catch (const vadelux::Error& e) {
      EXPECT_EQ(std::string(e.what()),
                "El archivo de ayuda " + file.string() + " está dañado o no es un archivo de ayuda");
    }
  }
  fs::remove_all(dir);
}

// Content scrambled inside a file of the right length cannot be told from good content, but reading
// it stays bounded and never crashes.
TEST(chm_file_test, scrambled_content_is_read_without_crashing) {
  const std::string whole = readFile(kHelpFile);
  const fs::path file = fs::temp_directory_path() / ("chm-revuelto-" + std::to_string(::getpid()) + ".chm");
  for (std::size_t from : {std::size_t{0x60}, whole.size() / 6, whole.size() / 3, whole.size() * 2 / 3}) {
    SCOPED_TRACE(from);
    std::string scrambled = whole;
    for (std::size_t i = from; i < whole.size(); i += 5) {
      scrambled[i] = static_cast<char>(scrambled[i] ^ 0x5A);
    }
    std::ofstream(file, std::ios::binary)
        .write(scrambled.data(), static_cast<std::streamsize>(scrambled.size()));
    try {
      const ChmFile chm = ChmFile::open(file);
      (void)chm.topicForContext(3);
      (void)chm.title();
      for (const HelpTopic& topic : chm.contents()) {
        (void)chm.read(topic.local);
      }
      (void)chm.read("/ventana.htm");
    } catch (const vadelux::Error& e) {
      EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
    }
  }
  fs::remove(file);
}

TEST(sitemap_test, nests_entries_as_the_lists_nest) {
  const std::string hhc =
      R"(<HTML><HEAD><meta http-equiv="Content-Type" content="text/html; charset=windows-1252"></HEAD>
<BODY><OBJECT type="text/site properties"><param name="Name" value="no es una entrada"></OBJECT>
<UL>
  <LI><OBJECT type="text/sitemap"><param name="Name" value="Uno"><param name="Local" value="uno.htm"></OBJECT>
  <UL>
    <LI><OBJECT type="text/sitemap"><param name="Name" value="Uno.a"><param name="Local" value="a.htm"></OBJECT>
    <UL><LI><OBJECT type="text/sitemap"><param name="Name" value="Uno.a.i"><param name="Local" value="i.htm"></OBJECT></UL>
    <LI><OBJECT type="text/sitemap"><param name="Name" value="Uno.b"><param name="Local" value="b.htm"></OBJECT>
  </UL>
  <LI><OBJECT type="text/sitemap"><param name="Name" value="Sin p@gina"></OBJECT>
  <!-- <LI><OBJECT type="text/sitemap"><param name="Name" value="comentada"></OBJECT> -->
  <LI><OBJECT type="text/sitemap"><param name="Name" value="Dos"><param name="Local" value="sub/dos.htm#parte"></OBJECT>
</UL></BODY></HTML>)";
  std::string windows1252 = hhc;
  windows1252[windows1252.find('@')] = '\xe1';
  const std::vector<HelpTopic> topics = parseSitemap(windows1252);
  ASSERT_EQ(topics.size(), 3u);
  EXPECT_EQ(topics[0].name, "Uno");
  ASSERT_EQ(topics[0].children.size(), 2u);
  EXPECT_EQ(topics[0].children[0].name, "Uno.a");
  ASSERT_EQ(topics[0].children[0].children.size(), 1u);
  EXPECT_EQ(topics[0].children[0].children[0].local, "i.htm");
  EXPECT_EQ(topics[0].children[1].local, "b.htm");
  EXPECT_EQ(topics[1].name, "Sin p\xc3\xa1gina");  // declared windows-1252, so á came as one byte
  EXPECT_EQ(topics[1].local, "");
  EXPECT_EQ(topics[2].local, "sub/dos.htm#parte");
}

TEST(sitemap_test, reads_names_in_any_encoding_and_quoting) {
  struct Case {
    std::string hhc;
    std::string name;
    std::string local;
  };
  const std::vector<Case> cases = {
      // No declaration, not UTF-8: Windows-1252.
      {"<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Qu\xe9 \x80\"><param "
       "name=\"Local\" "
       "value=\"q.htm\"></object></ul>",
       "Qu\xc3\xa9 \xe2\x82\xac", "q.htm"},
      // Declared UTF-8.
      {"<meta charset=\"utf-8\"><ul><li><object type=\"text/sitemap\"><param name=\"Name\" "
       "value=\"Qu\xc3\xa9\"><param name=\"Local\" value=\"q.htm\"></object></ul>",
       "Qu\xc3\xa9", "q.htm"},
      // Character references, single quotes, upper-case names, unquoted values.
      {"<UL><LI><OBJECT TYPE='text/sitemap'><PARAM NAME='Name' VALUE='Qu&eacute; &amp; c&#243;mo &#xF1;'>"
       "<PARAM NAME=Local VALUE=q.htm></OBJECT></UL>",
       "Qu\xc3\xa9 & c\xc3\xb3mo \xc3\xb1", "q.htm"},
      // An unknown reference stays as written.
      {"<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"a &zz; b\"></object></ul>",
       "a &zz; b", ""},
  };
  for (const Case& c : cases) {
    const std::vector<HelpTopic> topics = parseSitemap(c.hhc);
    ASSERT_EQ(topics.size(), 1u) << c.hhc;
    EXPECT_EQ(topics[0].name, c.name) << c.hhc;
    EXPECT_EQ(topics[0].local, c.local) << c.hhc;
  }
}

TEST(sitemap_test, broken_sitemaps_give_what_they_hold) {
  EXPECT_TRUE(parseSitemap("").empty());
  EXPECT_TRUE(parseSitemap("<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"x").empty());
  // Unbalanced lists: extra closings are ignored, a missing closing ends the file.
  const std::vector<HelpTopic> topics = parseSitemap(
      "</ul></ul><ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"A\"></object>"
      "<ul><ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"B\"></object>");
  ASSERT_EQ(topics.size(), 1u);
  ASSERT_EQ(topics[0].children.size(), 1u);
  EXPECT_EQ(topics[0].children[0].name, "B");
}
