#include "bench/ChildProcess.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "common/Error.h"

namespace vadelux::bench {
namespace {

// A temporary file for what the child writes, removed when done.
class TempOutputFile {
 public:
  TempOutputFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vadelux-bench-XXXXXX").string();
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
      throw Error("No se puede crear un archivo temporal en " +
                  std::filesystem::temp_directory_path().string());
    }
    path_ = pattern;
  }
  TempOutputFile(const TempOutputFile&) = delete;
  TempOutputFile& operator=(const TempOutputFile&) = delete;
  ~TempOutputFile() {
    ::close(fd_);
    ::unlink(path_.c_str());
  }
  int fd() const { return fd_; }
  std::string read() const {
    std::string text;
    char buffer[4096];
    ::lseek(fd_, 0, SEEK_SET);
    for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;) {
      text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
  }

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace

ChildRun runChild(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) {
    args.push_back(const_cast<char*>(a.c_str()));
  }
  args.push_back(nullptr);
  TempOutputFile output;
  TempOutputFile errors;

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid < 0) {
    throw Error("No se puede crear un proceso para " + argv.front());
  }
  if (pid == 0) {
    ::dup2(output.fd(), STDOUT_FILENO);
    ::dup2(errors.fd(), STDERR_FILENO);
    ::execvp(args[0], args.data());
    std::fprintf(stderr, "no se puede ejecutar %s\n", args[0]);
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  while (::wait4(pid, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      throw Error("No se puede esperar al proceso de " + argv.front());
    }
  }
  const auto end = std::chrono::steady_clock::now();

  ChildRun run;
  run.seconds = std::chrono::duration<double>(end - start).count();
  run.peakRssKiB = usage.ru_maxrss;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.output = output.read();
  run.errorOutput = errors.read();
  return run;
}

}  // namespace vadelux::bench
