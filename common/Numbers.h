// Whole numbers read from text, with the program's conversion error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vadelux {

// A decimal whole number with an optional sign and nothing else (no blanks); nothing when the text is
// not one or does not fit.
std::optional<std::int64_t> parseInteger(std::string_view text, std::int64_t min, std::int64_t max);

// The same within the signed 32-bit range; throws vadelux::Error "'TEXT' no es un valor entero válido"
// (TEXT is Windows-1252 text and is shown converted).
std::int32_t toInt32(std::string_view cp1252Text);

// The conversion error's message for a text (Windows-1252).
std::string notAnIntegerMessage(std::string_view cp1252Text);

}  // namespace vadelux
