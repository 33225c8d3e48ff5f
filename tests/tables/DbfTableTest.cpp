#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "TablesTestSupport.h"
#include "common/Text.h"
#include "tables/ByteOrder.h"
#include "tables/Dbf7Writer.h"
#include "tables/DbfTable.h"
#include "tables/DbfWriter.h"

namespace vadelux::tables {
namespace {

using testing::readBytes;
using testing::runProgram;
using testing::TempFolder;
using testing::writeBytes;

std::string errorOf(auto&& action) {
  try {
    action();
  } catch (const TableError& error) {
    return error.what();
  }
  return "no error";
}

// The rows that tdbftables writes (its deleted row left out), as our reader must give them back.
const std::map<std::string, std::vector<std::string>> kTdbfRows = {
    {"NOMBRE",
     {"Mar\xED"
      "a \xD1u\xF1"
      "ez",
      "  con blanco",
      "vac\xED"
      "a",
      "ceros"}},
    {"CANT", {"12", "-45", "", "0"}},
    {"PRECIO", {"3.50", "-0.75", "", "0.00"}},
    {"PESO", {"10.125", "-2.500", "", "0.000"}},
    {"ACTIVO", {"T", "F", "", "T"}},
    {"FECHA", {"20240916", "19991231", "", "20310228"}},
    {"ENTERO", {"123456", "-7", "", "0"}},
    {"DOBLE", {"2.5", "-1234.5", "", "0"}},
    {"MOMENTO", {"20240916 08:30:15", "19991231 23:59:59", "", "20310228 00:00:00"}},
    {"CONTADOR", {"0", "2", "3", "4"}},
};

class TdbfTables : public ::testing::TestWithParam<int> {};

TEST_P(TdbfTables, are_read_with_every_field_type_and_without_deleted_rows) {
  const int level = GetParam();
  TempFolder folder;
  const auto made =
      runProgram({VADELUX_TDBFTABLES, "make", folder.path().string(), "T.DBF", std::to_string(level)});
  ASSERT_EQ(made.exitCode, 0) << made.out << made.err;
  const DbfTable table = DbfTable::open(folder / "T.DBF");
  EXPECT_EQ(table.level(), level);
  const std::map<int, std::string> types = {{3, "CNNLD"}, {4, "CNNFLDI"}, {7, "CNNFLDIO@+"}};
  std::string seen;
  for (const FieldDef& field : table.fields()) {
    seen += field.type;
  }
  ASSERT_EQ(seen, types.at(level));
  ASSERT_EQ(table.rowCount(), 4u);
  for (const FieldDef& field : table.fields()) {
    const auto& expected = kTdbfRows.at(field.name);
    for (std::size_t row = 0; row < 4; ++row) {
      EXPECT_EQ(table.text(row, field.name), expected[row]) << field.name << " row " << row;
    }
  }
  EXPECT_EQ(table.integer(0, table.fieldIndex("CANT")), 12);
  EXPECT_EQ(table.integer(1, table.fieldIndex("CANT")), -45);
  EXPECT_EQ(table.integer(2, table.fieldIndex("CANT")), std::nullopt);
  if (level >= 4) {
    EXPECT_EQ(table.integer(1, table.fieldIndex("ENTERO")), -7);
    EXPECT_EQ(table.integer(2, table.fieldIndex("ENTERO")), std::nullopt);
  }
  if (level == 7) {
    EXPECT_EQ(table.integer(0, table.fieldIndex("ENTERO")), 123456);
    EXPECT_EQ(table.integer(3, table.fieldIndex("DOBLE")), 0);
    EXPECT_EQ(table.integer(2, table.fieldIndex("CONTADOR")), 3);
    EXPECT_EQ(errorOf([&] { table.integer(1, table.fieldIndex("DOBLE")); }),
              "'-1234.5' no es un valor entero v\xC3\xA1lido");
  }
}

INSTANTIATE_TEST_SUITE_P(levels, TdbfTables, ::testing::Values(3, 4, 7));

struct IntegerCase {
  const char* stored;
  std::optional<std::int64_t> value;  // nothing: blank
  bool refused;
};

TEST(dbf_table_test, integer_reads_whole_numbers_and_refuses_other_text) {
  const std::vector<IntegerCase> cases = {
      {"12", 12, false},         {"  -7", -7, false}, {"007", 7, false},
      {"+5", 5, false},          {"3.00", 3, false},  {"2147483648", 2147483648LL, false},
      {"", std::nullopt, false}, {"12a", {}, true},   {"x", {}, true},
      {"2.5", {}, true},         {"1 2", {}, true},   {"99999999999999999999", {}, true},
  };
  TempFolder folder;
  const auto file = folder / "T.DBF";
  {
    DbfWriter writer = DbfWriter::create(file, TableLayout{"T", {{"VALOR", 'C', 20, 0}}, ""});
    for (const IntegerCase& c : cases) {
      writer.append();
      writer.setText("VALOR", c.stored);
    }
    writer.close();
  }
  const DbfTable table = DbfTable::open(file);
  for (std::size_t row = 0; row < cases.size(); ++row) {
    const IntegerCase& c = cases[row];
    SCOPED_TRACE(c.stored);
    if (c.refused) {
      EXPECT_EQ(errorOf([&] { table.integer(row, 0); }),
                std::string("'") + text::trim(c.stored) + "' no es un valor entero v\xC3\xA1lido");
    } else {
      EXPECT_EQ(table.integer(row, 0), c.value);
    }
  }
}

TEST(dbf_table_test, locate_finds_the_first_row_holding_exactly_the_value) {
  TempFolder folder;
  const auto file = folder / "GRUPOST.DBF";
  {
    DbfWriter writer =
        DbfWriter::create(file, TableLayout{"GRUPOST", {{"ABREV", 'C', 4, 0}, {"N", 'N', 3, 0}}, ""});
    int n = 0;
    for (const char* abrev : {"1ESO", "1es1", "1ESO", " 2A", ""}) {
      writer.append();
      writer.setText("ABREV", abrev);
      writer.setInteger("N", ++n);
    }
    writer.close();
  }
  const DbfTable table = DbfTable::open(file);
  const std::size_t abrev = table.fieldIndex("abrev");
  EXPECT_EQ(table.locate(abrev, "1ESO"), 0u);
  EXPECT_EQ(table.locate(abrev, "1es1"), 1u);
  EXPECT_EQ(table.locate(abrev, "1ES1"), std::nullopt);  // letter case counts
  EXPECT_EQ(table.locate(abrev, " 2A"), 3u);             // leading blanks are kept
  EXPECT_EQ(table.locate(abrev, "2A"), std::nullopt);
  EXPECT_EQ(table.locate(abrev, ""), 4u);
  EXPECT_EQ(table.locate(table.fieldIndex("N"), "3"), 2u);
  EXPECT_EQ(errorOf([&] { table.fieldIndex("CLAVE"); }),
            "La tabla " + file.string() + " no tiene el campo CLAVE");
  EXPECT_FALSE(table.hasField("CLAVE"));
  EXPECT_TRUE(table.hasField("Abrev"));
}

struct Damage {
  const char* file;
  const char* problem;
};

TEST(dbf_table_test, damaged_files_are_refused_with_a_message_naming_the_file) {
  const std::vector<Damage> cases = {
      {"empty.dbf", "el archivo está vacío"},
      {"short-header.dbf", "el archivo es más corto que su cabecera"},
      {"level7-short.dbf", "el archivo es más corto que su cabecera"},
      {"header-beyond-file.dbf", "el archivo es más corto que su cabecera (500 bytes)"},
      {"header-length.dbf", "la longitud de la cabecera (65 bytes) no concuerda con sus 2 campos"},
      {"no-terminator.dbf", "falta el final de la descripción de los campos"},
      {"no-fields.dbf", "no tiene campos"},
      {"record-length.dbf",
       "la longitud de registro (12 bytes) no concuerda con la de sus campos (11 bytes)"},
      {"truncated.dbf", "la cabecera anuncia 5 registros, pero el archivo solo tiene sitio para 2"},
      {"cut-in-a-row.dbf", "la cabecera anuncia 2 registros, pero el archivo solo tiene sitio para 1"},
      {"huge-count.dbf", "la cabecera anuncia 4294967295 registros, pero el archivo solo tiene sitio para 2"},
      {"unknown-type.dbf", "el campo NUM es de un tipo desconocido ('Q', 0x51)"},
      {"field-width.dbf", "el campo NUM de tipo L mide 4 bytes"},
      {"deletion-flag.dbf", "el registro 1 no empieza por una marca de borrado válida"},
  };
  const std::filesystem::path folder = std::filesystem::path(VADELUX_FIXTURES) / "tables" / "damaged";
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.file);
    const auto file = folder / c.file;
    EXPECT_EQ(errorOf([&] { DbfTable::open(file); }), "La tabla " + file.string() +
                                                          " est\xC3\xA1 da\xC3\xB1"
                                                          "ada: " +
                                                          c.problem);
  }
  const auto notDbase = folder / "not-dbase.dbf";
  EXPECT_EQ(errorOf([&] { DbfTable::open(notDbase); }),
            "El archivo " + notDbase.string() + " no es una tabla dBase (versi\xC3\xB3n 0x99)");
  const auto missing = folder / "SOLUC.DBF";
  EXPECT_EQ(errorOf([&] { DbfTable::open(missing); }), "No existe la tabla " + missing.string());
}

// Every prefix of a real table, and every byte set to 0x00 or 0xFF, either reads or gives a
// TableError: never a crash, a hang or another kind of error.
TEST(dbf_table_test, cut_or_corrupted_tables_are_read_or_refused_cleanly) {
  // Some thousand small files: in memory when the system has a memory file system.
  std::error_code ec;
  TempFolder folder(std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                                  : std::filesystem::temp_directory_path());
  for (const int level : {4, 7}) {
    const auto made =
        runProgram({VADELUX_TDBFTABLES, "make", folder.path().string(), "T.DBF", std::to_string(level)});
    ASSERT_EQ(made.exitCode, 0) << made.out;
    const std::string good = readBytes(folder / "T.DBF");
    std::vector<std::string> variants;
    for (std::size_t n = 0; n < good.size(); ++n) {
      variants.push_back(good.substr(0, n));
    }
    // Header and rows alike: in the rows this makes NaN, infinite and out-of-range timestamps and doubles.
    for (std::size_t at = 0; at < good.size(); ++at) {
      for (const char value : {'\x00', '\xFF'}) {
        std::string bad = good;
        bad[at] = value;
        variants.push_back(bad);
      }
    }
    const auto file = folder / "BAD.DBF";
    std::size_t refused = 0;
    for (const std::string& bytes : variants) {
      writeBytes(file, bytes);
      try {
        const DbfTable table = DbfTable::open(file);
        for (std::size_t row = 0; row < table.rowCount(); ++row) {
          for (std::size_t field = 0; field < table.fields().size(); ++field) {
            try {
              (void)table.text(row, field);
              (void)table.integer(row, field);
            } catch (const TableError&) {
              // a value that is no whole number, or a timestamp that is no date: refused, as it should be
            }
          }
        }
      } catch (const TableError& error) {
        ++refused;
        EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos) << error.what();
      }
    }
    // Every cut table is refused (the last row is always incomplete or the header short).
    EXPECT_GE(refused, good.size() - 1);
  }
}

TEST(dbf_table_test, level_7_field_properties_after_the_descriptors_are_skipped) {
  TempFolder folder;
  Dbf7Writer writer(folder / "N.DBF", {{"X_OFERTAMATRIG", 'I', 4, 0}, {"NIVEL_ABREV", 'C', 5, 0}});
  writer.append();
  writer.setInteger("X_OFERTAMATRIG", -2);
  writer.setText("NIVEL_ABREV", "ESO");
  std::string bytes = writer.bytes(DbfDate{2024, 5, 6});
  // A properties block of 16 bytes (no standard, custom or integrity properties) after the 0x0D.
  const std::size_t headerLength = bytes::getLE16(bytes, 8);
  std::string properties(16, '\0');
  properties[14] = 16;
  bytes.insert(headerLength, properties);
  bytes[8] = static_cast<char>(headerLength + 16);
  writeBytes(folder / "N.DBF", bytes);
  const DbfTable table = DbfTable::open(folder / "N.DBF");
  EXPECT_EQ(table.level(), 7);
  ASSERT_EQ(table.rowCount(), 1u);
  EXPECT_EQ(table.integer(0, table.fieldIndex("X_OFERTAMATRIG")), -2);
  EXPECT_EQ(table.text(0, "NIVEL_ABREV"), "ESO");
}

TEST(dbf_table_test, foxpro_integers_are_little_endian) {
  // Visual FoxPro table: version 0x30, one I field, 263 bytes after the terminator.
  std::string bytes(32 + 32 + 1 + 263, '\0');
  bytes[0] = 0x30;
  bytes[4] = 2;
  bytes[8] = static_cast<char>(bytes.size() & 0xFF);
  bytes[9] = static_cast<char>(bytes.size() >> 8);
  bytes[10] = 5;
  bytes.replace(32, 4, "CANT");
  bytes[32 + 11] = 'I';
  bytes[32 + 16] = 4;
  bytes[64] = 0x0D;
  bytes += std::string(" \x39\x30\x00\x00", 5);  // 12345
  bytes += std::string(" \xFE\xFF\xFF\xFF", 5);  // -2
  TempFolder folder;
  writeBytes(folder / "F.DBF", bytes);
  const DbfTable table = DbfTable::open(folder / "F.DBF");
  EXPECT_EQ(table.text(0, "CANT"), "12345");
  EXPECT_EQ(table.integer(1, 0), -2);
}

}  // namespace
}  // namespace vadelux::tables
