// vadelux-cli exportar: a Rayuela file becomes the generator's nine working tables.
#include <cstdio>
#include <string>

#include "cli/CliOptions.h"
#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "cli/TemplateList.h"
#include "common/Text.h"
#include "conversion/ConversionRun.h"
#include "tables/WorkingFolder.h"

namespace vadelux::cli {
namespace {

// The file holds several templates and none was chosen, or the chosen one is not there.
class TemplateChoiceError : public Error {
 public:
  using Error::Error;
};

conversion::TemplateChooser chooserFor(const std::optional<std::string>& plantilla) {
  return [plantilla](const std::vector<rayuela::Record>& templates) -> std::string {
    if (plantilla) {
      const std::string code = text::trim(text::toWindows1252(*plantilla));
      for (const auto& t : templates) {
        if (t.trimmedField(0) == code) {
          return code;
        }
      }
      throw TemplateChoiceError("El archivo no tiene la plantilla horaria '" + *plantilla +
                                "'. Sus plantillas son:\n" + describeTemplates(templates));
    }
    throw TemplateChoiceError(
        "El archivo tiene varias plantillas horarias; elija una con --plantilla C\xC3\x93"
        "DIGO:\n" +
        describeTemplates(templates));
  };
}

void printSummary(const std::filesystem::path& folder, const conversion::ConversionResult& result,
                  bool json) {
  const auto& report = result.report;
  if (json) {
    std::string out = "{\"carpeta\":" + jsonString(folder.string()) +
                      ",\"plantilla\":" + jsonString(text::toUtf8(result.jornadaElegida)) + ",\"tablas\":{";
    bool first = true;
    for (const auto& t : report.tables()) {
      out += (first ? "" : ",") + jsonString(t.table) + ":" + std::to_string(t.rows);
      first = false;
    }
    out += "},\"avisos\":" + std::to_string(report.findings().size()) + "}\n";
    std::fputs(out.c_str(), stdout);
    return;
  }
  std::printf("Tablas creadas en %s:\n", folder.string().c_str());
  for (const auto& t : report.tables()) {
    std::printf("  %-12s %zu filas\n", t.table.c_str(), t.rows);
  }
  std::printf("Plantilla horaria: %s\n", text::toUtf8(result.jornadaElegida).c_str());
  if (!report.findings().empty()) {
    std::printf("Avisos: %zu (vadelux-cli validar los detalla)\n", report.findings().size());
  }
}

}  // namespace

int runExportar(const std::vector<std::string>& args) {
  const CliOptions options = parseOptions(args, {"--htemp", "--programa", "--plantilla", "--json"});
  conversion::ConversionRequest request;
  request.xmlFile = options.file;
  request.workingFolder = options.htemp.value_or(tables::defaultWorkingFolder());
  request.programFolder = options.programa.value_or(tables::programFolder());
  request.chooser = chooserFor(options.plantilla);
  try {
    const auto result = conversion::runConversion(request);
    printSummary(request.workingFolder, result, options.json);
    return 0;
  } catch (const Error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}

}  // namespace vadelux::cli
