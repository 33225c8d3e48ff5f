#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "TablesTestSupport.h"
#include "common/Text.h"
#include "tables/ByteOrder.h"
#include "tables/DbfTable.h"
#include "tables/DbfWriter.h"
#include "tables/WorkingLayouts.h"

namespace vadelux::tables {
namespace {

using testing::readBytes;
using testing::TempFolder;

// Accented text longer than any field, in Windows-1252.
const std::string kLongText =
    text::toWindows1252("Ñandú camión ÁÉÍÓÚ güeña 12345678901234567890 fin del texto largo");

struct SampleValue {
  std::string stored;      // what our reader gives back
  std::string pythonRepr;  // what dbfread gives back, as Python prints it
};

// Fills every field of the row from its type; returns the values to expect.
std::vector<SampleValue> fillRow(DbfWriter& writer, const TableLayout& layout) {
  std::vector<SampleValue> expected;
  std::int64_t integer = -2147483648LL;
  for (const FieldDef& field : layout.fields) {
    switch (field.type) {
      case 'C': {
        writer.setText(field.name, kLongText);
        const std::string cut = kLongText.substr(0, field.length);
        std::string shown = cut;
        while (!shown.empty() && shown.back() == ' ') {
          shown.pop_back();
        }
        expected.push_back({shown, "'" + text::toUtf8(shown) + "'"});
        break;
      }
      case 'N':
        if (field.decimals == 0) {
          writer.setInteger(field.name, integer);
          expected.push_back({std::to_string(integer), std::to_string(integer)});
          integer = 2147483647LL;
        } else {
          writer.setFloat(field.name, 2.5);
          expected.push_back({"2.5000", "2.5"});
        }
        break;
      case 'L':
        writer.setLogical(field.name, true);
        expected.push_back({"T", "True"});
        break;
      default:
        ADD_FAILURE() << "unexpected type " << field.type;
    }
  }
  return expected;
}

// The nine layouts, written with one full row and one row where only the first field is set.
class AllLayouts : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const TableLayout* layout : layouts::all()) {
      DbfWriter writer = DbfWriter::create(folder / (layout->name + ".DBF"), *layout);
      writer.append();
      expected[layout->name] = fillRow(writer, *layout);
      writer.post();
      writer.append();
      writer.setText(layout->fields[0].name, "x");
      writer.post();
      writer.close();
    }
  }
  TempFolder folder;
  std::map<std::string, std::vector<SampleValue>> expected;
};

TEST_F(AllLayouts, read_back_by_our_reader_with_values_cut_texts_and_blanks) {
  for (const TableLayout* layout : layouts::all()) {
    SCOPED_TRACE(layout->name);
    const DbfTable table = DbfTable::open(folder / (layout->name + ".DBF"));
    ASSERT_EQ(table.rowCount(), 2u);
    ASSERT_EQ(table.fields().size(), layout->fields.size());
    for (std::size_t f = 0; f < layout->fields.size(); ++f) {
      SCOPED_TRACE(layout->fields[f].name);
      EXPECT_EQ(table.fields()[f].name, layout->fields[f].name);
      EXPECT_EQ(table.fields()[f].type, layout->fields[f].type);
      EXPECT_EQ(table.fields()[f].length, layout->fields[f].length);
      EXPECT_EQ(table.text(0, f), expected[layout->name][f].stored);
      EXPECT_EQ(table.text(1, f), f == 0 ? "x" : "");
      if (layout->fields[f].type == 'N') {
        EXPECT_EQ(table.integer(1, f), std::nullopt);
      }
    }
  }
}

TEST_F(AllLayouts, read_back_by_dbfread_with_none_for_blank_numbers_and_logicals) {
  for (const TableLayout* layout : layouts::all()) {
    SCOPED_TRACE(layout->name);
    const auto result = testing::runProgram(
        {"/usr/bin/python3", VADELUX_DBFREAD_SCRIPT, (folder / (layout->name + ".DBF")).string()},
        {"PYTHONIOENCODING=utf-8"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string full;
    std::string blank;
    for (std::size_t f = 0; f < layout->fields.size(); ++f) {
      const FieldDef& field = layout->fields[f];
      const std::string sep = f == 0 ? "" : "|";
      full += sep + field.name + "=" + expected[layout->name][f].pythonRepr;
      blank += sep + field.name + "=" + (f == 0 ? "'x'" : field.type == 'C' ? "''" : "None");
    }
    EXPECT_EQ(testing::splitLines(result.out),
              (std::vector<std::string>{"version=0x03 language=0x57 encoding=cp1252", full, blank}));
  }
}

TEST_F(AllLayouts, header_and_records_are_laid_out_as_dbase_iv_stores_them) {
  for (const TableLayout* layout : layouts::all()) {
    SCOPED_TRACE(layout->name);
    const std::string bytes = readBytes(folder / (layout->name + ".DBF"));
    const std::size_t headerLength = 32 + 32 * layout->fields.size() + 1;
    std::size_t recordLength = 1;
    for (const FieldDef& field : layout->fields) {
      recordLength += field.length;
    }
    const DbfDate today = DbfDate::today();
    ASSERT_EQ(bytes.size(), headerLength + 2 * recordLength + 1);
    EXPECT_EQ(bytes[0], 0x03);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]) + 1900, today.year);
    EXPECT_EQ(bytes[2], today.month);
    EXPECT_EQ(bytes[3], today.day);
    EXPECT_EQ(bytes::getLE32(bytes, 4), 2u);
    EXPECT_EQ(bytes::getLE16(bytes, 8), headerLength);
    EXPECT_EQ(bytes::getLE16(bytes, 10), recordLength);
    EXPECT_EQ(bytes[28], layout->indexTag.empty() ? 0x00 : 0x01);
    EXPECT_EQ(bytes[29], 0x57);
    EXPECT_EQ(bytes[headerLength - 1], 0x0D);
    EXPECT_EQ(bytes.back(), 0x1A);
    // Second row: deletion flag ' ', the first field "x", every other byte a blank (no '*', '?' or 0).
    const std::string second = bytes.substr(headerLength + recordLength, recordLength);
    EXPECT_EQ(second.substr(0, 2), " x");
    EXPECT_EQ(second.find_first_not_of(' ', 2), std::string::npos);
    EXPECT_EQ(std::filesystem::exists(folder / (layout->name + ".MDX")), !layout->indexTag.empty());
  }
}

TEST(dbf_writer_test, values_land_in_their_own_field_whatever_order_they_are_set_in) {
  TempFolder folder;
  const TableLayout layout{"T",
                           {{"TXT", 'C', 6, 0},
                            {"NUM", 'N', 6, 0},
                            {"DEC", 'N', 8, 2},
                            {"FLT", 'F', 8, 2},
                            {"FIN", 'C', 3, 0},
                            {"ULT", 'N', 4, 0}},
                           ""};
  DbfWriter writer = DbfWriter::create(folder / "T.DBF", layout);
  // Out of order, a number set over an earlier value, and the last two fields left blank.
  writer.append();
  writer.setFloat("FLT", -0.001);
  writer.setInteger("NUM", 123456);
  writer.setText("txt", "ab");
  writer.setFloat("DEC", -1.005);
  writer.setInteger("NUM", -42);
  writer.append();
  writer.setInteger("ULT", 7);
  writer.close();
  const std::string bytes = readBytes(folder / "T.DBF");
  const std::size_t headerLength = 32 + 32 * 6 + 1;
  const std::size_t recordLength = 1 + 6 + 6 + 8 + 8 + 3 + 4;
  ASSERT_EQ(bytes.size(), headerLength + 2 * recordLength + 1);
  // Flag, TXT C(6), NUM N(6), DEC N(8,2), FLT F(8,2), FIN C(3), ULT N(4); numbers right-aligned, texts
  // left-aligned; a negative value that rounds to zero loses its sign.
  EXPECT_EQ(bytes.substr(headerLength, recordLength),
            std::string(" ") + "ab    " + "   -42" + "   -1.00" + "    0.00" + "   " + "    ");
  EXPECT_EQ(bytes.substr(headerLength + recordLength, recordLength),
            std::string(1 + 6 + 6 + 8 + 8 + 3, ' ') + "   7");
}

struct TooWide {
  const char* what;
  FieldDef field;
  double value;
  bool asInteger;
  const char* message;
};

TEST(dbf_writer_test, refuses_numbers_that_do_not_fit_instead_of_cutting_them) {
  const std::vector<TooWide> cases = {
      {"integer",
       {"DNI", 'N', 11, 0},
       123456789012.0,
       true,
       "El número 123456789012 no cabe en el campo DNI"},
      {"negative", {"DNI", 'N', 3, 0}, -100, true, "El número -100 no cabe en el campo DNI"},
      {"float",
       {"HORAS", 'N', 20, 4},
       1e16,
       false,
       "El número 10000000000000000.0000 no cabe en el campo HORAS"},
      {"decimals", {"HORAS", 'N', 5, 2}, 123.4, false, "El número 123.40 no cabe en el campo HORAS"},
      {"integer into decimals",
       {"HORAS", 'N', 5, 2},
       100,
       true,
       "El número 100.00 no cabe en el campo HORAS"},
      {"not a number",
       {"HORAS", 'N', 20, 4},
       std::nan(""),
       false,
       "El campo HORAS de la tabla {} no admite un valor que no es un número finito"},
  };
  for (const TooWide& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    const auto file = folder / "T.DBF";
    DbfWriter writer = DbfWriter::create(file, TableLayout{"T", {c.field}, ""});
    writer.append();
    try {
      if (c.asInteger) {
        writer.setInteger(c.field.name, static_cast<std::int64_t>(c.value));
      } else {
        writer.setFloat(c.field.name, c.value);
      }
      FAIL() << "no error";
    } catch (const TableError& error) {
      std::string expected = c.message;
      const auto slot = expected.find("{}");
      if (slot != std::string::npos) {
        expected.replace(slot, 2, file.string());
      } else {
        expected += " (" + std::to_string(c.field.length) + " posiciones) de la tabla " + file.string();
      }
      EXPECT_EQ(error.what(), expected);
    }
  }
}

TEST(dbf_writer_test, reports_misuse_naming_the_table_and_field) {
  TempFolder folder;
  const auto file = folder / "ASIGNOMT.DBF";
  DbfWriter writer = DbfWriter::create(file, layouts::asignomt());
  const std::string table = file.string();
  auto message = [](auto&& action) -> std::string {
    try {
      action();
    } catch (const TableError& error) {
      return error.what();
    }
    return "no error";
  };
  EXPECT_EQ(message([&] { writer.setText("COD", "x"); }),
            "No hay ninguna fila en curso en la tabla " + table);
  EXPECT_EQ(message([&] { writer.post(); }), "No hay ninguna fila en curso en la tabla " + table);
  writer.append();
  EXPECT_EQ(message([&] { writer.setText("NOEXISTE", "x"); }),
            "La tabla " + table + " no tiene el campo NOEXISTE");
  EXPECT_EQ(message([&] { writer.setText("ESTAREA", "x"); }),
            "El campo ESTAREA de la tabla " + table + " no admite texto");
  EXPECT_EQ(message([&] { writer.setLogical("COD", true); }),
            "El campo COD de la tabla " + table + " no admite valores lógicos");
  EXPECT_EQ(message([&] { writer.setInteger("NOMBRE", 1); }),
            "El campo NOMBRE de la tabla " + table + " no admite números");
  writer.close();
  EXPECT_EQ(message([&] { writer.append(); }), "La tabla " + table + " ya está cerrada");
  EXPECT_EQ(
      message([] {
        DbfWriter::create("/tmp/X.DBF", TableLayout{"X", {{"NOMBRE_LARGO", 'C', 4, 0}}, ""});
      }),
      "La tabla /tmp/X.DBF no puede crearse: el nombre de campo 'NOMBRE_LARGO' no vale (letras A-Z, cifras "
      "y _, hasta 10)");
}

TEST(dbf_writer_test, append_keeps_the_rows_already_in_the_table) {
  TempFolder folder;
  const auto file = folder / "ASIGNOMT.DBF";
  {
    DbfWriter writer = DbfWriter::create(file, layouts::asignomt());
    writer.append();
    writer.setText("COD", "MAT");
    writer.setLogical("ESTAREA", false);
    writer.append();  // starting a row posts the one before
    writer.setText("COD", "LEN");
  }  // the destructor posts and closes
  {
    DbfWriter writer = DbfWriter::openForAppend(file, layouts::asignomt());
    EXPECT_EQ(writer.rowCount(), 2u);
    writer.append();
    writer.setText("COD", "GUA");
    writer.setLogical("ESTAREA", true);
    writer.close();
  }
  const DbfTable table = DbfTable::open(file);
  ASSERT_EQ(table.rowCount(), 3u);
  EXPECT_EQ(table.text(0, "COD"), "MAT");
  EXPECT_EQ(table.text(0, "ESTAREA"), "F");
  EXPECT_EQ(table.text(1, "COD"), "LEN");
  EXPECT_EQ(table.text(1, "ESTAREA"), "");
  EXPECT_EQ(table.text(2, "COD"), "GUA");
  EXPECT_EQ(table.text(2, "ESTAREA"), "T");

  try {
    DbfWriter::openForAppend(file, layouts::proft());
    FAIL() << "no error";
  } catch (const TableError& error) {
    EXPECT_EQ(std::string(error.what()), "La tabla " + file.string() + " no tiene la estructura de PROFT");
  }
}

TEST(dbf_writer_test, an_indexed_layout_gets_its_index_file_and_header_flag) {
  TempFolder folder;
  DbfWriter writer = DbfWriter::create(folder / "DIASHORAST2.DBF", layouts::diashorast2());
  for (const int orden : {5, 2, -3}) {
    writer.append();
    writer.setInteger("ORDEN", orden);
  }
  writer.append();  // a row whose ORDEN stays blank
  writer.close();
  const std::string dbf = readBytes(folder / "DIASHORAST2.DBF");
  EXPECT_EQ(dbf[28], 0x01);
  const std::size_t ordenDescriptor = 32 + 32 * 9;
  EXPECT_EQ(dbf.substr(ordenDescriptor, 5), "ORDEN");
  EXPECT_EQ(dbf[ordenDescriptor + 31], 0x01);
  const std::string mdx = readBytes(folder / "DIASHORAST2.MDX");
  ASSERT_GE(mdx.size(), 2048u);
  EXPECT_EQ(mdx.substr(4, 12), std::string("DIASHORAST2") + '\0');
  EXPECT_EQ(mdx.substr(544 + 4, 6), std::string("ORDEN") + '\0');
}

}  // namespace
}  // namespace vadelux::tables
