// The subcommands of vadelux-cli. Each takes the arguments after the program name and returns the exit
// code: 0 success, 1 a failed run, 2 bad usage.
#pragma once

#include <string>
#include <vector>

namespace vadelux::cli {

int runExportar(const std::vector<std::string>& args);
int runImportar(const std::vector<std::string>& args);
int runValidar(const std::vector<std::string>& args);

}  // namespace vadelux::cli
