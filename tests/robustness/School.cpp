#include "tests/robustness/School.h"

#include "common/Text.h"
#include "conversion/ConversionRun.h"
#include "export/ExportRun.h"
#include "tables/DbfWriter.h"
#include "tests/support/Nivelex.h"
#include "tests/support/SolucLayout.h"

namespace vadelux::testing {

std::vector<Group> schoolGroups(const std::string& courseKey, const std::string& slotStart,
                                const std::string& subject) {
  return {
      {"MATERIAS", {{"101", "m1", subject}, {"101", "m2", "Matem\xC3\xA1ticas"}}},
      {"ACTIVIDADES", {{"a", "G1", "Guardia"}}},
      {"EMPLEADOS",
       {{"e1", "f1", "Lengua",
         "Garc\xC3\xAD"
         "a",
         "L\xC3\xB3pez", "Juan"}}},
      {"DEPENDENCIAS", {{"A1", "Aula 1"}}},
      {"CURSOS_DEL_CENTRO", {{courseKey, "1\xC2\xBA ESO"}}},
      {"UNIDADES", {{"u1", "1ESOA", "101"}}},
      {"JORNADAS_ESCOLARES", {{"T1", "Ordinaria", "01/09/2026", "30/06/2027"}}},
      {"TRAMOS_HORARIOS",
       {{"s1", "1\xC2\xAA", slotStart, "535", "T1"}, {"s2", "2\xC2\xAA", "535", "590", "T1"}}},
  };
}

std::string schoolXml(const std::vector<Group>& groups) {
  return rayuelaXml(groups, "    <grupo_datos seq=\"ANNO_ACADEMICO\"><dato>2026</dato></grupo_datos>\n");
}

void writeSolution(const std::filesystem::path& folder) {
  auto w = tables::DbfWriter::create(folder / "SOLUC.DBF", solucLayout());
  for (int day = 1; day <= 2; ++day) {
    w.append();
    w.setText("PROF", "GLJ");
    w.setInteger("DIA", day);
    w.setInteger("HORA", day);
    w.setText("ASIG", "Leng");
    w.setText("CODGRUPO", "1ESO");
    w.setText("AULA", "A1");
    w.post();
  }
  w.close();
}

School::School() {
  std::filesystem::create_directories(htemp());
  std::filesystem::create_directories(datos());
  writeNivelex(programa(), "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n101,ESO,Secundaria\n");
  writeText(xml(), schoolXml(schoolGroups()));
  convert();
  writeSolution(htemp());
}

School::~School() {
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(root(), ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ec);
  }
}

void School::convert() const {
  conversion::runConversion({xml(), htemp(), programa(), nullptr});
}

void School::exportTimetable() const {
  exporting::runExport({xml(), htemp(), "11/12/2026 08:00:00"});
}

ProcessResult School::cliExportar() const {
  return runProcess({std::string(VADELUX_BIN_DIR) + "/vadelux-cli", "exportar", xml().string(), "--htemp",
                     htemp().string(), "--programa", programa().string()},
                    scratch());
}

ProcessResult School::cliImportar() const {
  return runProcess({std::string(VADELUX_BIN_DIR) + "/vadelux-cli", "importar", xml().string(), "--htemp",
                     htemp().string()},
                    scratch());
}

}  // namespace vadelux::testing
