// NIVELEX.DBF, the course-level lookup table shipped beside the program, built from a CSV file.
#pragma once

#include <filesystem>
#include <vector>

#include "tables/TableLayout.h"

namespace vadelux::tables {

// X_OFERTAMATRIG I (the course key, a 32-bit whole number), NIVEL_ABREV C(10), ESTUDIO C(80).
const std::vector<FieldDef>& nivelexFields();

// Reads a UTF-8 CSV whose header is X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO (lines starting with '#' and
// blank lines are skipped; fields may be quoted, with "" for a quote) and writes its rows, in order,
// to the dBase 7 table `dbf`. A bad CSV throws vadelux::Error (Spanish, naming the file and the line)
// and leaves `dbf` as it was.
void writeNivelexFromCsv(const std::filesystem::path& csv, const std::filesystem::path& dbf);

}  // namespace vadelux::tables
