// Helpers of the tables tests: temporary folders, whole files, and external programs.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vadelux::tables::testing {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder();
  // Inside `base` instead (for instance a memory file system for tests that write many files).
  explicit TempFolder(const std::filesystem::path& base);
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string readBytes(const std::filesystem::path& file);
void writeBytes(const std::filesystem::path& file, std::string_view bytes);

struct ProgramResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs a program (no shell) with extra environment entries NAME=VALUE, and collects its output.
ProgramResult runProgram(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment = {});

std::vector<std::string> splitLines(std::string_view text);

// Every file in a folder (not in subfolders) with its bytes, sorted by name.
std::vector<std::pair<std::string, std::string>> snapshot(const std::filesystem::path& folder);

}  // namespace vadelux::tables::testing
