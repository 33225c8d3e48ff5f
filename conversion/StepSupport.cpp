#include "conversion/StepSupport.h"

#include <string>

namespace vadelux::conversion {

bool passesGuard(const rayuela::Record& record, std::string_view group, ConversionReport& report) {
  if (record.passesGuard()) {
    return true;
  }
  report.add(FindingKind::RecordSkipped, "",
             "un registro de " + std::string(group) + " con " + std::to_string(record.fieldCount()) +
                 (record.fieldCount() == 1 ? " campo" : " campos"));
  return false;
}

void noteMissingPositions(const rayuela::Record& record, std::size_t highestPosition, std::string_view group,
                          ConversionReport& report) {
  if (record.fieldCount() <= highestPosition) {
    report.add(FindingKind::RecordShort, "",
               "un registro de " + std::string(group) + " con " + std::to_string(record.fieldCount()) +
                   " campos: las posiciones " + std::to_string(record.fieldCount()) + " a " +
                   std::to_string(highestPosition) +
                   " se leen vac\xC3\xAD"
                   "as");
  }
}

}  // namespace vadelux::conversion
