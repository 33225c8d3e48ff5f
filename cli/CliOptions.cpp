#include "cli/CliOptions.h"

#include <algorithm>

namespace vadelux::cli {

CliOptions parseOptions(const std::vector<std::string>& args, const std::vector<std::string>& allowed) {
  CliOptions options;
  if (args.empty()) {
    throw UsageError("Falta la orden.");
  }
  options.command = args.front();
  bool haveFile = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0) {
      if (haveFile) {
        throw UsageError("Sobra el argumento '" + arg + "'.");
      }
      options.file = arg;
      haveFile = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> value;
    if (const auto eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) {
      throw UsageError("La orden " + options.command + " no admite la opci\xC3\xB3n " + name + ".");
    }
    if (name == "--json") {
      if (value) {
        throw UsageError("La opci\xC3\xB3n --json no lleva valor.");
      }
      options.json = true;
      continue;
    }
    if (!value) {
      if (i + 1 >= args.size()) {
        throw UsageError("Falta el valor de la opci\xC3\xB3n " + name + ".");
      }
      value = args[++i];
    }
    if (name == "--htemp") {
      options.htemp = *value;
    } else if (name == "--programa") {
      options.programa = *value;
    } else if (name == "--plantilla") {
      options.plantilla = *value;
    }
  }
  if (!haveFile) {
    throw UsageError("Falta el archivo.");
  }
  return options;
}

}  // namespace vadelux::cli
