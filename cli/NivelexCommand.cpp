#include "cli/NivelexCommand.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "common/Error.h"
#include "tables/Nivelex.h"
#include "tables/WorkingFolder.h"

namespace vadelux::cli {

namespace {

constexpr const char* kNivelexUsage = "Uso: vadelux-cli nivelex ARCHIVO.csv [--programa DIR]\n";

int usage(const std::string& problem) {
  std::fprintf(stderr, "%s\n%s", problem.c_str(), kNivelexUsage);
  return 2;
}

}  // namespace

int runNivelex(const std::vector<std::string>& args) {
  std::optional<std::filesystem::path> csv;
  std::optional<std::filesystem::path> folder;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--programa") {
      if (i + 1 >= args.size()) {
        return usage("Falta la carpeta de --programa");
      }
      folder = args[++i];
    } else if (arg.starts_with("--programa=")) {
      folder = arg.substr(11);
    } else if (arg.starts_with("--")) {
      return usage("Opci\xC3\xB3n desconocida: " + arg);
    } else if (csv) {
      return usage("Sobra el argumento " + arg);
    } else {
      csv = arg;
    }
  }
  if (!csv) {
    return usage("Falta el archivo CSV");
  }
  try {
    const std::filesystem::path target = folder ? *folder : tables::programFolder();
    std::error_code ec;
    if (!std::filesystem::is_directory(target, ec)) {
      throw vadelux::Error("No existe la carpeta " + target.string());
    }
    const std::filesystem::path dbf = target / "NIVELEX.DBF";
    tables::writeNivelexFromCsv(*csv, dbf);
    std::printf("Creado %s\n", dbf.string().c_str());
    return 0;
  } catch (const vadelux::Error& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}

}  // namespace vadelux::cli
