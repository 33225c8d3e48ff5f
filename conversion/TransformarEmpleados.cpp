// Teachers: PROFT, one row per staff record, with abbreviations made of the initials.
#include "common/Text.h"
#include "conversion/StepSupport.h"
#include "conversion/Steps.h"
#include "conversion/TableOutput.h"
#include "tables/WorkingLayouts.h"

namespace vadelux::conversion {

void TransformarEmpleados(const rayuela::Document& doc, const std::filesystem::path& folder,
                          ConversionReport& report) {
  const auto& layout = tables::layouts::proft();
  auto table = TableOutput::create(folder, layout, report);
  UniqueCodes abbreviations(3);
  for (const auto& record : doc.records("EMPLEADOS")) {
    if (!passesGuard(record, "EMPLEADOS", report)) {
      continue;
    }
    noteMissingPositions(record, 5, "EMPLEADOS", report);
    const std::string name =
        record.trimmedField(3) + " " + record.trimmedField(4) + ", " + record.trimmedField(5);
    // The initials come from the texts as the document gives them, before trimming.
    std::string candidate;
    for (std::size_t position = 3; position <= 5; ++position) {
      candidate += text::left(record.field(position), 1);
    }
    const std::string abbreviation = abbreviations.make(candidate);
    if (abbreviations.lastOutcome().numbered) {
      report.add(FindingKind::CodeNumbered, layout.name,
                 "'" + text::toUtf8(name) + "' recibe la abreviatura '" + text::toUtf8(abbreviation) + "'");
    }
    table.beginRow();
    table.setText("ABREV", abbreviation);
    table.setText("NOMBRE", name);
    table.setText("DEPART", record.trimmedField(2));
    table.setText("X_EMPLEADO", record.trimmedField(0));
    table.setText("F_TOMAPOS", record.trimmedField(1));
    table.postRow();
  }
  table.close();
}

}  // namespace vadelux::conversion
