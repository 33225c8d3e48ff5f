// Small pieces shared by the conversion steps.
#pragma once

#include <cstddef>
#include <string_view>

#include "conversion/ConversionReport.h"
#include "rayuela/Record.h"

namespace vadelux::conversion {

// The record guard: records with fewer than two fields are passed over (and reported).
bool passesGuard(const rayuela::Record& record, std::string_view group, ConversionReport& report);

// Reports a record that lacks positions up to `highestPosition`; they read as empty text.
void noteMissingPositions(const rayuela::Record& record, std::size_t highestPosition, std::string_view group,
                          ConversionReport& report);

}  // namespace vadelux::conversion
