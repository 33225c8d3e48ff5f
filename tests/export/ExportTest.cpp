// The export: teacher groups and activity records built from the solution, the envelope, and the
// failures that must write nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "common/MissingInputError.h"
#include "common/Text.h"
#include "export/ExportRun.h"
#include "export/MinutosDelDia.h"
#include "rayuela/Document.h"
#include "tables/DbfWriter.h"
#include "tables/WorkingLayouts.h"
#include "tests/support/RayuelaXml.h"
#include "tests/support/SolucLayout.h"
#include "tests/support/TempFolder.h"

namespace vadelux::testing {
namespace {

using Row = std::vector<std::pair<std::string, std::string>>;  // field, UTF-8 value

char fieldType(const tables::TableLayout& layout, const std::string& field) {
  for (const auto& f : layout.fields) {
    if (f.name == field) {
      return f.type;
    }
  }
  return '?';
}

void writeTable(const std::filesystem::path& folder, const tables::TableLayout& layout,
                const std::vector<Row>& rows) {
  auto w = tables::DbfWriter::create(folder / (layout.name + ".DBF"), layout);
  for (const auto& row : rows) {
    w.append();
    for (const auto& [field, value] : row) {
      if (fieldType(layout, field) == 'N') {
        w.setInteger(field, std::stoll(value));
      } else {
        w.setText(field, text::toWindows1252(value));
      }
    }
    w.post();
  }
  w.close();
}

std::string indent(const std::string& lines) {
  std::string out;
  std::size_t start = 0;
  while (start < lines.size()) {
    const std::size_t end = lines.find('\n', start);
    out += "  " + lines.substr(start, end - start + 1);
    start = end + 1;
  }
  return out;
}

// Runs a command and returns what it printed.
std::string capture(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::string out;
  char buf[4096];
  while (pipe && std::fgets(buf, sizeof buf, pipe.get()) != nullptr) {
    out += buf;
  }
  return out;
}

// The written file as python's ElementTree sees it: one line per element with its attributes and text.
std::string outline(const std::filesystem::path& file) {
  return capture(
      "python3 -c 'import sys, xml.etree.ElementTree as E\n"
      "def walk(e, d):\n"
      "    print(\"  \" * d + e.tag + \"\".join(\" %s=%s\" % kv for kv in e.attrib.items()) + "
      "(\" [\" + e.text + \"]\" if e.text else \"\"))\n"
      "    for c in e: walk(c, d + 1)\n"
      "walk(E.parse(sys.argv[1]).getroot(), 0)' '" +
      file.string() + "'");
}

class export_test : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(htemp());
    writeText(xml(),
              rayuelaXml({{"MATERIAS", {{"1", "2", "3"}}}},
                         "    <grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">2026/27</dato>"
                         "</grupo_datos>\n"));
    writeTable(htemp(), tables::layouts::proft(),
               {{{"ABREV", "GLJ"}, {"X_EMPLEADO", "E1"}, {"F_TOMAPOS", "01/09/2020"}},
                {{"ABREV", "SIN"}, {"X_EMPLEADO", "E2"}, {"F_TOMAPOS", "02/09/2020"}},
                {{"ABREV", "GLJ"}, {"X_EMPLEADO", "E3"}, {"F_TOMAPOS", "03/09/2020"}}});
    writeTable(htemp(), tables::layouts::asigt(),
               {{{"CASIG", "Mate"}, {"CGRUP", "1ESO"}, {"CLAVE", "M1"}, {"CLAVECURSO", "C101"}},
                {{"CASIG", "Mate"}, {"CGRUP", "1ESO"}, {"CLAVE", "M2"}, {"CLAVECURSO", "C102"}}});
    writeTable(htemp(), tables::layouts::asignomt(),
               {{{"COD", "Mate"}}, {{"COD", "Guar"}, {"CODTAREA", "3"}}, {{"COD", ""}, {"CODTAREA", "99"}}});
    writeTable(
        htemp(), tables::layouts::diashorast(),
        {{{"DIHO", "11"}, {"DIA", "1"}, {"CODDIHO", "T11"}, {"HORADESDE", "08:00"}, {"HORAHASTA", "08:55"}},
         {{"DIHO", "110"}, {"DIA", "1"}, {"CODDIHO", "T110"}, {"HORADESDE", "14:05"}, {"HORAHASTA", "15:00"}},
         {{"DIHO", "11"}, {"DIA", "9"}, {"CODDIHO", "second"}}});
    writeTable(htemp(), tables::layouts::grupost(),
               {{{"ABREV", ""}, {"CLAVE", "U-empty"}}, {{"ABREV", "1ESO"}, {"CLAVE", "U1"}}});
    writeTable(htemp(), tables::layouts::aulat(),
               {{{"ABREV", "A1"}, {"DEPCENTRO", "D-1001"}}, {{"ABREV", "A2"}}});
    writeTable(htemp(), tables::layouts::cursost(), {});
    writeTable(htemp(), tables::layouts::periodos(),
               {{{"CJORNADA", "T1"}, {"FECINI", "01/09/2026"}, {"FECFIN", "30/06/2027"}}});
    writeTable(htemp(), solucLayout(),
               {
                   {{"PROF", "GLJ"},
                    {"DIA", "1"},
                    {"HORA", "1"},
                    {"ASIG", "Mate"},
                    {"CODGRUPO", "1ESO"},
                    {"AULA", "A1"}},
                   {{"PROF", "GLJ"}, {"DIA", "0"}, {"HORA", "2"}, {"ASIG", "Mate"}, {"CODGRUPO", "1ESO"}},
                   {{"PROF", "GLJ"}, {"DIA", "1"}, {"HORA", "10"}, {"ASIG", "Guar"}, {"AULA", "A2"}},
                   {{"PROF", "OTRO"}, {"DIA", "5"}, {"HORA", "1"}},  // no teacher of PROFT
                   {{"PROF", "GLJ"}, {"DIA", "3"}, {"HORA", "4"}, {"ASIG", ""}, {"TAREA", " 7 "}},
               });
  }
  std::filesystem::path htemp() const { return dir_ / "HTEMP"; }
  std::filesystem::path xml() const { return dir_ / "centro.xml"; }
  exporting::ExportResult run() { return exporting::runExport({xml(), htemp(), "11/12/2026 8:30:00"}); }

  TempFolder dir_;
};

TEST(minutos_del_dia_test, reads_hours_and_minutes_of_a_clock_text) {
  const std::pair<const char*, int> cases[] = {
      {"08:30", 510}, {"8:30", 510}, {"13:05", 785}, {"", 0}, {"00:00", 0}};
  for (const auto& [clock, minutes] : cases) {
    EXPECT_EQ(exporting::MinutosDelDia(clock), minutes) << clock;
  }
  EXPECT_THROW(exporting::MinutosDelDia("ab:cd"), Error);
}

TEST_F(export_test, writes_one_group_per_teacher_and_one_record_per_lesson) {
  const auto result = run();
  EXPECT_EQ(result.outputFile, dir_ / "ResultadoHorvancentro.xml");
  EXPECT_EQ(result.counts.teachers, 3u);
  EXPECT_EQ(result.counts.activities, 6u);
  EXPECT_EQ(result.counts.skippedDayZero, 2u);
  const std::string activity1 =
      "      grupo_datos seq=ACTIVIDAD_1\n"
      "        dato nombre_dato=N_DIASEMANA [1]\n"
      "        dato nombre_dato=X_TRAMO [T11]\n"
      "        dato nombre_dato=X_DEPENDENCIA [D-1001]\n"
      "        dato nombre_dato=X_UNIDAD [U1]\n"
      "        dato nombre_dato=X_OFERTAMATRIG [C101]\n"
      "        dato nombre_dato=X_MATERIAOMG [M1]\n"
      "        dato nombre_dato=F_INICIO [01/09/2026]\n"
      "        dato nombre_dato=F_FIN [30/06/2027]\n"
      "        dato nombre_dato=N_HORINI [480]\n"
      "        dato nombre_dato=N_HORFIN [535]\n"
      "        dato nombre_dato=X_ACTIVIDAD [1]\n"
      "      grupo_datos seq=ACTIVIDAD_2\n"
      "        dato nombre_dato=N_DIASEMANA [1]\n"
      "        dato nombre_dato=X_TRAMO [T110]\n"
      "        dato nombre_dato=X_DEPENDENCIA [A2]\n"
      "        dato nombre_dato=X_UNIDAD\n"
      "        dato nombre_dato=X_OFERTAMATRIG\n"
      "        dato nombre_dato=X_MATERIAOMG\n"
      "        dato nombre_dato=F_INICIO [01/09/2026]\n"
      "        dato nombre_dato=F_FIN [30/06/2027]\n"
      "        dato nombre_dato=N_HORINI [845]\n"
      "        dato nombre_dato=N_HORFIN [900]\n"
      "        dato nombre_dato=X_ACTIVIDAD [3]\n"
      "      grupo_datos seq=ACTIVIDAD_3\n"
      "        dato nombre_dato=N_DIASEMANA\n"
      "        dato nombre_dato=X_TRAMO\n"
      "        dato nombre_dato=X_DEPENDENCIA\n"
      "        dato nombre_dato=X_UNIDAD\n"
      "        dato nombre_dato=X_OFERTAMATRIG\n"
      "        dato nombre_dato=X_MATERIAOMG\n"
      "        dato nombre_dato=F_INICIO [01/09/2026]\n"
      "        dato nombre_dato=F_FIN [30/06/2027]\n"
      "        dato nombre_dato=N_HORINI [0]\n"
      "        dato nombre_dato=N_HORFIN [0]\n"
      "        dato nombre_dato=X_ACTIVIDAD [ 7]\n";
  const std::string expected =
      "SERVICIO modulo=HORARIOS tipo=I autor=HORARIOS fecha=11/12/2026 8:30:00\n"
      "  BLOQUE_DATOS\n"
      "    grupo_datos seq=ANNO_ACADEMICO\n"
      "      dato nombre_dato=C_ANNO [2026/]\n"
      "    grupo_datos seq=HORARIOS_REGULARES registros=3\n"
      "      grupo_datos seq=HORARIO_REGULAR_PROFESOR_1 registros=3\n"
      "        dato nombre_dato=X_EMPLEADO [E1]\n"
      "        dato nombre_dato=F_TOMAPOS [01/09/2020]\n" +
      indent(activity1) +
      "      grupo_datos seq=HORARIO_REGULAR_PROFESOR_2 registros=0\n"
      "        dato nombre_dato=X_EMPLEADO [E2]\n"
      "        dato nombre_dato=F_TOMAPOS [02/09/2020]\n"
      "      grupo_datos seq=HORARIO_REGULAR_PROFESOR_3 registros=3\n"
      "        dato nombre_dato=X_EMPLEADO [E3]\n"
      "        dato nombre_dato=F_TOMAPOS [03/09/2020]\n" +
      indent(activity1);
  EXPECT_EQ(outline(result.outputFile), expected);
}

TEST_F(export_test, keeps_the_declaration_encoding_and_what_stands_before_the_root) {
  writeText(xml(),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- exportado por Rayuela -->\n"
            "<SERVICIO modulo=\"X\"><BLOQUE_DATOS><grupo_datos seq=\"ANNO_ACADEMICO\">"
            "<dato>2009</dato></grupo_datos><grupo_datos seq=\"EMPLEADOS\"/></BLOQUE_DATOS></SERVICIO>\n");
  writeTable(htemp(), tables::layouts::proft(),
             {{{"ABREV", "NU"},
               {"X_EMPLEADO",
                "N\xC3\xBA\xC3\xB1"
                "ez"}}});
  const auto result = run();
  const std::string bytes = readBytes(result.outputFile);
  EXPECT_EQ(
      bytes.rfind(
          "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- exportado por Rayuela -->\n<SERVICIO", 0),
      0u)
      << bytes;
  EXPECT_NE(bytes.find("N\xFA\xF1"
                       "ez"),
            std::string::npos);  // written in ISO-8859-1
  EXPECT_NE(bytes.find("<dato nombre_dato=\"C_ANNO\">2009</dato>"), std::string::npos);
  EXPECT_EQ(bytes.find("EMPLEADOS"), std::string::npos);  // nothing of the old root survives
}

TEST_F(export_test, failures_write_nothing) {
  // Each failure shows its message and leaves every file as it was: no output, no temporary file.
  const auto expectFailure = [&](const std::string& message) {
    const auto before = snapshot(dir_.path());
    try {
      run();
      ADD_FAILURE() << "no error, expected: " << message;
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    }
    EXPECT_EQ(snapshot(dir_.path()), before) << message;
  };

  // A day that is no number, in a row of a teacher of PROFT.
  tables::TableLayout textDays = solucLayout();
  textDays.fields[1] = {"DIA", 'C', 2, 0};
  writeTable(htemp(), textDays, {{{"PROF", "GLJ"}, {"DIA", "x"}, {"HORA", "1"}}});
  expectFailure("'x' no es un valor entero v\xC3\xA1lido");
  writeTable(htemp(), solucLayout(), {});

  const auto periodos = readBytes(htemp() / "PERIODOS.DBF");
  std::filesystem::remove(htemp() / "PERIODOS.DBF");
  expectFailure("ATENCI\xC3\x93N - PERIODOS.DBF No encontrado - Importe de nuevo XML de RAYUELA.");
  try {
    run();
  } catch (const MissingInputError& e) {
    EXPECT_EQ(e.missing(), MissingInputError::What::Periodos);
  }
  writeText(htemp() / "PERIODOS.DBF", periodos);

  // An output folder that cannot be written.
  ::chmod(dir_.path().c_str(), 0555);
  expectFailure("ResultadoHorvancentro.xml");
  ::chmod(dir_.path().c_str(), 0755);

  // No year code in the file.
  writeText(xml(), "<SERVICIO><BLOQUE_DATOS/></SERVICIO>");
  expectFailure("a\xC3\xB1o acad\xC3\xA9mico");

  std::filesystem::remove(htemp() / "SOLUC.DBF");
  expectFailure("SOLUC.DBF");
}

TEST_F(export_test, finds_the_solution_table_in_any_letter_case) {
  std::filesystem::rename(htemp() / "SOLUC.DBF", htemp() / "soluc.dbf");
  EXPECT_EQ(run().counts.activities, 6u);
}

TEST_F(export_test, a_bad_day_in_the_last_teacher_leaves_the_old_output_and_no_other_file) {
  // Enough teachers that most of the file has been written when the last one fails.
  std::vector<Row> teachers;
  std::vector<Row> lessons;
  constexpr int kTeachers = 3000;
  for (int i = 1; i <= kTeachers; ++i) {
    const std::string code = std::to_string(i);  // ABREV holds four characters
    teachers.push_back({{"ABREV", code}, {"X_EMPLEADO", "E" + std::to_string(i)}});
    lessons.push_back({{"PROF", code}, {"DIA", i == kTeachers ? "x" : "1"}, {"HORA", "1"}, {"ASIG", "Mate"}});
  }
  writeTable(htemp(), tables::layouts::proft(), teachers);
  tables::TableLayout textDays = solucLayout();
  textDays.fields[1] = {"DIA", 'C', 2, 0};
  writeTable(htemp(), textDays, lessons);
  writeText(dir_ / "ResultadoHorvancentro.xml", "old");

  const auto before = snapshot(dir_.path());
  try {
    run();
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("'x' no es un valor entero v\xC3\xA1lido"), std::string::npos)
        << e.what();
  }
  EXPECT_EQ(snapshot(dir_.path()), before);

  // The same tables with a good last day write every group.
  lessons.back()[1].second = "2";
  writeTable(htemp(), textDays, lessons);
  const auto result = run();
  EXPECT_EQ(result.counts.teachers, static_cast<std::size_t>(kTeachers));
  const std::string bytes = readBytes(result.outputFile);
  EXPECT_NE(bytes.find("<grupo_datos seq=\"HORARIO_REGULAR_PROFESOR_3000\" registros=\"1\">"
                       "<dato nombre_dato=\"X_EMPLEADO\">E3000</dato>"),
            std::string::npos);
  // The last activity, its teacher group and the envelope are closed.
  const std::string end = "</dato></grupo_datos></grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>\n";
  ASSERT_GT(bytes.size(), end.size());
  EXPECT_EQ(bytes.substr(bytes.size() - end.size()), end);
}

}  // namespace
}  // namespace vadelux::testing
