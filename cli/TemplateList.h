// The school-day templates of a file, as the command line lists them.
#pragma once

#include <string>
#include <vector>

#include "rayuela/Record.h"

namespace vadelux::cli {

// One line per template: code, name and dates (UTF-8).
std::string describeTemplates(const std::vector<rayuela::Record>& templates);

}  // namespace vadelux::cli
