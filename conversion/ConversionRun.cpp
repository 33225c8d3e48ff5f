#include "conversion/ConversionRun.h"

#include <system_error>

#include "tables/WorkingFolder.h"

namespace vadelux::conversion {

std::optional<std::filesystem::path> findNivelex(const std::filesystem::path& programFolder) {
  return tables::findIgnoringCase(programFolder, kNivelexFileName);
}

ConversionResult convertInto(const rayuela::Document& doc, const std::filesystem::path& folder,
                             const std::filesystem::path& nivelexFile, const TemplateChooser& chooser) {
  ConversionResult result;
  ConversionReport& report = result.report;
  {
    SubjectLists lists;  // the lists live for the subject and activity steps of this run only
    TransformarMaterias(doc, folder, lists, report);
    TransformarActividades(doc, folder, report);
  }
  TransformarEmpleados(doc, folder, report);
  TransformarDependencias(doc, folder, report);
  TransformarCursosUnidades(doc, folder, nivelexFile, report);
  TransformarAsignaciones(doc, folder, report);
  result.jornadaElegida = TransformarJornadasTramos(doc, folder, chooser, report);
  return result;
}

ConversionResult runConversion(const ConversionRequest& request) {
  std::error_code ec;
  if (request.xmlFile.empty() || !std::filesystem::is_regular_file(request.xmlFile, ec)) {
    throw MissingInputError(MissingInputError::What::XmlFile, kNoFileMessage);
  }
  const auto nivelex = findNivelex(request.programFolder);
  if (!nivelex) {
    throw MissingInputError(MissingInputError::What::Nivelex, kNivelexMissingMessage);
  }
  const auto doc = rayuela::Document::load(request.xmlFile);
  tables::Staging staging(request.workingFolder);
  ConversionResult result = convertInto(doc, staging.folder(), *nivelex, request.chooser);
  staging.publish({"JORNADAS.DBF"});
  return result;
}

}  // namespace vadelux::conversion
