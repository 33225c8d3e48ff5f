// Courses and groups: CURSOST with the level of each course from NIVELEX.DBF, then GRUPOST with each
// unit's code, letter, keys and the values of its course.
#include <cstdint>
#include <unordered_map>

#include "common/Numbers.h"
#include "common/Text.h"
#include "conversion/StepSupport.h"
#include "conversion/Steps.h"
#include "conversion/TableOutput.h"
#include "tables/DbfTable.h"
#include "tables/WorkingLayouts.h"

namespace vadelux::conversion {
namespace {

struct Level {
  std::string nivel;
  std::string estudio;
};

// The first NIVELEX row of each course key, the key compared as a whole number whatever the field's type.
std::unordered_map<std::int64_t, Level> readLevels(const std::filesystem::path& nivelexFile) {
  const auto table = tables::DbfTable::open(nivelexFile);
  const std::size_t keyField = table.fieldIndex("X_OFERTAMATRIG");
  const std::size_t levelField = table.fieldIndex("NIVEL_ABREV");
  const std::size_t studyField = table.fieldIndex("ESTUDIO");
  std::unordered_map<std::int64_t, Level> levels;
  for (std::size_t row = 0; row < table.rowCount(); ++row) {
    std::optional<std::int64_t> key;
    try {
      key = table.integer(row, keyField);
    } catch (const tables::TableError&) {
      continue;  // a key that is no number can equal no course key
    }
    if (key) {
      levels.try_emplace(*key, Level{table.text(row, levelField), table.text(row, studyField)});
    }
  }
  return levels;
}

// A course as its CURSOST row gives it back.
struct Course {
  std::string nivel;
  std::string curso;
  std::string estud;
};

}  // namespace

void TransformarCursosUnidades(const rayuela::Document& doc, const std::filesystem::path& folder,
                               const std::filesystem::path& nivelexFile, ConversionReport& report) {
  const auto& coursesLayout = tables::layouts::cursost();
  const auto& groupsLayout = tables::layouts::grupost();
  auto courses = TableOutput::create(folder, coursesLayout, report);
  auto groups = TableOutput::create(folder, groupsLayout, report);

  // Courses, and the first course row of each stored key for the units.
  const auto levels = readLevels(nivelexFile);
  const std::size_t keyWidth = fieldWidth(coursesLayout, "CLAVE");
  std::unordered_map<std::string, Course> courseByKey;
  for (const auto& record : doc.records("CURSOS_DEL_CENTRO")) {
    if (!passesGuard(record, "CURSOS_DEL_CENTRO", report)) {
      continue;
    }
    const std::string key = record.trimmedField(0);
    const std::int32_t number = toInt32(key);
    std::string nivel = "Niv";
    std::string estudio;
    if (const auto it = levels.find(number); it != levels.end()) {
      if (!it->second.nivel.empty()) {
        nivel = it->second.nivel;
      }
      estudio = it->second.estudio;
    } else {
      report.add(FindingKind::CourseWithoutLevel, coursesLayout.name,
                 "el curso '" + text::toUtf8(key) + "' (" + text::toUtf8(record.trimmedField(1)) +
                     ") no est\xC3\xA1 en NIVELEX.DBF: nivel 'Niv'");
    }
    const std::string curso(text::left(record.trimmedField(1), 1));
    courses.beginRow();
    courses.setText("NIVEL", nivel);
    courses.setText("CURSO", curso);
    courses.setText("CLAVE", key);
    courses.setText("ESTUD", estudio);
    courses.postRow();
    courseByKey.try_emplace(storedText(key, keyWidth),
                            Course{storedText(nivel, fieldWidth(coursesLayout, "NIVEL")), curso,
                                   storedText(estudio, fieldWidth(coursesLayout, "ESTUD"))});
  }

  // Groups.
  UniqueCodes codes(3);
  for (const auto& record : doc.records("UNIDADES")) {
    if (!passesGuard(record, "UNIDADES", report)) {
      continue;
    }
    noteMissingPositions(record, 2, "UNIDADES", report);
    const std::string unitKey = record.trimmedField(0);
    const std::string name = record.trimmedField(1);
    const std::string courseKey = record.trimmedField(2);
    Course course;
    if (const auto it = courseByKey.find(courseKey); it != courseByKey.end()) {
      course = it->second;
    } else {
      report.add(FindingKind::UnitWithoutCourse, groupsLayout.name,
                 "la unidad '" + text::toUtf8(name) + "' tiene el curso '" + text::toUtf8(courseKey) +
                     "', que no est\xC3\xA1 entre los cursos");
    }
    const std::string letter = name.empty() ? std::string() : name.substr(name.size() - 1);
    const std::string code = codes.make(text::trim(text::left(name, 4)));
    if (codes.lastOutcome().numbered) {
      report.add(FindingKind::CodeNumbered, groupsLayout.name,
                 "la unidad '" + text::toUtf8(name) +
                     "' recibe el c\xC3\xB3"
                     "digo '" +
                     text::toUtf8(code) + "'");
    }
    const std::string descrip =
        !course.estud.empty() ? course.estud : " " + course.nivel + " " + course.curso + " " + letter;
    groups.beginRow();
    groups.setText("ABREV", code);
    groups.setText("NIVEL", course.nivel);
    groups.setText("CURSO", course.curso);
    groups.setText("GRUPO", letter);
    groups.setText("CLAVE", unitKey);
    groups.setText("CLAVECURSO", courseKey);
    groups.setText("DESCRIP", descrip);
    groups.postRow();
  }
  groups.close();
  courses.close();
}

}  // namespace vadelux::conversion
