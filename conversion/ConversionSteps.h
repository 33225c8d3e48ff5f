// The seven steps of one conversion into one folder, each callable on its own in the run's fixed order.
#pragma once

#include <filesystem>

#include "conversion/ConversionReport.h"
#include "conversion/Steps.h"

namespace vadelux::conversion {

struct ConversionResult {
  std::string jornadaElegida;
  ConversionReport report;
};

class ConversionSteps {
 public:
  ConversionSteps(const rayuela::Document& doc, std::filesystem::path folder,
                  std::filesystem::path nivelexFile, TemplateChooser chooser)
      : doc_(doc),
        folder_(std::move(folder)),
        nivelex_(std::move(nivelexFile)),
        chooser_(std::move(chooser)) {}

  void TransformarMaterias();
  void TransformarActividades();
  void TransformarEmpleados();
  void TransformarDependencias();
  void TransformarCursosUnidades();
  void TransformarAsignaciones();
  void TransformarJornadasTramos();

  // All seven in order.
  void runAll();

  const ConversionResult& result() const { return result_; }

 private:
  const rayuela::Document& doc_;
  std::filesystem::path folder_;
  std::filesystem::path nivelex_;
  TemplateChooser chooser_;
  SubjectLists lists_;  // made for the subject step, dropped by the activity step
  ConversionResult result_;
};

}  // namespace vadelux::conversion
