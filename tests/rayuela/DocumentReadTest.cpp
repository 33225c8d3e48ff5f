#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "RayuelaTestSupport.h"
#include "rayuela/Document.h"

using vadelux::rayuela::Document;
using vadelux::rayuela::DocumentError;
using vadelux::rayuela::Record;
using vadelux::rayuela::testing::fixture;
using vadelux::rayuela::testing::ScratchFolder;
using vadelux::rayuela::testing::writeBytes;

namespace {

std::vector<std::string> firstFields(const std::vector<Record>& records) {
  std::vector<std::string> out;
  for (const Record& r : records) {
    out.push_back(r.field(0));
  }
  return out;
}

TEST(document_read_test, fields_are_the_direct_dato_children_by_position) {
  const Document doc = Document::load(fixture("escuela.xml"));
  const std::vector<Record> records = doc.records("MATERIAS");
  ASSERT_EQ(records.size(), 4u);

  // Names in odd order, a nested dato, a dato in another namespace: only direct plain dato children count.
  const Record& first = records[0];
  ASSERT_EQ(first.fieldCount(), 3u);
  EXPECT_EQ(first.field(0), "  Matem\xE1ticas  ");
  EXPECT_EQ(first.trimmedField(0), "Matem\xE1ticas");
  EXPECT_EQ(first.field(1), "101");
  EXPECT_EQ(first.field(2), "A&B <1> ? x<y & z");  // entities, a character reference and CDATA
  EXPECT_TRUE(first.passesGuard());

  // Positions the record lacks read as empty text.
  EXPECT_EQ(first.field(3), "");
  EXPECT_EQ(first.trimmedField(5), "");

  // The guard: one dato, then none.
  EXPECT_EQ(records[1].fieldCount(), 1u);
  EXPECT_FALSE(records[1].passesGuard());
  EXPECT_EQ(records[1].field(1), "");
  EXPECT_EQ(records[2].fieldCount(), 0u);
  EXPECT_FALSE(records[2].passesGuard());

  // The second MATERIAS group follows the first.
  EXPECT_EQ(records[3].field(0), "102");
  EXPECT_EQ(records[3].field(1), "Lengua");
}

TEST(document_read_test, groups_are_selected_by_their_exact_name_only) {
  const Document doc = Document::load(fixture("escuela.xml"));
  struct Case {
    std::string group;
    std::vector<std::string> firstFields;
  };
  const std::vector<Case> cases = {
      {"MATERIAS", {"  Matem\xE1ticas  ", "Sola", "", "102"}},
      {"EMPLEADOS", {"E1"}},
      {"materias", {"no"}},
      {"AULAS", {}},
      {"comillas\"dobles", {"q1"}},
      // Quotes in the name neither break the query nor reach other groups.
      {"MATERIAS\"] | //grupo_datos[@seq=\"EMPLEADOS", {}},
      {"x' or '1'='1", {}},
      {"a\"b'c", {}},
      {std::string("MATERIAS\0", 9), {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(firstFields(doc.records(c.group)), c.firstFields) << c.group;
  }
}

TEST(document_read_test, values_become_windows_1252_whatever_the_file_encoding) {
  const std::vector<std::string> files = {"valores-latin1.xml", "valores-utf8.xml", "valores-1252.xml",
                                          "valores-sin-codificacion.xml"};
  for (const std::string& file : files) {
    const std::vector<Record> records = Document::load(fixture(file)).records("MATERIAS");
    ASSERT_EQ(records.size(), 1u) << file;
    EXPECT_EQ(records[0].field(0), "  Matem\xE1ticas  ") << file;
    EXPECT_EQ(records[0].trimmedField(0), "Matem\xE1ticas") << file;
    EXPECT_EQ(records[0].field(1), "\x80") << file;  // the euro sign
    EXPECT_EQ(records[0].field(2), "?") << file;     // alpha is not in the code page
  }
}

TEST(document_read_test, whitespace_between_elements_is_dropped_and_blanks_in_text_kept) {
  const Document school = Document::load(fixture("escuela.xml"));
  EXPECT_EQ(school.dataBlockFirstChildText(), "2009");
  EXPECT_EQ(Document::load(fixture("bloque-vacio.xml")).dataBlockFirstChildText(), std::nullopt);

  // Windows line ends: blanks right before a line break still belong to the value.
  const Document crlf = Document::load(fixture("crlf.xml"));
  const std::vector<Record> records = crlf.records("MATERIAS");
  ASSERT_EQ(records.size(), 1u);
  ASSERT_EQ(records[0].fieldCount(), 3u);
  EXPECT_EQ(records[0].field(0), "  \n  Lengua castellana  ");
  EXPECT_EQ(records[0].field(1), "");    // whitespace-only text is dropped
  EXPECT_EQ(records[0].field(2), "ab");  // so is whitespace between CDATA sections
  EXPECT_EQ(crlf.dataBlockFirstChildText(), "  \n  Lengua castellana  ab");
}

TEST(document_read_test, bad_files_are_refused_with_a_spanish_message_and_nothing_on_stderr) {
  const auto p = [](const std::string& name) { return fixture(name).string(); };
  struct Case {
    std::filesystem::path file;
    std::string message;
  };
  const std::vector<Case> cases = {
      {fixture("no-existe.xml"), "No existe el archivo " + p("no-existe.xml")},
      {fixture(""), "No se puede leer el archivo " + fixture("").string() + ": es una carpeta"},
      {fixture("vacio.xml"), "El archivo " + p("vacio.xml") +
                                 " no es un XML bien formado: el archivo está vacío (línea 1, columna 1)"},
      {fixture("texto.xml"),
       "El archivo " + p("texto.xml") +
           " no es un XML bien formado: no contiene ningún elemento XML (línea 1, columna 1)"},
      {fixture("mal-cerrado.xml"),
       "El archivo " + p("mal-cerrado.xml") +
           " no es un XML bien formado: una etiqueta de cierre no corresponde a la "
           "de apertura (línea 3, columna 23)"},
      {fixture("sin-bloque.xml"),
       "El archivo " + p("sin-bloque.xml") +
           " no es un archivo de intercambio de Rayuela: le falta /SERVICIO/BLOQUE_DATOS"},
      {fixture("otra-raiz.xml"),
       "El archivo " + p("otra-raiz.xml") +
           " no es un archivo de intercambio de Rayuela: le falta /SERVICIO/BLOQUE_DATOS"},
  };
  for (const Case& c : cases) {
    ::testing::internal::CaptureStderr();
    try {
      Document::load(c.file);
      ADD_FAILURE() << "loaded " << c.file;
    } catch (const DocumentError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << c.file;
  }
}

TEST(document_read_test, a_large_file_reads_in_linear_time) {
  ScratchFolder folder;
  const int perGroup = 100000;
  std::string xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<SERVICIO>\n <BLOQUE_DATOS>\n";
  for (int g = 0; g < 2; ++g) {
    xml += "  <grupo_datos seq=\"MATERIAS\">\n";
    for (int i = 0; i < perGroup; ++i) {
      const std::string key = std::to_string(g * perGroup + i);
      xml += "   <grupo_datos>\n    <dato nombre_dato=\"X_MATERIA\">" + key +
             "</dato>\n    <otro/>\n    <dato nombre_dato=\"D_MATERIA\">Materia " + key +
             "</dato>\n   </grupo_datos>\n";
    }
    xml += "  </grupo_datos>\n";
  }
  xml += " </BLOQUE_DATOS>\n</SERVICIO>\n";
  writeBytes(folder / "grande.xml", xml);

  const auto start = std::chrono::steady_clock::now();
  const std::vector<Record> records = Document::load(folder / "grande.xml").records("MATERIAS");
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  ASSERT_EQ(records.size(), 2u * perGroup);
  EXPECT_EQ(records[perGroup].field(0), std::to_string(perGroup));
  EXPECT_EQ(records.back().field(1), "Materia " + std::to_string(2 * perGroup - 1));
  // Linear work takes a second or two even in a sanitizer build; anything quadratic takes far longer.
  EXPECT_LT(seconds, 60.0);
}

}  // namespace
