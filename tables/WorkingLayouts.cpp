#include "tables/WorkingLayouts.h"

namespace vadelux::tables::layouts {

namespace {

// Physical types of the working tables. Integers are N(11,0): ten digits and a sign hold every
// 32-bit value. Floats are N(20,4) rather than F(20,4): both are stored as the same right-aligned
// text, but N is understood by every dBase reader down to level III, while F only exists from
// level IV on; four decimals keep fractional lesson hours such as 2.5 or 0.75 exact.
FieldDef text(const char* name, int width) {
  return FieldDef{name, 'C', static_cast<std::uint8_t>(width), 0};
}
FieldDef integer(const char* name) {
  return FieldDef{name, 'N', 11, 0};
}
FieldDef floating(const char* name) {
  return FieldDef{name, 'N', 20, 4};
}
FieldDef logical(const char* name) {
  return FieldDef{name, 'L', 1, 0};
}

std::vector<FieldDef> diashorastFields() {
  return {text("DIHO", 10),     text("CODDIHO", 10),  text("DIA", 20),
          text("TEXTODIA", 20), text("HORA", 8),      text("TEXTOHOR", 15),
          text("HORADESDE", 8), text("HORAHASTA", 8), text("MINUTOS", 8)};
}

TableLayout diashorast2Layout() {
  TableLayout layout{"DIASHORAST2", diashorastFields(), "ORDEN"};
  layout.fields.push_back(integer("ORDEN"));
  return layout;
}

}  // namespace

const TableLayout& asignomt() {
  static const TableLayout layout{"ASIGNOMT",
                                  {text("COD", 4), text("CODLARGO", 8), text("NOMBRE", 40),
                                   text("MATERIA", 8), text("CODTAREA", 12), logical("ESTAREA")},
                                  ""};
  return layout;
}

const TableLayout& proft() {
  static const TableLayout layout{"PROFT",
                                  {text("ABREV", 4), text("NOMBRE", 40), text("DEPART", 40), integer("DNI"),
                                   text("X_EMPLEADO", 10), text("F_TOMAPOS", 10)},
                                  ""};
  return layout;
}

const TableLayout& aulat() {
  static const TableLayout layout{
      "AULAT",
      {text("ABREV", 4), text("NOMBRE", 40), text("EDIFICIO", 1), integer("MAXALUM"), text("DEPCENTRO", 10)},
      ""};
  return layout;
}

const TableLayout& cursost() {
  static const TableLayout layout{"CURSOST",
                                  {text("ABREV", 3), text("TURNO", 1), text("NIVEL", 5), text("CURSO", 3),
                                   text("CLAVE", 10), text("ESTUD", 40)},
                                  ""};
  return layout;
}

const TableLayout& grupost() {
  static const TableLayout layout{
      "GRUPOST",
      {text("ABREV", 4), text("TURNO", 1), text("NIVEL", 5), text("CURSO", 3), text("GRUPO", 2),
       text("CLAVE", 10), text("CLAVECURSO", 10), text("DESCRIP", 40)},
      ""};
  return layout;
}

const TableLayout& asigt() {
  static const TableLayout layout{
      "ASIGT",
      {text("CASIG", 4), text("CPROF", 4), text("CGRUP", 4), text("CAULA", 4), text("TURNO", 1),
       text("NIVEL", 5), text("CURSO", 3), text("GRUPO", 2), floating("HORAS"), text("SESIONES", 20),
       text("CLAVE", 10), text("CLAVECURSO", 10), text("CTAREA", 4)},
      ""};
  return layout;
}

const TableLayout& diashorast() {
  static const TableLayout layout{"DIASHORAST", diashorastFields(), ""};
  return layout;
}

const TableLayout& diashorast2() {
  static const TableLayout layout = diashorast2Layout();
  return layout;
}

const TableLayout& periodos() {
  static const TableLayout layout{
      "PERIODOS", {text("CJORNADA", 10), text("JORNADA", 40), text("FECINI", 10), text("FECFIN", 10)}, ""};
  return layout;
}

const std::vector<const TableLayout*>& all() {
  static const std::vector<const TableLayout*> tables{&asignomt(),   &proft(),       &aulat(),
                                                      &cursost(),    &grupost(),     &asigt(),
                                                      &diashorast(), &diashorast2(), &periodos()};
  return tables;
}

}  // namespace vadelux::tables::layouts
