// JSON text for the --json summaries: strings are UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vadelux::cli {

std::string jsonString(std::string_view utf8);

}  // namespace vadelux::cli
