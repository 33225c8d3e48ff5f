// The nine working tables that the conversion rebuilds, field by field.
#pragma once

#include <vector>

#include "tables/TableLayout.h"

namespace vadelux::tables::layouts {

const TableLayout& asignomt();
const TableLayout& proft();
const TableLayout& aulat();
const TableLayout& cursost();
const TableLayout& grupost();
const TableLayout& asigt();
const TableLayout& diashorast();
const TableLayout& diashorast2();  // the fields of DIASHORAST, then ORDEN, indexed by the tag ORDEN
const TableLayout& periodos();

// All nine, in the order a run rebuilds them.
const std::vector<const TableLayout*>& all();

}  // namespace vadelux::tables::layouts
