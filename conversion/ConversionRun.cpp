#include "conversion/ConversionRun.h"

#include <system_error>

#include "tables/WorkingFolder.h"

namespace vadelux::conversion {

std::optional<std::filesystem::path> findNivelex(const std::filesystem::path& programFolder) {
  return tables::findIgnoringCase(programFolder, kNivelexFileName);
}

namespace {

std::filesystem::path checkInputs(const ConversionRequest& request) {
  std::error_code ec;
  if (request.xmlFile.empty() || !std::filesystem::is_regular_file(request.xmlFile, ec)) {
    throw MissingInputError(MissingInputError::What::XmlFile, kNoFileMessage);
  }
  const auto nivelex = findNivelex(request.programFolder);
  if (!nivelex) {
    throw MissingInputError(MissingInputError::What::Nivelex, kNivelexMissingMessage);
  }
  return *nivelex;
}

}  // namespace

ConversionResult convertInto(const rayuela::Document& doc, const std::filesystem::path& folder,
                             const std::filesystem::path& nivelexFile, const TemplateChooser& chooser) {
  ConversionSteps steps(doc, folder, nivelexFile, chooser);
  steps.runAll();
  return steps.result();
}

ConversionRun::ConversionRun(const ConversionRequest& request)
    : nivelex_(checkInputs(request)),
      doc_(rayuela::Document::loadGroupsRead(request.xmlFile)),
      staging_(request.workingFolder),
      steps_(doc_, staging_.folder(), nivelex_, request.chooser) {}

ConversionResult ConversionRun::publish() {
  staging_.publish({"JORNADAS.DBF"});
  return steps_.result();
}

ConversionResult runConversion(const ConversionRequest& request) {
  ConversionRun run(request);
  run.steps().runAll();
  return run.publish();
}

}  // namespace vadelux::conversion
