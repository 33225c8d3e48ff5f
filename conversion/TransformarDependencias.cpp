// Rooms: AULAT, one row per room record, with a unique code and the room's Rayuela key kept in DEPCENTRO.
#include "common/Text.h"
#include "conversion/StepSupport.h"
#include "conversion/Steps.h"
#include "conversion/TableOutput.h"
#include "tables/WorkingLayouts.h"

namespace vadelux::conversion {

void TransformarDependencias(const rayuela::Document& doc, const std::filesystem::path& folder,
                             ConversionReport& report) {
  const auto& layout = tables::layouts::aulat();
  auto table = TableOutput::create(folder, layout, report);
  UniqueCodes codes(2);
  for (const auto& record : doc.records("DEPENDENCIAS")) {
    if (!passesGuard(record, "DEPENDENCIAS", report)) {
      continue;
    }
    const std::string key = record.trimmedField(0);
    const std::string name = record.trimmedField(1);
    const std::string candidate = key.empty() ? std::string(text::left(name, 4)) : key;
    const std::string code = codes.make(candidate);
    if (codes.lastOutcome().numbered) {
      report.add(FindingKind::CodeNumbered, layout.name,
                 "'" + text::toUtf8(name) +
                     "' recibe el c\xC3\xB3"
                     "digo '" +
                     text::toUtf8(code) + "'");
    } else if (codes.lastOutcome().cut) {
      report.add(FindingKind::CodeCut, layout.name,
                 "'" + text::toUtf8(name) +
                     "' con c\xC3\xB3"
                     "digo '" +
                     text::toUtf8(code) + "' queda en '" + text::toUtf8(text::left(code, 4)) + "'");
    }
    table.beginRow();
    table.setText("ABREV", text::left(code, 4));
    table.setText("NOMBRE", name);
    // The room's own key goes back to Rayuela in the export, whatever code the timetable uses.
    table.setText("DEPCENTRO", key);
    table.postRow();
  }
  table.close();
}

}  // namespace vadelux::conversion
