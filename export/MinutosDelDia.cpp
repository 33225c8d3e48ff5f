#include "export/MinutosDelDia.h"

#include <string>

#include "common/Numbers.h"

namespace vadelux::exporting {

std::int32_t MinutosDelDia(std::string_view clockText) {
  std::string s(clockText);
  if (s.size() < 5) {
    s.insert(0, "0");
  }
  const std::string_view text = s;
  const std::string_view hours = text.substr(0, 2);
  const std::string_view minutes = text.size() >= 2 ? text.substr(text.size() - 2) : text;
  return toInt32(hours) * 60 + toInt32(minutes);
}

}  // namespace vadelux::exporting
