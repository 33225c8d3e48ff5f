#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "RayuelaTestSupport.h"
#include "rayuela/Document.h"

using vadelux::rayuela::Document;
using vadelux::rayuela::DocumentError;
using vadelux::rayuela::testing::fixture;
using vadelux::rayuela::testing::ScratchFolder;
using vadelux::rayuela::testing::writeBytes;

namespace {

using Clock = std::chrono::steady_clock;

// Loads `file` and returns the error text, or "" when it loaded; `firstField` gets the first field read.
std::string loadMessage(const std::filesystem::path& file, std::string* firstField = nullptr) {
  try {
    const Document doc = Document::load(file);
    if (firstField != nullptr) {
      const auto records = doc.records("MATERIAS");
      *firstField = records.empty() ? "<sin registros>" : records[0].field(0);
    }
    return "";
  } catch (const DocumentError& e) {
    return e.what();
  }
}

TEST(document_safety_test, entity_expansion_bombs_are_refused_quickly) {
  ScratchFolder folder;
  // Few bytes that grow quadratically: one 40 kB entity used 400 times in each of 100 fields.
  std::string quadratic = "<!DOCTYPE SERVICIO [<!ENTITY a \"" + std::string(40000, 'x') +
                          "\">]><SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"MATERIAS\">";
  for (int i = 0; i < 100; ++i) {
    quadratic += "<grupo_datos><dato>";
    for (int k = 0; k < 400; ++k) {
      quadratic += "&a;";
    }
    quadratic += "</dato><dato>x</dato></grupo_datos>";
  }
  quadratic += "</grupo_datos></BLOQUE_DATOS></SERVICIO>";
  writeBytes(folder / "cuadratica.xml", quadratic);

  const std::vector<std::filesystem::path> bombs = {fixture("bomba.xml"), folder / "cuadratica.xml"};
  for (const auto& bomb : bombs) {
    const auto start = Clock::now();
    const std::string message = loadMessage(bomb);
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 10.0) << bomb;
    EXPECT_EQ(message.rfind("El archivo " + bomb.string() +
                                " no es un XML bien formado: sus entidades se expanden sin medida (línea ",
                            0),
              0u)
        << message;
  }
  EXPECT_EQ(loadMessage(fixture("bomba.xml")),
            "El archivo " + fixture("bomba.xml").string() +
                " no es un XML bien formado: sus entidades se expanden sin medida (línea 14, columna 78)");
}

// Each file names a FIFO as an external resource. Opening the FIFO for reading would block until a writer
// comes, so a load that returns at all has not opened it.
TEST(document_safety_test, external_entities_never_open_their_files) {
  ScratchFolder folder;
  const std::filesystem::path fifo = folder / "secreto";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string uri = "file://" + fifo.string();
  const std::string body =
      "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"MATERIAS\"><grupo_datos><dato>%s</dato><dato>x</dato>"
      "</grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>";
  const auto withField = [&](const std::string& field) {
    std::string out = body;
    out.replace(out.find("%s"), 2, field);
    return out;
  };
  struct Case {
    std::string name;
    std::string xml;
    std::string message;  // "" when the file loads
    std::string firstField;
  };
  // The place given is the '>' that closes the refused declaration.
  const auto refused = [&](const std::string& file, const std::string& entity, int column) {
    return "El archivo " + (folder / file).string() + " declara la entidad externa «" + entity +
           "», que no se admite (línea 2, columna " + std::to_string(column) + ")";
  };
  const std::string generalDecl = "<!DOCTYPE SERVICIO [<!ENTITY xxe SYSTEM \"" + uri + "\">]>";
  const std::string parameterDecl = "<!DOCTYPE SERVICIO [<!ENTITY % pe SYSTEM \"" + uri + "\"> %pe;]>";
  const std::vector<Case> cases = {
      {"general.xml", "<?xml version=\"1.0\"?>\n" + generalDecl + "\n" + withField("&xxe;"),
       refused("general.xml", "xxe", static_cast<int>(generalDecl.size()) - 2), ""},
      {"parametro.xml", "<?xml version=\"1.0\"?>\n" + parameterDecl + "\n" + withField("a"),
       refused("parametro.xml", "pe", static_cast<int>(parameterDecl.find('>')) + 1), ""},
      {"subconjunto.xml",
       "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO SYSTEM \"" + uri + "\">\n" + withField("a"), "", "a"},
  };
  for (const Case& c : cases) {
    writeBytes(folder / c.name, c.xml);
    std::string firstField;
    auto load = std::async(std::launch::async, [&] { return loadMessage(folder / c.name, &firstField); });
    if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      // Release the blocked reader so that the test can end, then fail.
      const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) {
        ::close(fd);
      }
      load.wait();
      ADD_FAILURE() << c.name << ": the load opened the FIFO";
      continue;
    }
    EXPECT_EQ(load.get(), c.message) << c.name;
    EXPECT_EQ(firstField, c.firstField) << c.name;
  }
  // Nobody holds the FIFO open for reading now: opening it for writing without blocking fails.
  EXPECT_EQ(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK), -1);
}

}  // namespace
