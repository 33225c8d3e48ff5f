#include "common/Numbers.h"

#include <charconv>
#include <limits>

#include "common/Error.h"
#include "common/Text.h"

namespace vadelux {

std::optional<std::int64_t> parseInteger(std::string_view text, std::int64_t min, std::int64_t max) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);
    if (!digits.empty() && digits.front() == '-') {
      return std::nullopt;
    }
  }
  std::int64_t value = 0;
  const char* end = digits.data() + digits.size();
  const auto [ptr, ec] = std::from_chars(digits.data(), end, value);
  if (digits.empty() || ec != std::errc() || ptr != end || value < min || value > max) {
    return std::nullopt;
  }
  return value;
}

std::string notAnIntegerMessage(std::string_view cp1252Text) {
  return "'" + text::toUtf8(cp1252Text) + "' no es un valor entero v\xC3\xA1lido";
}

std::int32_t toInt32(std::string_view cp1252Text) {
  const auto value = parseInteger(cp1252Text, std::numeric_limits<std::int32_t>::min(),
                                  std::numeric_limits<std::int32_t>::max());
  if (!value) {
    throw Error(notAnIntegerMessage(cp1252Text));
  }
  return static_cast<std::int32_t>(*value);
}

}  // namespace vadelux
