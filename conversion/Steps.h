// The seven conversion steps of the Rayuela-to-timetable run, in the order the run calls them.
// Each reads the loaded document and rebuilds its tables in `folder` (the run's staging folder).
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "conversion/ConversionReport.h"
#include "conversion/UniqueCodes.h"
#include "rayuela/Document.h"

namespace vadelux::conversion {

// The subject names and short codes already given in this run (NombresUsados, CodigosUsados).
struct SubjectLists {
  TextSet nombresUsados;
  UniqueCodes codigosUsados{3};
};

// Asks which school-day template to use when the file holds several; gets the template records
// (code, name, first date, second date) and returns the chosen code (Windows-1252, trimmed).
using TemplateChooser = std::function<std::string(const std::vector<rayuela::Record>& templates)>;

void TransformarMaterias(const rayuela::Document& doc, const std::filesystem::path& folder,
                         SubjectLists& lists, ConversionReport& report);
void TransformarActividades(const rayuela::Document& doc, const std::filesystem::path& folder,
                            ConversionReport& report);
void TransformarEmpleados(const rayuela::Document& doc, const std::filesystem::path& folder,
                          ConversionReport& report);
void TransformarDependencias(const rayuela::Document& doc, const std::filesystem::path& folder,
                             ConversionReport& report);
void TransformarCursosUnidades(const rayuela::Document& doc, const std::filesystem::path& folder,
                               const std::filesystem::path& nivelexFile, ConversionReport& report);
void TransformarAsignaciones(const rayuela::Document& doc, const std::filesystem::path& folder,
                             ConversionReport& report);
// Returns the code of the template used (JornadaElegida).
std::string TransformarJornadasTramos(const rayuela::Document& doc, const std::filesystem::path& folder,
                                      const TemplateChooser& chooser, ConversionReport& report);

}  // namespace vadelux::conversion
