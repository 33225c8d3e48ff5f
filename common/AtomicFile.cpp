#include "common/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/Error.h"

namespace vadelux {
namespace {

// Closes the descriptor and removes the temporary file unless the write was committed.
class TempFile {
 public:
  TempFile(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
    if (!committed_) {
      ::unlink(path_.c_str());
    }
  }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  bool closeFile() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  void commit() { committed_ = true; }

 private:
  std::string path_;
  int fd_;
  bool committed_ = false;
};

[[noreturn]] void fail(const std::filesystem::path& target, int err) {
  throw Error("No se puede escribir el archivo " + target.string() + ": " + std::strerror(err));
}

}  // namespace

void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  // Read-only is judged by the permission bits, so that it holds for the superuser as well.
  struct stat st {};
  const bool targetExists = ::stat(target.c_str(), &st) == 0;
  if (targetExists && (S_ISDIR(st.st_mode) || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)) {
    fail(target, S_ISDIR(st.st_mode) ? EISDIR : EACCES);
  }
  struct stat folderSt {};
  if (::stat(folder.c_str(), &folderSt) == 0 && (folderSt.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    fail(target, EACCES);
  }
  std::string pattern = (folder / ("." + target.filename().string() + ".tmpXXXXXX")).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    fail(target, errno);
  }
  TempFile temp(pattern, fd);

  // Keep the permissions of the file being replaced; a new file gets the usual ones.
  ::fchmod(temp.fd(), targetExists ? (st.st_mode & 07777) : 0644);

  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(temp.fd(), bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      fail(target, errno);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(temp.fd()) != 0 || !temp.closeFile()) {
    fail(target, errno);
  }
  if (std::rename(temp.path().c_str(), target.c_str()) != 0) {
    fail(target, errno);
  }
  temp.commit();
}

}  // namespace vadelux
