// vadelux-cli importar: the generator's solution becomes a Rayuela "HORARIOS" file.
#include <cstdio>
#include <string>

#include "cli/CliOptions.h"
#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "export/ExportRun.h"
#include "tables/WorkingFolder.h"

namespace vadelux::cli {

int runImportar(const std::vector<std::string>& args) {
  const CliOptions options = parseOptions(args, {"--htemp", "--json"});
  exporting::ExportRequest request;
  request.xmlFile = options.file;
  request.workingFolder = options.htemp.value_or(tables::defaultWorkingFolder());
  try {
    const auto result = exporting::runExport(request);
    const auto& c = result.counts;
    if (options.json) {
      std::printf(
          "{\"archivo\":%s,\"profesores\":%zu,\"actividades\":%zu,\"omitidas_dia_0\":%zu,"
          "\"sin_tramo\":%zu,\"sin_materia\":%zu,\"sin_unidad\":%zu}\n",
          jsonString(result.outputFile.string()).c_str(), c.teachers, c.activities, c.skippedDayZero,
          c.slotNotFound, c.subjectNotFound, c.unitNotFound);
    } else {
      std::printf("Archivo escrito: %s\n", result.outputFile.string().c_str());
      std::printf("  Profesores:                          %zu\n", c.teachers);
      std::printf("  Actividades:                         %zu\n", c.activities);
      std::printf(
          "  Clases del d\xC3\xAD"
          "a 0 omitidas:           %zu\n",
          c.skippedDayZero);
      std::printf("  Clases sin tramo horario:            %zu\n", c.slotNotFound);
      std::printf("  Clases sin materia para su grupo:    %zu\n", c.subjectNotFound);
      std::printf("  Clases sin unidad:                   %zu\n", c.unitNotFound);
    }
    return 0;
  } catch (const Error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}

}  // namespace vadelux::cli
