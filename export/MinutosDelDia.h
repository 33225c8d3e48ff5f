// Minutes after midnight of a clock text HH:MM.
#pragma once

#include <cstdint>
#include <string_view>

namespace vadelux::exporting {

// A text shorter than five characters gets a "0" in front; the hours are its first two characters and
// the minutes its last two. "08:30" and "8:30" give 510; "" gives 0. Throws vadelux::Error
// "'%s' no es un valor entero válido" when either part is no whole number.
std::int32_t MinutosDelDia(std::string_view clockText);

}  // namespace vadelux::exporting
