// The Rayuela-to-timetable run without a window: checks, load, the seven steps in their order, and the
// new tables published together only when every step succeeded.
#pragma once

#include <filesystem>
#include <string>

#include "common/Error.h"
#include "common/MissingInputError.h"
#include "conversion/ConversionReport.h"
#include "conversion/ConversionSteps.h"
#include "conversion/Steps.h"
#include "tables/WorkingFolder.h"

namespace vadelux::conversion {

inline constexpr const char* kNivelexFileName = "NIVELEX.DBF";

struct ConversionRequest {
  std::filesystem::path xmlFile;
  std::filesystem::path workingFolder;
  std::filesystem::path programFolder;  // holds NIVELEX.DBF
  TemplateChooser chooser;              // asked when the file holds several templates
};

// The NIVELEX.DBF of a program folder, found without regard to letter case; nothing when missing.
std::optional<std::filesystem::path> findNivelex(const std::filesystem::path& programFolder);

// A run in progress: checked, its file loaded, its staging folder open. The caller runs the steps and
// publishes; a run dropped without publish() leaves the working tables as they were.
class ConversionRun {
 public:
  // Throws MissingInputError ("No existe archivo", the NIVELEX message), rayuela::DocumentError for a file
  // that is no Rayuela exchange file, and vadelux::Error for a working folder that cannot be used.
  explicit ConversionRun(const ConversionRequest& request);

  const rayuela::Document& document() const { return doc_; }
  ConversionSteps& steps() { return steps_; }

  // Replaces the working tables with the staged ones, deletes JORNADAS.DBF, and returns what was done.
  ConversionResult publish();

 private:
  std::filesystem::path nivelex_;
  rayuela::Document doc_;
  tables::Staging staging_;
  ConversionSteps steps_;
};

// Runs the whole direction. Throws MissingInputError ("No existe archivo", the NIVELEX message),
// rayuela::DocumentError for a file that is no Rayuela exchange file, and vadelux::Error for anything
// that stops a step; in every such case the working tables are left exactly as they were.
ConversionResult runConversion(const ConversionRequest& request);

// Runs the seven steps into `folder` without publishing anything: what `validar` reports.
ConversionResult convertInto(const rayuela::Document& doc, const std::filesystem::path& folder,
                             const std::filesystem::path& nivelexFile, const TemplateChooser& chooser);

}  // namespace vadelux::conversion
