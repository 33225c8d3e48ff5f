#include "conversion/ClockText.h"

#include <cmath>

namespace vadelux::conversion {
namespace {

std::string twoDigits(std::int64_t value) {
  std::string s = std::to_string(value);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

std::string clockText(std::int64_t minutes) {
  const auto hours = static_cast<std::int64_t>(std::floor(static_cast<double>(minutes) / 60.0));
  return twoDigits(hours) + ":" + twoDigits(minutes % 60);
}

}  // namespace vadelux::conversion
