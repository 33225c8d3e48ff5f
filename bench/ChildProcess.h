// Runs a program as a fresh child process and measures it: wall time and peak resident memory.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vadelux::bench {

struct ChildRun {
  double seconds = 0;       // wall time from fork to exit
  long peakRssKiB = 0;      // ru_maxrss of the child alone
  int exitCode = -1;        // -1 when it did not exit normally
  std::string output;       // what it wrote on stdout
  std::string errorOutput;  // what it wrote on stderr
};

// Runs argv[0] (looked up in PATH when it has no slash) with stdout and stderr captured. The caller
// should be small when it calls this: a child's peak memory counts the memory it was forked with.
ChildRun runChild(const std::vector<std::string>& argv);

}  // namespace vadelux::bench
