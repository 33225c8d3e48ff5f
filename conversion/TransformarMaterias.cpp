// Subjects and activities: ASIGNOMT, one row per distinct subject name, then one per activity.
#include "common/Text.h"
#include "conversion/StepSupport.h"
#include "conversion/Steps.h"
#include "conversion/TableOutput.h"
#include "tables/WorkingLayouts.h"

namespace vadelux::conversion {
namespace {

constexpr std::size_t kCodeWidth = 4;

}  // namespace

void TransformarMaterias(const rayuela::Document& doc, const std::filesystem::path& folder,
                         SubjectLists& lists, ConversionReport& report) {
  const auto& layout = tables::layouts::asignomt();
  auto table = TableOutput::create(folder, layout, report);
  for (const auto& record : doc.records("MATERIAS")) {
    if (!passesGuard(record, "MATERIAS", report)) {
      continue;
    }
    noteMissingPositions(record, 2, "MATERIAS", report);
    const std::string name = record.trimmedField(2);
    if (lists.nombresUsados.contains(name)) {
      report.add(FindingKind::RepeatedSubjectName, layout.name, "'" + text::toUtf8(name) + "'");
      continue;
    }
    lists.nombresUsados.add(text::upperAscii(name));
    const std::string candidate(text::left(name, kCodeWidth));
    const std::string code = lists.codigosUsados.make(candidate);
    if (lists.codigosUsados.lastOutcome().numbered) {
      report.add(FindingKind::CodeNumbered, layout.name,
                 "'" + text::toUtf8(name) +
                     "' recibe el c\xC3\xB3"
                     "digo '" +
                     text::toUtf8(code) + "'");
    }
    table.beginRow();
    table.setText("COD", code);
    table.setText("CODLARGO", text::left(name, 8));
    table.setText("NOMBRE", name);
    table.setLogical("ESTAREA", false);
    table.postRow();
  }
  table.close();
}

void TransformarActividades(const rayuela::Document& doc, const std::filesystem::path& folder,
                            ConversionReport& report) {
  const auto& layout = tables::layouts::asignomt();
  auto table = TableOutput::append(folder, layout, report);
  for (const auto& record : doc.records("ACTIVIDADES")) {
    if (!passesGuard(record, "ACTIVIDADES", report)) {
      continue;
    }
    noteMissingPositions(record, 2, "ACTIVIDADES", report);
    const std::string name = record.trimmedField(2);
    const std::string code = record.trimmedField(1);
    if (code.size() > kCodeWidth) {
      report.add(FindingKind::CodeCut, layout.name,
                 "la actividad '" + text::toUtf8(name) +
                     "' con c\xC3\xB3"
                     "digo '" +
                     text::toUtf8(code) + "' queda en COD como '" +
                     text::toUtf8(text::left(code, kCodeWidth)) + "'");
    }
    table.beginRow();
    table.setText("COD", text::left(code, kCodeWidth));
    table.setText("CODLARGO", text::left(name, 8));
    table.setText("NOMBRE", name);
    table.setText("CODTAREA", code);
    table.setLogical("ESTAREA", true);
    table.postRow();
  }
  table.close();
}

}  // namespace vadelux::conversion
