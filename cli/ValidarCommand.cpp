// vadelux-cli validar: what the conversion would do with a Rayuela file and what looks wrong, without
// touching the working tables.
#include <stdlib.h>

#include <cstdio>
#include <map>
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

// A scratch folder for the tables the check builds; removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vadelux-validar-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw Error("No se puede crear una carpeta temporal en " +
                  std::filesystem::temp_directory_path().string());
    }
    path_ = pattern;
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

struct TemplateInfo {
  std::string code, name, start, end;  // UTF-8
  std::size_t slots = 0;
};

std::vector<TemplateInfo> templateInfo(const rayuela::Document& doc) {
  std::vector<TemplateInfo> info;
  std::map<std::string, std::size_t> slots;
  for (const auto& slot : doc.records("TRAMOS_HORARIOS")) {
    if (slot.passesGuard()) {
      ++slots[slot.trimmedField(4)];
    }
  }
  for (const auto& t : doc.records("JORNADAS_ESCOLARES")) {
    const auto it = slots.find(t.trimmedField(0));
    info.push_back({text::toUtf8(t.trimmedField(0)), text::toUtf8(t.trimmedField(1)),
                    text::toUtf8(t.trimmedField(2)), text::toUtf8(t.trimmedField(3)),
                    it == slots.end() ? 0 : it->second});
  }
  return info;
}

void printText(const std::filesystem::path& file, const std::vector<TemplateInfo>& templates,
               const conversion::ConversionResult& result) {
  std::printf("Archivo: %s\n\nPlantillas horarias:\n", file.string().c_str());
  for (const auto& t : templates) {
    std::printf("  %s\t%s\t(%s - %s)\t%zu tramos%s\n", t.code.c_str(), t.name.c_str(), t.start.c_str(),
                t.end.c_str(), t.slots, t.code == text::toUtf8(result.jornadaElegida) ? "\t<- usada" : "");
  }
  std::printf(
      "\nFilas que se escribir\xC3\xAD"
      "an:\n");
  for (const auto& t : result.report.tables()) {
    std::printf("  %-12s %zu\n", t.table.c_str(), t.rows);
  }
  const auto& findings = result.report.findings();
  if (findings.empty()) {
    std::printf("\nSin avisos.\n");
    return;
  }
  std::printf("\nAvisos (%zu):\n", findings.size());
  for (const auto& f : findings) {
    std::printf("  [%s]%s%s %s\n", std::string(conversion::findingLabel(f.kind)).c_str(),
                f.table.empty() ? "" : " ", f.table.c_str(), f.detail.c_str());
  }
}

void printJson(const std::filesystem::path& file, const std::vector<TemplateInfo>& templates,
               const conversion::ConversionResult& result) {
  std::string out = "{\"archivo\":" + jsonString(file.string()) +
                    ",\"plantilla\":" + jsonString(text::toUtf8(result.jornadaElegida)) + ",\"plantillas\":[";
  for (std::size_t i = 0; i < templates.size(); ++i) {
    const auto& t = templates[i];
    out += std::string(i ? "," : "") + "{\"codigo\":" + jsonString(t.code) +
           ",\"nombre\":" + jsonString(t.name) + ",\"inicio\":" + jsonString(t.start) +
           ",\"fin\":" + jsonString(t.end) + ",\"tramos\":" + std::to_string(t.slots) + "}";
  }
  out += "],\"tablas\":{";
  bool first = true;
  for (const auto& t : result.report.tables()) {
    out += (first ? "" : ",") + jsonString(t.table) + ":" + std::to_string(t.rows);
    first = false;
  }
  out += "},\"avisos\":[";
  first = true;
  for (const auto& f : result.report.findings()) {
    out += std::string(first ? "" : ",") + "{\"tipo\":" + jsonString(conversion::findingLabel(f.kind)) +
           ",\"tabla\":" + jsonString(f.table) + ",\"detalle\":" + jsonString(f.detail) + "}";
    first = false;
  }
  out += "]}\n";
  std::fputs(out.c_str(), stdout);
}

}  // namespace

int runValidar(const std::vector<std::string>& args) {
  const CliOptions options = parseOptions(args, {"--programa", "--plantilla", "--json"});
  try {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(options.file, ec)) {
      throw MissingInputError(MissingInputError::What::XmlFile, kNoFileMessage);
    }
    const auto nivelex = conversion::findNivelex(options.programa.value_or(tables::programFolder()));
    if (!nivelex) {
      throw MissingInputError(MissingInputError::What::Nivelex, kNivelexMissingMessage);
    }
    const auto doc = rayuela::Document::loadGroupsRead(options.file);
    const auto templates = templateInfo(doc);
    // With several templates the check follows --plantilla, or else the first one.
    const std::string chosen = options.plantilla ? text::toWindows1252(*options.plantilla) : std::string();
    const conversion::TemplateChooser chooser = [&](const std::vector<rayuela::Record>& records) {
      return options.plantilla ? chosen : records.front().trimmedField(0);
    };
    const ScratchFolder scratch;
    auto result = conversion::convertInto(doc, scratch.path(), *nivelex, chooser);
    for (const auto& t : templates) {
      if (t.slots == 0) {
        result.report.add(conversion::FindingKind::TemplateWithoutSlots, "",
                          "la plantilla '" + t.code + "' (" + t.name + ") no tiene tramos horarios");
      }
    }
    if (options.json) {
      printJson(options.file, templates, result);
    } else {
      printText(options.file, templates, result);
    }
    return 0;
  } catch (const Error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}

}  // namespace vadelux::cli
