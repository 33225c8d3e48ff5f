// vadelux-cli nivelex CSV [--programa DIR]: builds NIVELEX.DBF from a CSV file.
#pragma once

#include <string>
#include <vector>

namespace vadelux::cli {

// `args` starts with the subcommand's own name. Returns 0 on success, 1 when the table cannot be
// built (the message goes to standard error), 2 on bad usage.
int runNivelex(const std::vector<std::string>& args);

}  // namespace vadelux::cli
