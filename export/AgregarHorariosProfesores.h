// The teacher groups and activity records of a "HORARIOS" document, built from the generator's solution.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "export/ExportTables.h"
#include "rayuela/Element.h"

namespace vadelux::exporting {

struct Period {
  std::string start;  // FECINI
  std::string end;    // FECFIN
};

// What the records say about the lessons, for the summary.
struct ExportCounts {
  std::size_t teachers = 0;
  std::size_t activities = 0;
  std::size_t skippedDayZero = 0;
  std::size_t slotNotFound = 0;
  std::size_t subjectNotFound = 0;
  std::size_t unitNotFound = 0;
};

// Appends one HORARIO_REGULAR_PROFESOR_n group per PROFT row to `horariosRegulares`, each with one
// ACTIVIDAD_n record per solution row of that teacher whose day is not 0. `teacherDone`, when given, is
// called after each group is complete, so that a caller can write the groups out as they are made.
void AgregarHorariosProfesores(rayuela::Element horariosRegulares, const Period& period,
                               const ExportTables& tables, ExportCounts& counts,
                               const std::function<void()>& teacherDone = {});

// Appends the activity record of one solution row to a teacher group.
void AgregarActividad(rayuela::Element teacherGroup, std::size_t ordinal, std::size_t solutionRow,
                      const Period& period, const ExportTables& tables, ExportCounts& counts);

}  // namespace vadelux::exporting
