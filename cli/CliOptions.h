// The command line of vadelux-cli: one subcommand, one file, and options.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vadelux::cli {

// Bad usage: the message is shown with the usage text and the exit code is 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CliOptions {
  std::string command;
  std::filesystem::path file;
  std::optional<std::filesystem::path> htemp;
  std::optional<std::filesystem::path> programa;
  std::optional<std::string> plantilla;  // as typed (UTF-8)
  bool json = false;
};

// Parses argv[1..]; `allowed` names the options this subcommand takes ("--htemp", "--programa",
// "--plantilla", "--json").
CliOptions parseOptions(const std::vector<std::string>& args, const std::vector<std::string>& allowed);

}  // namespace vadelux::cli
