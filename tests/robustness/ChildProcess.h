// Runs a program as a child process and tells how it ended, what it printed and how much memory it took.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vadelux::testing {

struct ProcessResult {
  int exitCode = -1;  // -1 when the process ended by a signal or could not start
  std::string out;
  std::string err;
  long peakMemoryKb = 0;  // the program's largest resident set
};

// A started child; wait() collects it. Its output goes to files in `scratch`, which must not be a folder
// under test.
class ChildProcess {
 public:
  ChildProcess(const std::vector<std::string>& args, const std::filesystem::path& scratch);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();  // waits for a child that was not collected

  ProcessResult wait();

 private:
  int pid_ = -1;
  std::filesystem::path outFile_;
  std::filesystem::path errFile_;
  std::filesystem::path peakFile_;
};

// Starts the program and waits for it.
ProcessResult runProcess(const std::vector<std::string>& args, const std::filesystem::path& scratch);

}  // namespace vadelux::testing
