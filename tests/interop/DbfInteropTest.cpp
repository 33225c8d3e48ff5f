// The working tables written by our dBase writer, read back by independent readers: Debian's
// python3-dbfread, Free Pascal's TDbf (also through the production index, and the shipped level-7
// NIVELEX.DBF) and LibreOffice Calc.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <numeric>

#include <unistd.h>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "ExternalProgram.h"
#include "Tdbf.h"
#include "common/Text.h"
#include "tables/DbfWriter.h"
#include "tables/WorkingLayouts.h"

namespace vadelux::interop {
namespace {

using tables::DbfWriter;
using tables::FieldDef;
using tables::TableLayout;

const std::filesystem::path kFixture =
    std::filesystem::path(VADELUX_FIXTURES) / "interop" / "working_tables.txt";

std::vector<std::string> split(const std::string& line, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at = line.find(separator); at != std::string::npos; at = line.find(separator, start)) {
    parts.push_back(line.substr(start, at - start));
    start = at + 1;
  }
  parts.push_back(line.substr(start));
  return parts;
}

// One row of the fixture: the values (UTF-8) of the fields it names.
struct FixtureRow {
  std::vector<std::pair<std::string, std::string>> values;

  const std::string* find(const std::string& field) const {
    for (const auto& [name, value] : values) {
      if (name == field) {
        return &value;
      }
    }
    return nullptr;
  }
};

std::vector<FixtureRow> fixtureRows(const std::string& table) {
  std::ifstream in(kFixture);
  EXPECT_TRUE(in) << kFixture;
  std::vector<FixtureRow> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') {
      continue;
    }
    std::vector<std::string> parts = split(line, '|');
    if (parts.front() != table) {
      continue;
    }
    FixtureRow row;
    for (std::size_t i = 1; i < parts.size(); ++i) {
      const std::size_t equals = parts[i].find('=');
      row.values.emplace_back(parts[i].substr(0, equals), parts[i].substr(equals + 1));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

bool isInteger(const FieldDef& field) {
  return (field.type == 'N' || field.type == 'F') && field.decimals == 0;
}

void writeTable(const std::filesystem::path& dir, const TableLayout& layout,
                const std::vector<FixtureRow>& rows) {
  DbfWriter writer = DbfWriter::create(dir / (layout.name + ".DBF"), layout);
  for (const FixtureRow& row : rows) {
    writer.append();
    for (const auto& [name, value] : row.values) {
      const auto field = std::find_if(layout.fields.begin(), layout.fields.end(),
                                      [&](const FieldDef& f) { return f.name == name; });
      ASSERT_NE(field, layout.fields.end()) << layout.name << " has no field " << name;
      if (field->type == 'C') {
        writer.setText(name, text::toWindows1252(value));
      } else if (field->type == 'L') {
        writer.setLogical(name, value == "T");
      } else if (isInteger(*field)) {
        writer.setInteger(name, std::stoll(value));
      } else {
        writer.setFloat(name, std::stod(value));
      }
    }
    writer.post();
  }
  writer.close();
}

// How a reader shows values.
struct ReaderStyle {
  std::string name;
  bool utf8 = false;  // text decoded to UTF-8, or the stored Windows-1252 bytes
  std::string blankText;
  std::string blankOther;  // a blank number or logical
  std::string trueText;
  std::string falseText;
};

const ReaderStyle kDbfread{"dbfread", true, "", "NULL", "T", "F"};
// TDbf takes an all-blank text field for NULL.
const ReaderStyle kTdbf{"TDbf", false, "NULL", "NULL", "T", "F"};
const ReaderStyle kLibreOffice{"LibreOffice", true, "", "", "TRUE", "FALSE"};

// Checks the rows a reader delivered against the fixture rows written into `layout`.
void expectRows(const ReaderStyle& reader, const TableLayout& layout, const std::vector<FixtureRow>& written,
                const std::vector<std::vector<std::string>>& read) {
  ASSERT_EQ(read.size(), written.size()) << reader.name << " rows of " << layout.name;
  for (std::size_t r = 0; r < read.size(); ++r) {
    ASSERT_EQ(read[r].size(), layout.fields.size()) << reader.name << " " << layout.name << " row " << r + 1;
    for (std::size_t f = 0; f < layout.fields.size(); ++f) {
      const FieldDef& field = layout.fields[f];
      const std::string* value = written[r].find(field.name);
      const std::string& actual = read[r][f];
      const std::string where =
          reader.name + " " + layout.name + " row " + std::to_string(r + 1) + " " + field.name;
      if (field.type == 'C') {
        std::string stored = value ? std::string(text::left(text::toWindows1252(*value), field.length)) : "";
        stored.erase(stored.find_last_not_of(' ') + 1);
        const std::string expected = stored.empty() ? reader.blankText
                                     : reader.utf8  ? text::toUtf8(stored)
                                                    : stored;
        EXPECT_EQ(actual, expected) << where;
      } else if (value == nullptr) {
        EXPECT_EQ(actual, reader.blankOther) << where;
      } else if (field.type == 'L') {
        EXPECT_EQ(actual, *value == "T" ? reader.trueText : reader.falseText) << where;
      } else if (isInteger(field)) {
        EXPECT_EQ(actual, std::to_string(std::stoll(*value))) << where;
      } else {
        char* end = nullptr;
        const double number = std::strtod(actual.c_str(), &end);
        EXPECT_TRUE(!actual.empty() && *end == '\0' && number == std::stod(*value))
            << where << ": read \"" << actual << "\" for " << *value;
      }
    }
  }
}

// "NAME TYPE LENGTH DECIMALS" of every field, as the readers list them.
std::vector<std::string> fieldLines(const TableLayout& layout) {
  std::vector<std::string> lines;
  for (const FieldDef& field : layout.fields) {
    lines.push_back(field.name + " " + field.type + " " + std::to_string(field.length) + " " +
                    std::to_string(field.decimals));
  }
  return lines;
}

class dbf_interop_test : public testing::Test {
 protected:
  void writeAll() {
    for (const TableLayout* layout : tables::layouts::all()) {
      const std::vector<FixtureRow> rows = fixtureRows(layout->name);
      ASSERT_FALSE(rows.empty()) << "no fixture rows for " << layout->name;
      writeTable(folder_.path(), *layout, rows);
      if (!layout->indexTag.empty()) {
        // TDbf looks for NAME.mdx unless the whole path is upper case.
        std::filesystem::create_symlink(layout->name + ".MDX", folder_.path() / (layout->name + ".mdx"));
      }
    }
  }
  const std::filesystem::path& dir() const { return folder_.path(); }

  ScratchFolder folder_;
};

TEST_F(dbf_interop_test, dbfread_reads_every_working_table) {
  ASSERT_NO_FATAL_FAILURE(writeAll());
  for (const TableLayout* layout : tables::layouts::all()) {
    const std::filesystem::path file = dir() / (layout->name + ".DBF");
    const ProgramResult run = runProgram({"/usr/bin/python3", VADELUX_DBFREAD_SCRIPT, file.string()});
    ASSERT_EQ(run.exitCode, 0) << layout->name << ": " << run.err;
    std::istringstream lines(run.out);
    std::string line;
    std::vector<std::string> header;
    std::vector<std::string> fields;
    std::vector<std::vector<std::string>> rows;
    while (std::getline(lines, line)) {
      if (line.rfind("rec ", 0) == 0) {
        rows.push_back(split(line.substr(4), '\t'));
      } else if (line.rfind("field ", 0) == 0) {
        fields.push_back(line.substr(6));
      } else {
        header.push_back(line);
      }
    }
    EXPECT_EQ(header, (std::vector<std::string>{"version 0x03", "language 0x57", "encoding cp1252"}))
        << layout->name;
    EXPECT_EQ(fields, fieldLines(*layout)) << layout->name;
    expectRows(kDbfread, *layout, fixtureRows(layout->name), rows);
  }
}

TEST_F(dbf_interop_test, tdbf_reads_every_working_table) {
  ASSERT_NO_FATAL_FAILURE(writeAll());
  for (const TableLayout* layout : tables::layouts::all()) {
    const auto table = readWithTdbf(dir(), layout->name + ".DBF");
    ASSERT_TRUE(table) << layout->name;
    EXPECT_EQ(table->language, "$57") << layout->name;
    EXPECT_EQ(table->fields, fieldLines(*layout)) << layout->name;
    const std::vector<std::string> indexes =
        layout->indexTag.empty() ? std::vector<std::string>{} : std::vector<std::string>{"ORDEN ORDEN"};
    EXPECT_EQ(table->indexes, indexes) << layout->name;
    std::vector<std::uint32_t> stored(table->records);
    std::iota(stored.begin(), stored.end(), 1U);
    EXPECT_EQ(table->recordNumbers, stored) << layout->name;
    expectRows(kTdbf, *layout, fixtureRows(layout->name), table->rows);
  }

  // The fixture's slots, walked through the index: by start minute, ties in the order appended.
  const auto ordered = readWithTdbf(dir(), "DIASHORAST2.DBF", "ORDEN");
  ASSERT_TRUE(ordered);
  EXPECT_EQ(ordered->order, "ORDEN");
  EXPECT_EQ(ordered->recordNumbers, (std::vector<std::uint32_t>{4, 2, 3, 1}));
}

TEST_F(dbf_interop_test, tdbf_walks_two_thousand_slots_through_the_orden_index) {
  const TableLayout& layout = tables::layouts::diashorast2();
  // Seven days of slots whose start minutes repeat a lot, appended out of time order.
  std::vector<std::int64_t> starts;
  {
    DbfWriter writer = DbfWriter::create(dir() / "DIASHORAST2.DBF", layout);
    for (int row = 1; row <= 2000; ++row) {
      const std::int64_t start = 480 + ((row * 37) % 23) * 55;
      starts.push_back(start);
      writer.append();
      writer.setText("DIHO", std::to_string(row));
      writer.setText("DIA", std::to_string(1 + row % 7));
      writer.setInteger("ORDEN", start);
      writer.post();
    }
    writer.close();
  }
  ASSERT_TRUE(std::filesystem::exists(dir() / "DIASHORAST2.MDX"));
  std::filesystem::create_symlink("DIASHORAST2.MDX", dir() / "DIASHORAST2.mdx");

  const auto table = readWithTdbf(dir(), "DIASHORAST2.DBF", "ORDEN");
  ASSERT_TRUE(table);
  EXPECT_EQ(table->order, "ORDEN");
  std::vector<std::uint32_t> expected(starts.size());
  std::iota(expected.begin(), expected.end(), 1U);
  std::stable_sort(expected.begin(), expected.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return starts[a - 1] < starts[b - 1]; });
  EXPECT_EQ(table->recordNumbers, expected);
  std::vector<std::string> dihoInOrder;
  std::vector<std::string> ordenInOrder;
  for (std::uint32_t record : expected) {
    dihoInOrder.push_back(std::to_string(record));
    ordenInOrder.push_back(std::to_string(starts[record - 1]));
  }
  EXPECT_EQ(table->column(0), dihoInOrder);
  EXPECT_EQ(table->column(9), ordenInOrder);
}

TEST(nivelex_interop_test, tdbf_reads_the_shipped_level_7_table) {
  // The rows of the CSV the table is built from: comment lines, then a header, then plain values.
  std::ifstream csv(VADELUX_NIVELEX_CSV);
  ASSERT_TRUE(csv);
  std::vector<std::vector<std::string>> expected;
  std::string line;
  bool header = true;
  while (std::getline(csv, line)) {
    if (line.empty() || line[0] == '#') {
      continue;
    }
    ASSERT_EQ(line.find('"'), std::string::npos) << "quoted CSV values are not read here: " << line;
    if (header) {
      header = false;
      continue;
    }
    expected.push_back(split(text::toWindows1252(line), ','));
  }
  ASSERT_FALSE(expected.empty());

  const auto table = readWithTdbf(VADELUX_BIN_DIR, "NIVELEX.DBF");
  ASSERT_TRUE(table);
  EXPECT_EQ(table->level, 7);
  EXPECT_EQ(table->language, "$57");
  ASSERT_EQ(table->fields.size(), 3U);
  EXPECT_EQ(table->fields[0].substr(0, 15), "X_OFERTAMATRIG ");
  EXPECT_EQ(table->fields[1].substr(0, 12), "NIVEL_ABREV ");
  EXPECT_EQ(table->fields[2].substr(0, 8), "ESTUDIO ");
  EXPECT_EQ(table->rows, expected);
}

// A CSV line as LibreOffice writes it: comma-separated, double quotes around values that need them.
std::vector<std::string> csvCells(const std::string& line) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      cells.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      cells.emplace_back();
    } else if (c != '\r') {
      cells.back() += c;
    }
  }
  return cells;
}

bool onPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  for (const std::string& dir : split(path ? path : "", ':')) {
    if (!dir.empty() && access((std::filesystem::path(dir) / program).c_str(), X_OK) == 0) {
      return true;
    }
  }
  return false;
}

TEST_F(dbf_interop_test, libreoffice_converts_a_table_to_csv) {
  if (!onPath("soffice")) {
    GTEST_SKIP()
        << "soffice is not installed (Debian packages libreoffice-calc and libreoffice-base-drivers)";
  }
  const TableLayout& layout = tables::layouts::asignomt();
  const std::vector<FixtureRow> rows = fixtureRows(layout.name);
  ASSERT_NO_FATAL_FAILURE(writeTable(dir(), layout, rows));
  const std::filesystem::path out = dir() / "csv";
  // A profile of its own, so that no other office process or earlier run gets in the way.
  const ProgramResult run =
      runProgram({"env", "LANG=C.UTF-8", "HOME=" + dir().string(), "soffice",
                  "-env:UserInstallation=file://" + (dir() / "profile").string(), "--headless", "--norestore",
                  "--infilter=dBase:ANSI", "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1",
                  "--outdir", out.string(), (dir() / "ASIGNOMT.DBF").string()},
                 "/dev/null", 240);
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  ASSERT_TRUE(std::filesystem::exists(out / "ASIGNOMT.csv")) << run.out << run.err;

  std::istringstream lines(readFile(out / "ASIGNOMT.csv"));
  std::string line;
  ASSERT_TRUE(std::getline(lines, line));
  EXPECT_EQ(csvCells(line), (std::vector<std::string>{"COD,C,4", "CODLARGO,C,8", "NOMBRE,C,40", "MATERIA,C,8",
                                                      "CODTAREA,C,12", "ESTAREA,L"}));
  std::vector<std::vector<std::string>> read;
  while (std::getline(lines, line)) {
    read.push_back(csvCells(line));
  }
  expectRows(kLibreOffice, layout, rows, read);
}

}  // namespace
}  // namespace vadelux::interop
