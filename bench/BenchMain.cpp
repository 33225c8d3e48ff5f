// vadelux-bench: times both directions of vadelux-cli, each run a fresh process, on synthetic schools
// of growing scale, against the time xmllint needs to parse the same file.
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "bench/ChildProcess.h"
#include "common/Error.h"
#include "common/Numbers.h"
#include "tables/WorkingFolder.h"

namespace {

using vadelux::bench::ChildRun;
using vadelux::bench::runChild;

constexpr const char* kUsage =
    "Uso: vadelux-bench [--escalas 1,10,100] [--repeticiones 7,5,3] [--semilla S] [--carpeta DIR]\n"
    "  Genera un centro sint\xC3\xA9tico por escala, mide cada sentido de vadelux-cli como proceso propio\n"
    "  (mediana de las repeticiones) y lo compara con `xmllint --noout` sobre el mismo archivo.\n";

struct Options {
  std::vector<unsigned> scales{1, 10, 100};
  std::vector<unsigned> repetitions{7, 5, 3};
  std::uint64_t seed = 1;
  std::filesystem::path folder;  // empty: a temporary folder, removed at the end
};

struct Measure {
  double seconds = 0;  // median
  long peakKiB = 0;    // highest of the runs
};

struct ScaleResult {
  unsigned scale = 0;
  std::uintmax_t fileBytes = 0;
  std::size_t tableRows = 0;     // rows the conversion writes into the nine tables
  std::size_t solutionRows = 0;  // solution rows the export reads (those of known teachers)
  double generateSeconds = 0;
  Measure xmllint;
  Measure exportar;
  Measure importar;
};

std::vector<unsigned> numberList(const std::string& text) {
  std::vector<unsigned> numbers;
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');) {
    const auto n = vadelux::parseInteger(item, 1, 100000);
    if (!n) {
      throw std::invalid_argument("no es una lista de n\xC3\xBameros: " + text);
    }
    numbers.push_back(static_cast<unsigned>(*n));
  }
  return numbers;
}

Options parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (i + 1 >= argc) {
      throw std::invalid_argument("falta el valor de " + name);
    }
    const std::string value = argv[++i];
    if (name == "--escalas") {
      options.scales = numberList(value);
    } else if (name == "--repeticiones") {
      options.repetitions = numberList(value);
    } else if (name == "--semilla") {
      options.seed = numberList(value).at(0);
    } else if (name == "--carpeta") {
      options.folder = value;
    } else {
      throw std::invalid_argument("opci\xC3\xB3n desconocida: " + name);
    }
  }
  return options;
}

ChildRun mustRun(const std::vector<std::string>& argv) {
  ChildRun run = runChild(argv);
  if (run.exitCode != 0) {
    std::string command;
    for (const auto& a : argv) {
      command += a + " ";
    }
    throw vadelux::Error("Fall\xC3\xB3 (" + std::to_string(run.exitCode) + "): " + command + "\n" +
                         run.errorOutput);
  }
  return run;
}

// The whole number after `"key":` in a one-line JSON summary.
std::size_t jsonNumber(const std::string& json, const std::string& key) {
  const auto at = json.find("\"" + key + "\":");
  if (at == std::string::npos) {
    throw vadelux::Error("El resumen no tiene " + key + ": " + json);
  }
  return std::stoul(json.substr(at + key.size() + 3));
}

// The sum of the row counts in the "tablas" object of exportar's JSON summary.
std::size_t tableRowsOf(const std::string& json) {
  const auto open = json.find("\"tablas\":{");
  const auto close = json.find('}', open);
  if (open == std::string::npos || close == std::string::npos) {
    throw vadelux::Error("El resumen no tiene tablas: " + json);
  }
  std::size_t rows = 0;
  for (auto colon = json.find(':', open + 10); colon < close; colon = json.find(':', colon + 1)) {
    rows += std::stoul(json.substr(colon + 1));
  }
  return rows;
}

Measure summarize(std::vector<ChildRun> runs) {
  std::sort(runs.begin(), runs.end(),
            [](const ChildRun& a, const ChildRun& b) { return a.seconds < b.seconds; });
  Measure m;
  const std::size_t n = runs.size();
  m.seconds = n % 2 == 1 ? runs[n / 2].seconds : (runs[n / 2 - 1].seconds + runs[n / 2].seconds) / 2;
  for (const auto& r : runs) {
    m.peakKiB = std::max(m.peakKiB, r.peakRssKiB);
  }
  return m;
}

ScaleResult measureScale(unsigned scale, unsigned repetitions, const Options& options,
                         const std::filesystem::path& work, const std::filesystem::path& bin) {
  const std::string cli = (bin / "vadelux-cli").string();
  const std::string synth = (bin / "vadelux-synth").string();
  const std::filesystem::path dir = work / ("escala-" + std::to_string(scale));
  const std::filesystem::path htemp = dir / "HTEMP";
  std::filesystem::create_directories(htemp);
  const std::string xml = (dir / "centro.xml").string();
  const std::string seed = std::to_string(options.seed);

  ScaleResult result;
  result.scale = scale;
  result.generateSeconds =
      mustRun({synth, "centro", dir.string(), "--escala", std::to_string(scale), "--semilla", seed}).seconds;
  result.fileBytes = std::filesystem::file_size(xml);

  const std::vector<std::string> exportar{
      cli,          "exportar",   xml,           "--htemp", htemp.string(),
      "--programa", dir.string(), "--plantilla", "1",       "--json"};
  const std::vector<std::string> importar{cli, "importar", xml, "--htemp", htemp.string(), "--json"};
  const std::vector<std::string> xmllint{"xmllint", "--noout", xml};

  // A first run of each, unmeasured: it writes the tables that the solution is made for, and warms the
  // file cache.
  result.tableRows = tableRowsOf(mustRun(exportar).output);
  mustRun({synth, "soluc", htemp.string(), "--semilla", seed});
  const std::string summary = mustRun(importar).output;
  result.solutionRows = jsonNumber(summary, "actividades") + jsonNumber(summary, "omitidas_dia_0");
  mustRun(xmllint);

  // The three alternate so that a busy moment of the machine falls on all of them alike.
  std::vector<ChildRun> lint, exp, imp;
  for (unsigned i = 0; i < repetitions; ++i) {
    lint.push_back(mustRun(xmllint));
    exp.push_back(mustRun(exportar));
    imp.push_back(mustRun(importar));
    std::fprintf(stderr,
                 "  escala %u, repetici\xC3\xB3n %u/%u: xmllint %.3f s, exportar %.3f s, importar %.3f s\n",
                 scale, i + 1, repetitions, lint.back().seconds, exp.back().seconds, imp.back().seconds);
  }
  result.xmllint = summarize(lint);
  result.exportar = summarize(exp);
  result.importar = summarize(imp);
  return result;
}

double mib(double bytes) {
  return bytes / (1024.0 * 1024.0);
}

void printResults(const std::vector<ScaleResult>& results) {
  std::printf(
      "\n| escala | archivo | xmllint | exportar | /xmllint | importar | /xmllint | filas/s exportar | "
      "filas/s "
      "importar | memoria m\xC3\xA1x. exportar | memoria m\xC3\xA1x. importar |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|---|---|\n");
  for (const auto& r : results) {
    std::printf(
        "| %u\xC3\x97 | %.2f MiB | %.3f s | %.3f s | %.2f | %.3f s | %.2f | %.0f | %.0f | %.1f MiB | %.1f "
        "MiB |\n",
        r.scale, mib(static_cast<double>(r.fileBytes)), r.xmllint.seconds, r.exportar.seconds,
        r.exportar.seconds / r.xmllint.seconds, r.importar.seconds, r.importar.seconds / r.xmllint.seconds,
        static_cast<double>(r.tableRows) / r.exportar.seconds,
        static_cast<double>(r.solutionRows) / r.importar.seconds, r.exportar.peakKiB / 1024.0,
        r.importar.peakKiB / 1024.0);
  }
  std::printf("\nFilas: ");
  for (const auto& r : results) {
    std::printf("%u\xC3\x97 %zu en las tablas, %zu de SOLUC (generado en %.2f s); ", r.scale, r.tableRows,
                r.solutionRows, r.generateSeconds);
  }
  std::printf("\n\nEscalado (cociente de tiempos entre escalas consecutivas):\n");
  for (std::size_t i = 1; i < results.size(); ++i) {
    const auto& a = results[i - 1];
    const auto& b = results[i];
    std::printf(
        "  %u\xC3\x97/%u\xC3\x97 (tama\xC3\xB1o \xC3\x97%.1f): exportar %.2f, importar %.2f, xmllint %.2f\n",
        b.scale, a.scale, static_cast<double>(b.fileBytes) / static_cast<double>(a.fileBytes),
        b.exportar.seconds / a.exportar.seconds, b.importar.seconds / a.importar.seconds,
        b.xmllint.seconds / a.xmllint.seconds);
  }
}

// The targets: 100x within 12 times 10x; 1x within 3 times xmllint and 100x within 5 times; peak memory at
// 100x under 10 times the file plus 64 MiB.
void printTargets(const std::vector<ScaleResult>& results) {
  std::printf("\nObjetivos:\n");
  auto verdict = [](bool ok) { return ok ? "cumple" : "NO cumple"; };
  const ScaleResult* one = nullptr;
  const ScaleResult* ten = nullptr;
  const ScaleResult* hundred = nullptr;
  for (const auto& r : results) {
    one = r.scale == 1 ? &r : one;
    ten = r.scale == 10 ? &r : ten;
    hundred = r.scale == 100 ? &r : hundred;
  }
  for (const char* direction : {"exportar", "importar"}) {
    auto measureOf = [direction](const ScaleResult& r) {
      return std::string(direction) == "exportar" ? r.exportar : r.importar;
    };
    if (ten != nullptr && hundred != nullptr) {
      const double ratio = measureOf(*hundred).seconds / measureOf(*ten).seconds;
      std::printf("  %s 100\xC3\x97/10\xC3\x97 = %.2f (m\xC3\xA1ximo 12): %s\n", direction, ratio,
                  verdict(ratio <= 12));
    }
    if (one != nullptr) {
      const double ratio = measureOf(*one).seconds / one->xmllint.seconds;
      std::printf("  %s 1\xC3\x97 = %.2f \xC3\x97 xmllint (m\xC3\xA1ximo 3): %s\n", direction, ratio,
                  verdict(ratio <= 3));
    }
    if (hundred != nullptr) {
      const double ratio = measureOf(*hundred).seconds / hundred->xmllint.seconds;
      std::printf("  %s 100\xC3\x97 = %.2f \xC3\x97 xmllint (m\xC3\xA1ximo 5): %s\n", direction, ratio,
                  verdict(ratio <= 5));
      const double limitMiB = 10 * mib(static_cast<double>(hundred->fileBytes)) + 64;
      const double peakMiB = measureOf(*hundred).peakKiB / 1024.0;
      std::printf("  %s 100\xC3\x97 memoria %.1f MiB (m\xC3\xA1ximo %.1f MiB): %s\n", direction, peakMiB,
                  limitMiB, verdict(peakMiB < limitMiB));
    }
  }
}

// A work folder of our own, removed at the end unless the user named one.
class WorkFolder {
 public:
  explicit WorkFolder(const std::filesystem::path& named) : keep_(!named.empty()) {
    if (keep_) {
      path_ = named;
      std::filesystem::create_directories(path_);
    } else {
      std::string pattern = (std::filesystem::temp_directory_path() / "vadelux-bench-XXXXXX").string();
      if (::mkdtemp(pattern.data()) == nullptr) {
        throw vadelux::Error("No se puede crear una carpeta temporal");
      }
      path_ = pattern;
    }
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  ~WorkFolder() {
    if (!keep_) {
      std::error_code ec;
      std::filesystem::remove_all(path_, ec);
    }
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  bool keep_;
  std::filesystem::path path_;
};

}  // namespace

int main(int argc, char** argv) {
  Options options;
  try {
    options = parse(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n%s", e.what(), kUsage);
    return 2;
  }
  try {
    const auto bin = vadelux::tables::programFolder();
    WorkFolder work(options.folder);
    std::vector<ScaleResult> results;
    for (std::size_t i = 0; i < options.scales.size(); ++i) {
      const unsigned scale = options.scales[i];
      const unsigned reps =
          options.repetitions.empty() ? 3 : options.repetitions[std::min(i, options.repetitions.size() - 1)];
      std::fprintf(stderr, "Escala %u\xC3\x97 (%u repeticiones)\n", scale, reps);
      results.push_back(measureScale(scale, reps, options, work.path(), bin));
      // A large scale's files are not needed once it is measured.
      if (options.folder.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(work.path() / ("escala-" + std::to_string(scale)), ec);
      }
    }
    printResults(results);
    printTargets(results);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
