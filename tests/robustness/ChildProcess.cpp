#include "tests/robustness/ChildProcess.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "tests/support/TempFolder.h"

namespace vadelux::testing {
namespace {

// A new empty file of its own in `folder`.
std::filesystem::path freshFile(const std::filesystem::path& folder, const std::string& stem) {
  std::string pattern = (folder / (stem + "-XXXXXX")).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    throw std::runtime_error("mkstemp failed in " + folder.string());
  }
  ::close(fd);
  return pattern;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& args, const std::filesystem::path& scratch) {
  outFile_ = freshFile(scratch, "salida");
  errFile_ = freshFile(scratch, "errores");
  peakFile_ = freshFile(scratch, "memoria");
  // Started through a small program of its own, whose child's peak memory is the program's alone.
  std::vector<std::string> command = {VADELUX_MEASURE_MEMORY, peakFile_.string()};
  command.insert(command.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (const auto& a : command) {
    argv.push_back(const_cast<char*>(a.c_str()));
  }
  argv.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ < 0) {
    throw std::runtime_error("fork failed");
  }
  if (pid_ == 0) {
    const int out = ::open(outFile_.c_str(), O_WRONLY | O_TRUNC);
    const int err = ::open(errFile_.c_str(), O_WRONLY | O_TRUNC);
    if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) {
      ::_exit(127);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
}

ProcessResult ChildProcess::wait() {
  ProcessResult result;
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0) {
    if (errno != EINTR) {
      throw std::runtime_error("wait4 failed");
    }
  }
  pid_ = -1;
  result.exitCode = WIFEXITED(status) && WEXITSTATUS(status) < 128 ? WEXITSTATUS(status) : -1;
  const std::string peak = readBytes(peakFile_);
  result.peakMemoryKb = peak.empty() ? -1 : std::stol(peak);
  result.out = readBytes(outFile_);
  result.err = readBytes(errFile_);
  std::filesystem::remove(outFile_);
  std::filesystem::remove(errFile_);
  std::filesystem::remove(peakFile_);
  return result;
}

ProcessResult runProcess(const std::vector<std::string>& args, const std::filesystem::path& scratch) {
  ChildProcess child(args, scratch);
  return child.wait();
}

}  // namespace vadelux::testing
