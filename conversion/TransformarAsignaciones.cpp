// Subject load per group: ASIGT, one row for every subject of a course and every group of that course.
#include <unordered_map>
#include <vector>

#include "common/Text.h"
#include "conversion/StepSupport.h"
#include "conversion/Steps.h"
#include "conversion/TableOutput.h"
#include "tables/DbfTable.h"
#include "tables/WorkingLayouts.h"

namespace vadelux::conversion {
namespace {

// Subject names are matched on their first 40 characters, upper-cased (a to z only) and trimmed:
// accented letters must agree exactly.
constexpr std::size_t kNameWidth = 40;

std::string nameKey(std::string_view name) {
  return text::trim(text::upperAscii(name));
}

struct Group {
  std::string abrev;
  std::string nivel;
  std::string curso;
  std::string grupo;
};

}  // namespace

void TransformarAsignaciones(const rayuela::Document& doc, const std::filesystem::path& folder,
                             ConversionReport& report) {
  const auto& layout = tables::layouts::asigt();
  auto table = TableOutput::create(folder, layout, report);

  // The first subject row of each name, as the subject step stored it.
  const auto subjects = tables::DbfTable::open(folder / (tables::layouts::asignomt().name + ".DBF"));
  const std::size_t nameField = subjects.fieldIndex("NOMBRE");
  const std::size_t codeField = subjects.fieldIndex("COD");
  std::unordered_map<std::string, std::string> codeByName;
  for (std::size_t row = 0; row < subjects.rowCount(); ++row) {
    codeByName.try_emplace(nameKey(subjects.text(row, nameField)), subjects.text(row, codeField));
  }

  // The groups of each course key, in table order.
  const auto groupTable = tables::DbfTable::open(folder / (tables::layouts::grupost().name + ".DBF"));
  const std::size_t courseField = groupTable.fieldIndex("CLAVECURSO");
  const std::size_t abrevField = groupTable.fieldIndex("ABREV");
  const std::size_t nivelField = groupTable.fieldIndex("NIVEL");
  const std::size_t cursoField = groupTable.fieldIndex("CURSO");
  const std::size_t grupoField = groupTable.fieldIndex("GRUPO");
  std::unordered_map<std::string, std::vector<Group>> groupsByCourse;
  for (std::size_t row = 0; row < groupTable.rowCount(); ++row) {
    groupsByCourse[groupTable.text(row, courseField)].push_back(
        Group{groupTable.text(row, abrevField), groupTable.text(row, nivelField),
              groupTable.text(row, cursoField), groupTable.text(row, grupoField)});
  }

  for (const auto& record : doc.records("MATERIAS")) {
    if (!passesGuard(record, "MATERIAS", report)) {
      continue;
    }
    const std::string courseKey = record.trimmedField(0);
    const std::string subjectKey = record.trimmedField(1);
    const std::string name = record.trimmedField(2);
    const auto code = codeByName.find(nameKey(text::left(name, kNameWidth)));
    if (code == codeByName.end() || code->second.empty()) {
      report.add(FindingKind::SubjectNameUnmatched, layout.name,
                 "la materia '" + text::toUtf8(name) +
                     "' no encuentra su c\xC3\xB3"
                     "digo en ASIGNOMT");
      continue;
    }
    const auto groups = groupsByCourse.find(courseKey);
    if (groups == groupsByCourse.end()) {
      report.add(FindingKind::SubjectWithoutGroups, layout.name,
                 "la materia '" + text::toUtf8(name) + "' del curso '" + text::toUtf8(courseKey) +
                     "' no tiene grupos");
      continue;
    }
    for (const auto& group : groups->second) {
      table.beginRow();
      table.setText("CASIG", code->second);
      table.setText("CGRUP", group.abrev);
      table.setText("NIVEL", group.nivel);
      table.setText("CURSO", group.curso);
      table.setText("GRUPO", group.grupo);
      // Every subject gets a weekly load of 240 minutes: four one-hour lessons.
      table.setFloat("HORAS", 4.0);
      table.setText("SESIONES", "1111");
      table.setText("CLAVE", subjectKey);
      table.setText("CLAVECURSO", courseKey);
      table.setText("CTAREA", "1");
      table.postRow();
    }
  }
  table.close();
}

}  // namespace vadelux::conversion
