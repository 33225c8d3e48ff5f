// Writes a NIVELEX.DBF for tests from the text of its CSV.
#pragma once

#include <filesystem>
#include <string>

#include "tables/Nivelex.h"
#include "tests/support/RayuelaXml.h"

namespace vadelux::testing {

// Writes `csv` beside the table and NIVELEX.DBF into `folder` (created if needed); returns the table.
inline std::filesystem::path writeNivelex(const std::filesystem::path& folder, const std::string& csv) {
  std::filesystem::create_directories(folder);
  writeText(folder / "nivelex.csv", csv);
  const auto dbf = folder / "NIVELEX.DBF";
  tables::writeNivelexFromCsv(folder / "nivelex.csv", dbf);
  return dbf;
}

}  // namespace vadelux::testing
