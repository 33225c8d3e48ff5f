#include "export/MinutosDelDia.h"

#include <string>

#include "common/Numbers.h"

namespace vadelux::exporting {

std::int32_t MinutosDelDia(std::string_view clockText) {
  const std::string s = clockText.size() < 5 ? "0" + std::string(clockText) : std::string(clockText);
  const std::string_view text = s;
  const std::string_view hours = text.substr(0, 2);
  const std::string_view minutes = text.size() >= 2 ? text.substr(text.size() - 2) : text;
  return toInt32(hours) * 60 + toInt32(minutes);
}

}  // namespace vadelux::exporting
