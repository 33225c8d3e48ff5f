// Clock texts HH:MM for minutes after midnight.
#pragma once

#include <cstdint>
#include <string>

namespace vadelux::conversion {

// Hours (the floor of m / 60) and the remaining minutes (m modulo 60), each given a leading "0" when it is
// shorter than two characters, joined by ":". 490 gives "08:10", 1440 gives "24:00".
std::string clockText(std::int64_t minutes);

}  // namespace vadelux::conversion
