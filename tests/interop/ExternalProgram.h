// Runs an external program to completion and captures what it prints.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vadelux::interop {

struct ProgramResult {
  int exitCode = -1;  // the program's exit status; 128 + signal when killed; 124 when it timed out
  std::string out;
  std::string err;
};

// Runs args[0] (looked up on PATH) with the arguments that follow, standard input read from `input`,
// and waits for it, at most `timeoutSeconds`.
ProgramResult runProgram(const std::vector<std::string>& args,
                         const std::filesystem::path& input = "/dev/null", int timeoutSeconds = 300);

// A fresh, empty folder that is removed with everything in it when the object goes.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix = "vadelux-interop");
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& bytes);

}  // namespace vadelux::interop
