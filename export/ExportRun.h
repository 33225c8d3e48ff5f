// The timetable-to-Rayuela run without a window: the generator's solution and the working tables
// become a "HORARIOS" document saved beside the chosen Rayuela file.
#pragma once

#include <filesystem>
#include <string>

#include "common/MissingInputError.h"
#include "export/AgregarHorariosProfesores.h"

namespace vadelux::exporting {

struct ExportRequest {
  std::filesystem::path xmlFile;
  std::filesystem::path workingFolder;
  // The "fecha" of the envelope; empty means now, in the user's short date and long time format.
  std::string fecha;
};

struct ExportResult {
  std::filesystem::path outputFile;
  std::string yearCode;
  ExportCounts counts;
};

// "ResultadoHorvan" followed by the input's file name, in the input's folder.
std::filesystem::path outputFileFor(const std::filesystem::path& xmlFile);

// The current date and time in the user's short date and long time format.
std::string currentFecha();

// Runs the whole direction. Throws MissingInputError ("No existe archivo", the PERIODOS message),
// rayuela::DocumentError, and vadelux::Error for anything else; in every such case no file is written.
ExportResult runExport(const ExportRequest& request);

}  // namespace vadelux::exporting
