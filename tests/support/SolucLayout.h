// A solution table SOLUC laid out as the timetable generator writes it, for tests and the benchmark.
#pragma once

#include "tables/TableLayout.h"

namespace vadelux::testing {

inline const tables::TableLayout& solucLayout() {
  static const tables::TableLayout layout{"SOLUC",
                                          {{"PROF", 'C', 4, 0},
                                           {"DIA", 'N', 2, 0},
                                           {"HORA", 'N', 3, 0},
                                           {"ASIG", 'C', 4, 0},
                                           {"CODGRUPO", 'C', 4, 0},
                                           {"TAREA", 'C', 12, 0},
                                           {"AULA", 'C', 4, 0}},
                                          ""};
  return layout;
}

}  // namespace vadelux::testing
