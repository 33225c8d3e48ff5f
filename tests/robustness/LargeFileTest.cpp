// Large files: a school file that also carries a big group the program never reads (its students) is
// converted and exported in little memory, with the same tables as without that group.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "rayuela/Document.h"
#include "tests/robustness/School.h"
#include "tests/robustness/ScopedEnvironment.h"

namespace vadelux::testing {
namespace {

const char* const kGroupsRead[] = {"MATERIAS",           "ACTIVIDADES",       "EMPLEADOS",
                                   "DEPENDENCIAS",       "CURSOS_DEL_CENTRO", "UNIDADES",
                                   "JORNADAS_ESCOLARES", "TRAMOS_HORARIOS"};

std::vector<std::vector<std::string>> fieldsOf(const rayuela::Document& doc, const std::string& group) {
  std::vector<std::vector<std::string>> out;
  for (const auto& record : doc.records(group)) {
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < record.fieldCount(); ++i) {
      fields.push_back(record.field(i));
    }
    out.push_back(fields);
  }
  return out;
}

// The records of the program's groups are read whole, those of other groups are left out.
TEST(large_file_test, a_load_for_the_conversion_keeps_exactly_the_groups_it_reads) {
  const TempFolder dir;
  const auto mixed = dir / "mezcla.xml";
  std::string text = schoolXml(schoolGroups());
  // A group read, then one unread, then the same read group again, and an element that is no group.
  text.insert(text.find("    <grupo_datos seq=\"MATERIAS\""),
              "    <grupo_datos seq=\"ALUMNOS\"><grupo_datos><dato>1</dato><dato>Ana</dato></grupo_datos>"
              "</grupo_datos>\n    <otro><grupo_datos><dato>x</dato><dato>y</dato></grupo_datos></otro>\n");
  text.insert(
      text.find("  </BLOQUE_DATOS>"),
      "    <grupo_datos seq=\"MATERIAS\"><grupo_datos><dato>102</dato><dato>m9</dato><dato>Griego</dato>"
      "</grupo_datos></grupo_datos>\n");
  writeText(mixed, text);
  for (const auto& file : {std::filesystem::path(VADELUX_FIXTURES) / "conversion" / "centro-iso.xml",
                           std::filesystem::path(VADELUX_FIXTURES) / "rayuela" / "escuela.xml", mixed}) {
    SCOPED_TRACE(file.filename().string());
    const auto whole = rayuela::Document::load(file);
    const auto read = rayuela::Document::loadGroupsRead(file);
    for (const char* group : kGroupsRead) {
      EXPECT_EQ(fieldsOf(read, group), fieldsOf(whole, group)) << group;
    }
    EXPECT_EQ(read.dataBlockFirstChildText(), whole.dataBlockFirstChildText());
  }
  const auto read = rayuela::Document::loadGroupsRead(mixed);
  EXPECT_EQ(fieldsOf(read, "MATERIAS").size(), 3u);
  EXPECT_TRUE(read.records("ALUMNOS").empty());
  EXPECT_EQ(rayuela::Document::load(mixed).records("ALUMNOS").size(), 1u);
}

// Appends students to the school's file until it holds `size` bytes.
void growWithStudents(const std::filesystem::path& file, std::uintmax_t size) {
  const std::string text = readBytes(file);
  const std::size_t end = text.find("  </BLOQUE_DATOS>");
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text.substr(0, end) << "    <grupo_datos seq=\"ALUMNOS\">\n";
  std::uintmax_t written = end;
  char record[512];
  for (long n = 0; written < size; ++n) {
    const int length = std::snprintf(
        record, sizeof record,
        "      <grupo_datos><dato nombre_dato=\"X_MATRICULA\">%ld</dato><dato nombre_dato=\"NOMBRE\">Alumna "
        "n\xC3\xBAmero %ld</dato><dato nombre_dato=\"APELLIDOS\">Garc\xC3\xAD"
        "a L\xC3\xB3pez</dato><dato nombre_dato=\"F_NACIMIENTO\">01/01/2012</dato></grupo_datos>\n",
        n, n);
    out.write(record, length);
    written += static_cast<std::uintmax_t>(length);
  }
  out << "    </grupo_datos>\n" << text.substr(end);
}

std::map<std::string, std::string> workingTables(const School& school) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(school.htemp())) {
    files[entry.path().filename().string()] = readBytes(entry.path());
  }
  return files;
}

TEST(large_file_test, a_200_mb_file_is_checked_converted_and_exported_in_little_memory) {
  const School school;
  constexpr std::uintmax_t kSize = 200u * 1024 * 1024;
  if (std::filesystem::space(school.root()).available < 1024u * 1024 * 1024) {
    GTEST_SKIP() << "less than 1 GB free for the 200 MB file";
  }
  const auto tablesBefore = workingTables(school);
  growWithStudents(school.xml(), kSize);
  ASSERT_GE(std::filesystem::file_size(school.xml()), kSize);

  // A whole tree of the file would take several times its size; the program must hold far less than
  // the file itself. The sanitizer build would keep 256 MB of freed memory aside: a little is enough to
  // find misuse, and the measure stays that of the program. (Other builds ignore the variable.)
  constexpr long kLimitKb = 160 * 1024;
  const char* sanitizer = std::getenv("ASAN_OPTIONS");
  const ScopedEnvironment smallQuarantine(
      "ASAN_OPTIONS", std::string(sanitizer != nullptr ? sanitizer : "") + ":quarantine_size_mb=8");
  const ProcessResult exportar = school.cliExportar();
  EXPECT_EQ(exportar.exitCode, 0) << exportar.err;
  EXPECT_LT(exportar.peakMemoryKb, kLimitKb);
  EXPECT_EQ(workingTables(school), tablesBefore);  // the students change nothing

  const ProcessResult validar = runProcess({std::string(VADELUX_BIN_DIR) + "/vadelux-cli", "validar",
                                            school.xml().string(), "--programa", school.programa().string()},
                                           school.scratch());
  EXPECT_EQ(validar.exitCode, 0) << validar.err;
  EXPECT_LT(validar.peakMemoryKb, kLimitKb);
  EXPECT_NE(validar.out.find("ASIGNOMT"), std::string::npos);

  const ProcessResult importar = school.cliImportar();
  EXPECT_EQ(importar.exitCode, 0) << importar.err;
  EXPECT_LT(importar.peakMemoryKb, kLimitKb);
  const std::string result = readBytes(school.output());
  EXPECT_NE(result.find("<dato nombre_dato=\"N_DIASEMANA\">2</dato>"), std::string::npos);
  EXPECT_EQ(result.find("ALUMNOS"), std::string::npos);
}

}  // namespace
}  // namespace vadelux::testing
