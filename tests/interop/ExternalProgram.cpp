#include "ExternalProgram.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace vadelux::interop {
namespace {

class SpawnActions {
 public:
  SpawnActions() { posix_spawn_file_actions_init(&actions_); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_{};
};

}  // namespace

ProgramResult runProgram(const std::vector<std::string>& args, const std::filesystem::path& input,
                         int timeoutSeconds) {
  ScratchFolder capture("vadelux-run");
  const std::string outFile = (capture.path() / "out").string();
  const std::string errFile = (capture.path() / "err").string();
  const std::string inFile = input.string();

  // coreutils' timeout ends a program that hangs and exits 124.
  std::vector<std::string> full{"timeout", "--kill-after=10", std::to_string(timeoutSeconds)};
  full.insert(full.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : full) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);

  SpawnActions actions;
  posix_spawn_file_actions_addopen(actions.get(), 0, inFile.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(actions.get(), 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(actions.get(), 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], actions.get(), nullptr, argv.data(), environ);
  if (spawned != 0) {
    throw std::runtime_error("cannot start " + args.front() + ": " + std::strerror(spawned));
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      throw std::runtime_error("waitpid failed for " + args.front());
    }
  }
  ProgramResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = readFile(outFile);
  result.err = readFile(errFile);
  return result;
}

ScratchFolder::ScratchFolder(const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("mkdtemp failed for " + pattern);
  }
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read " + file.string());
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void writeFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + file.string());
  }
}

}  // namespace vadelux::interop
