// Builds a dBase IV production index (.MDX) with one ascending, not unique numeric tag.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "tables/TableLayout.h"

namespace vadelux::tables {

// keys[i] is the key of record i + 1. Equal keys stay in record order. `tableName` is the table's
// name without extension; `tag` names both the tag and the field it indexes. Returns the file's bytes.
std::string buildProductionMdx(std::string_view tableName, std::string_view tag,
                               std::span<const std::int64_t> keys, const DbfDate& date);

}  // namespace vadelux::tables
