#include "conversion/ConversionSteps.h"

namespace vadelux::conversion {

void ConversionSteps::TransformarMaterias() {
  lists_ = SubjectLists{};
  conversion::TransformarMaterias(doc_, folder_, lists_, result_.report);
}

void ConversionSteps::TransformarActividades() {
  conversion::TransformarActividades(doc_, folder_, result_.report);
  lists_ = SubjectLists{};
}

void ConversionSteps::TransformarEmpleados() {
  conversion::TransformarEmpleados(doc_, folder_, result_.report);
}

void ConversionSteps::TransformarDependencias() {
  conversion::TransformarDependencias(doc_, folder_, result_.report);
}

void ConversionSteps::TransformarCursosUnidades() {
  conversion::TransformarCursosUnidades(doc_, folder_, nivelex_, result_.report);
}

void ConversionSteps::TransformarAsignaciones() {
  conversion::TransformarAsignaciones(doc_, folder_, result_.report);
}

void ConversionSteps::TransformarJornadasTramos() {
  result_.jornadaElegida = conversion::TransformarJornadasTramos(doc_, folder_, chooser_, result_.report);
}

void ConversionSteps::runAll() {
  TransformarMaterias();
  TransformarActividades();
  TransformarEmpleados();
  TransformarDependencias();
  TransformarCursosUnidades();
  TransformarAsignaciones();
  TransformarJornadasTramos();
}

}  // namespace vadelux::conversion
