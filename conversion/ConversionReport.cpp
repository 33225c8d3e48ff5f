#include "conversion/ConversionReport.h"

#include <algorithm>

namespace vadelux::conversion {

std::string_view findingLabel(FindingKind kind) {
  switch (kind) {
    case FindingKind::RepeatedSubjectName:
      return "materia repetida";
    case FindingKind::CodeNumbered:
      return "c\xC3\xB3"
             "digo numerado";
    case FindingKind::CodeCut:
      return "c\xC3\xB3"
             "digo recortado";
    case FindingKind::TextCut:
      return "texto recortado";
    case FindingKind::RecordSkipped:
      return "registro ignorado";
    case FindingKind::RecordShort:
      return "registro incompleto";
    case FindingKind::CourseWithoutLevel:
      return "curso sin fila en NIVELEX";
    case FindingKind::UnitWithoutCourse:
      return "unidad sin curso";
    case FindingKind::SubjectWithoutGroups:
      return "materia sin grupos";
    case FindingKind::SubjectNameUnmatched:
      return "materia sin c\xC3\xB3"
             "digo";
    case FindingKind::SlotOfOtherTemplate:
      return "tramo de otra plantilla";
    case FindingKind::TemplateWithoutSlots:
      return "plantilla sin tramos";
    case FindingKind::NoTemplate:
      return "sin plantilla horaria";
  }
  return "";
}

void ConversionReport::setRows(std::string_view table, std::size_t rows) {
  auto it =
      std::find_if(tables_.begin(), tables_.end(), [&](const TableCount& t) { return t.table == table; });
  if (it == tables_.end()) {
    tables_.push_back({std::string(table), rows});
  } else {
    it->rows = rows;
  }
}

void ConversionReport::add(FindingKind kind, std::string_view table, std::string detail) {
  findings_.push_back({kind, std::string(table), std::move(detail)});
}

std::size_t ConversionReport::count(FindingKind kind) const {
  return static_cast<std::size_t>(
      std::count_if(findings_.begin(), findings_.end(), [&](const Finding& f) { return f.kind == kind; }));
}

}  // namespace vadelux::conversion
