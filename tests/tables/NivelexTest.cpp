#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TablesTestSupport.h"
#include "common/Error.h"
#include "common/Text.h"
#include "tables/DbfTable.h"
#include "tables/Nivelex.h"

namespace vadelux::tables {
namespace {

using testing::readBytes;
using testing::runProgram;
using testing::splitLines;
using testing::TempFolder;
using testing::writeBytes;

const std::filesystem::path kFixtures = std::filesystem::path(VADELUX_FIXTURES) / "tables" / "nivelex";

struct NivelexRow {
  std::int64_t key;
  std::string nivel;  // UTF-8
  std::string estudio;
};

// Comments, a blank line, CRLF and LF, a byte-order mark, a quoted field with a comma and quotes,
// blanks around unquoted fields, empty fields and the largest 32-bit key.
const std::vector<NivelexRow> kValidRows = {
    {100101, "ESO", "Educación Secundaria Obligatoria"},
    {7, "BACH", "Bachillerato de Artes, vía de Música y \"Escénicas\""},
    {-5, "", ""},
    {2147483647, "CFGS", "Ciclo Formativo de Grado Superior"},
};

TEST(nivelex_test, csv_rows_become_a_level_7_table_that_our_reader_and_tdbf_read) {
  TempFolder folder;
  writeNivelexFromCsv(kFixtures / "valid.csv", folder / "NIVELEX.DBF");

  const DbfTable table = DbfTable::open(folder / "NIVELEX.DBF");
  EXPECT_EQ(table.level(), 7);
  ASSERT_EQ(table.fields().size(), 3u);
  EXPECT_EQ(table.fields()[0].name, "X_OFERTAMATRIG");
  EXPECT_EQ(table.fields()[0].type, 'I');
  EXPECT_EQ(table.fields()[1].name, "NIVEL_ABREV");
  EXPECT_EQ(table.fields()[2].name, "ESTUDIO");
  ASSERT_EQ(table.rowCount(), kValidRows.size());
  for (std::size_t row = 0; row < kValidRows.size(); ++row) {
    EXPECT_EQ(table.integer(row, table.fieldIndex("X_OFERTAMATRIG")), kValidRows[row].key);
    EXPECT_EQ(table.text(row, "NIVEL_ABREV"), text::toWindows1252(kValidRows[row].nivel));
    EXPECT_EQ(table.text(row, "ESTUDIO"), text::toWindows1252(kValidRows[row].estudio));
  }

  const auto dump = runProgram({VADELUX_TDBFTABLES, "dump", folder.path().string(), "NIVELEX.DBF"});
  ASSERT_EQ(dump.exitCode, 0) << dump.out;
  std::vector<std::string> expected = {"level=7 codepage=1252"};
  for (const NivelexRow& row : kValidRows) {
    auto shown = [](const std::string& utf8) {
      return utf8.empty() ? std::string("NULL") : text::toWindows1252(utf8);
    };
    expected.push_back("X_OFERTAMATRIG=" + std::to_string(row.key) + "|NIVEL_ABREV=" + shown(row.nivel) +
                       "|ESTUDIO=" + shown(row.estudio));
  }
  EXPECT_EQ(splitLines(dump.out), expected);
}

struct BadCsv {
  const char* what;
  const char* content;
  const char* problem;  // after "El archivo CSV <path>"
};

TEST(nivelex_test, a_bad_csv_is_refused_with_its_line_and_the_table_is_left_alone) {
  const std::vector<BadCsv> cases = {
      {"no header", "# solo un comentario\n\n", " no tiene la cabecera X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO"},
      {"wrong header", "CLAVE,NIVEL,ESTUDIO\n1,ESO,x\n",
       ", línea 1: la cabecera debe ser X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO"},
      {"key with letters", "# c\nX_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n1,ESO,x\n12a,ESO,x\n",
       ", línea 4: la clave X_OFERTAMATRIG '12a' no es un número entero de 32 bits"},
      {"empty key", "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n,ESO,x\n",
       ", línea 2: la clave X_OFERTAMATRIG '' no es un número entero de 32 bits"},
      {"key beyond 32 bits", "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n2147483648,ESO,x\n",
       ", línea 2: la clave X_OFERTAMATRIG '2147483648' no es un número entero de 32 bits"},
      {"decimal key", "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n1.5,ESO,x\n",
       ", línea 2: la clave X_OFERTAMATRIG '1.5' no es un número entero de 32 bits"},
      {"too few columns", "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n1,ESO\n",
       ", línea 2: se esperaban 3 columnas y hay 2"},
      {"comma not quoted", "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n1,ESO,Artes, Música\n",
       ", línea 2: se esperaban 3 columnas y hay 4"},
      {"unclosed quote", "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n1,ESO,\"Artes\n",
       ", línea 2: faltan las comillas que cierran un campo"},
      {"text after quote", "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n1,\"ESO\"x,y\n",
       ", línea 2: hay texto después de las comillas que cierran un campo"},
      {"stray quote", "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n1,ES\"O,y\n",
       ", línea 2: un campo con comillas debe ir entero entre comillas"},
      {"repeated key", "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n5,ESO,x\n6,ESO,x\n005,BACH,y\n",
       ", línea 4: la clave 5 ya está en la línea 2"},
      {"level too long", "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n1,BACHILLERATO,x\n",
       ", línea 2: NIVEL_ABREV 'BACHILLERATO' tiene 12 caracteres y solo caben 10"},
      {"not UTF-8", "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n1,ESO,Educaci\xF3n\n",
       ", línea 2: el texto 'Educaci\xF3n' no es UTF-8 o tiene caracteres que no caben en Windows-1252"},
      {"outside Windows-1252", "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n1,ESO,\xE2\x86\x92 Grado\n",
       ", línea 2: el texto '\xE2\x86\x92 Grado' no es UTF-8 o tiene caracteres que no caben en "
       "Windows-1252"},
  };
  for (const BadCsv& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    const auto csv = folder / "niveles.csv";
    writeBytes(csv, c.content);
    writeBytes(folder / "NIVELEX.DBF", "old table");
    try {
      writeNivelexFromCsv(csv, folder / "NIVELEX.DBF");
      ADD_FAILURE() << "no error";
    } catch (const vadelux::Error& error) {
      EXPECT_EQ(std::string(error.what()), "El archivo CSV " + csv.string() + c.problem);
    }
    EXPECT_EQ(readBytes(folder / "NIVELEX.DBF"), "old table");
  }
  TempFolder folder;
  const auto missing = folder / "no.csv";
  try {
    writeNivelexFromCsv(missing, folder / "NIVELEX.DBF");
    ADD_FAILURE() << "no error";
  } catch (const vadelux::Error& error) {
    EXPECT_EQ(std::string(error.what()), "No se puede leer el archivo CSV " + missing.string());
  }
}

// The shipped table, built from data/nivelex.csv when the programs are built, beside them.
TEST(nivelex_test, the_shipped_table_holds_every_row_of_the_shipped_csv_within_the_course_fields) {
  std::vector<std::vector<std::string>> csvRows;
  for (const std::string& line : splitLines(readBytes(VADELUX_NIVELEX_CSV))) {
    if (line.empty() || line.starts_with("#") || line.starts_with("X_OFERTAMATRIG")) {
      continue;
    }
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1) {
      fields.push_back(line.substr(start, comma - start));
    }
    fields.push_back(line.substr(start));
    ASSERT_EQ(fields.size(), 3u) << line;
    csvRows.push_back(fields);
  }
  ASSERT_GE(csvRows.size(),
            18u);  // ESO 1-4, four Bachillerato modalities 1-2, FP Básica, Grado Medio, Superior

  const DbfTable table = DbfTable::open(std::filesystem::path(VADELUX_BIN_DIR) / "NIVELEX.DBF");
  EXPECT_EQ(table.level(), 7);
  ASSERT_EQ(table.rowCount(), csvRows.size());
  for (std::size_t row = 0; row < csvRows.size(); ++row) {
    SCOPED_TRACE(csvRows[row][0]);
    EXPECT_EQ(table.integer(row, table.fieldIndex("X_OFERTAMATRIG")), std::stoll(csvRows[row][0]));
    const std::string nivel = table.text(row, "NIVEL_ABREV");
    const std::string estudio = table.text(row, "ESTUDIO");
    EXPECT_EQ(nivel, text::toWindows1252(csvRows[row][1]));
    EXPECT_EQ(estudio, text::toWindows1252(csvRows[row][2]));
    // CURSOST keeps 5 characters of the level and 40 of the study: the shipped names fit whole.
    EXPECT_TRUE(!nivel.empty() && nivel.size() <= 5) << nivel;
    EXPECT_TRUE(!estudio.empty() && estudio.size() <= 40) << estudio;
  }
}

TEST(nivelex_test, the_command_line_builds_the_table_in_the_program_folder_it_is_given) {
  const std::string cli = std::string(VADELUX_BIN_DIR) + "/vadelux-cli";
  TempFolder folder;
  const auto built =
      runProgram({cli, "nivelex", (kFixtures / "valid.csv").string(), "--programa", folder.path().string()});
  EXPECT_EQ(built.exitCode, 0) << built.err;
  EXPECT_EQ(built.out, "Creado " + (folder / "NIVELEX.DBF").string() + "\n");
  EXPECT_EQ(DbfTable::open(folder / "NIVELEX.DBF").rowCount(), kValidRows.size());

  writeBytes(folder / "bad.csv", "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\nuno,ESO,x\n");
  const auto bad =
      runProgram({cli, "nivelex", (folder / "bad.csv").string(), "--programa", folder.path().string()});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_EQ(bad.err, "El archivo CSV " + (folder / "bad.csv").string() +
                         ", línea 2: la clave X_OFERTAMATRIG 'uno' no es un número entero de 32 bits\n");

  const auto noFolder = runProgram(
      {cli, "nivelex", (kFixtures / "valid.csv").string(), "--programa", (folder / "missing").string()});
  EXPECT_EQ(noFolder.exitCode, 1);
  EXPECT_EQ(noFolder.err, "No existe la carpeta " + (folder / "missing").string() + "\n");

  for (const std::vector<std::string>& usage :
       {std::vector<std::string>{cli, "nivelex"},
        std::vector<std::string>{cli, "nivelex", "a.csv", "--htemp", "x"},
        std::vector<std::string>{cli, "nivelex", "a.csv", "b.csv"}}) {
    const auto wrong = runProgram(usage);
    EXPECT_EQ(wrong.exitCode, 2) << wrong.err;
    EXPECT_NE(wrong.err.find("Uso: vadelux-cli nivelex ARCHIVO.csv [--programa DIR]"), std::string::npos)
        << wrong.err;
  }
}

}  // namespace
}  // namespace vadelux::tables
