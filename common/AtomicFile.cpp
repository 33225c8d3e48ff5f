#include "common/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "common/Error.h"

namespace vadelux {
namespace {

// Bytes gathered before one write() call: large enough that a big file takes few system calls.
constexpr std::size_t kBufferSize = 256 * 1024;
// Bytes of a file to be synced after which their writing to the disk is started.
constexpr std::uint64_t kWritebackStep = 8 * 1024 * 1024;

// The system's reason in the user's words: the C library's own texts are English.
std::string reasonOf(int err) {
  switch (err) {
    case EACCES:
    case EPERM:
      return "no hay permiso";
    case EISDIR:
      return "es una carpeta";
    case EROFS:
      return "el disco es de solo lectura";
    case ENOSPC:
      return "no queda espacio en el disco";
    case EDQUOT:
      return "se ha superado la cuota de disco";
    case ENOENT:
      return "no existe la carpeta";
    case ENOTDIR:
      return "parte de la ruta no es una carpeta";
    case ENAMETOOLONG:
      return "el nombre es demasiado largo";
    default:
      return "error del sistema " + std::to_string(err) + " (" + std::strerror(err) + ")";
  }
}

[[noreturn]] void cannotWrite(const std::filesystem::path& target, int err) {
  throw Error("No se puede escribir el archivo " + target.string() + ": " + reasonOf(err));
}

bool writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(const std::filesystem::path& target, FileSync sync)
    : target_(target), sync_(sync) {
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  // Read-only is judged by the permission bits, so that it holds for the superuser as well.
  struct stat st {};
  const bool targetExists = ::stat(target.c_str(), &st) == 0;
  if (targetExists && (S_ISDIR(st.st_mode) || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)) {
    cannotWrite(target, S_ISDIR(st.st_mode) ? EISDIR : EACCES);
  }
  struct stat folderSt {};
  if (::stat(folder.c_str(), &folderSt) == 0 && (folderSt.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    cannotWrite(target, EACCES);
  }
  std::string hidden = ".";  // built by appending: GCC 12 misreads "." + string at -O3 as an overlap
  hidden += target.filename().string();
  hidden += ".tmpXXXXXX";
  std::string pattern = (folder / hidden).string();
  fd_ = ::mkstemp(pattern.data());
  if (fd_ < 0) {
    cannotWrite(target, errno);
  }
  tempPath_ = std::move(pattern);
  // Keep the permissions of the file being replaced; a new file gets the usual ones.
  ::fchmod(fd_, targetExists ? (st.st_mode & 07777) : 0644);
  buffer_.reserve(kBufferSize);
}

AtomicFileWriter::AtomicFileWriter(AtomicFileWriter&& other) noexcept
    : target_(std::move(other.target_)),
      tempPath_(std::exchange(other.tempPath_, std::string())),
      fd_(std::exchange(other.fd_, -1)),
      sync_(other.sync_),
      buffer_(std::move(other.buffer_)),
      written_(other.written_),
      started_(other.started_) {}

AtomicFileWriter& AtomicFileWriter::operator=(AtomicFileWriter&& other) noexcept {
  if (this != &other) {
    discard();
    target_ = std::move(other.target_);
    tempPath_ = std::exchange(other.tempPath_, std::string());
    fd_ = std::exchange(other.fd_, -1);
    sync_ = other.sync_;
    buffer_ = std::move(other.buffer_);
    written_ = other.written_;
    started_ = other.started_;
  }
  return *this;
}

AtomicFileWriter::~AtomicFileWriter() {
  discard();
}

void AtomicFileWriter::discard() noexcept {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!tempPath_.empty()) {
    ::unlink(tempPath_.c_str());
    tempPath_.clear();
  }
}

void AtomicFileWriter::fail(int err) {
  discard();
  cannotWrite(target_, err);
}

void AtomicFileWriter::flush() {
  put(buffer_);
  buffer_.clear();
}

void AtomicFileWriter::put(std::string_view bytes) {
  if (bytes.empty()) {
    return;
  }
  if (!writeAll(fd_, bytes.data(), bytes.size())) {
    fail(errno);
  }
  written_ += bytes.size();
  // A large file that will be synced starts on its way to the disk while the rest is made, so that the
  // sync at the end waits for little. This is only a request; the sync is what guarantees.
  if (sync_ == FileSync::BeforeRename && written_ - started_ >= kWritebackStep) {
    ::sync_file_range(fd_, static_cast<off_t>(started_), static_cast<off_t>(written_ - started_),
                      SYNC_FILE_RANGE_WRITE);
    started_ = written_;
  }
}

void AtomicFileWriter::write(std::string_view bytes) {
  if (fd_ < 0) {
    cannotWrite(target_, EBADF);  // already committed, or given up after a failure
  }
  if (buffer_.size() + bytes.size() <= kBufferSize) {
    buffer_.append(bytes);
    return;
  }
  flush();
  if (bytes.size() >= kBufferSize) {
    put(bytes);
  } else {
    buffer_.append(bytes);
  }
}

void AtomicFileWriter::commit() {
  if (fd_ < 0) {
    cannotWrite(target_, EBADF);
  }
  flush();
  if (sync_ == FileSync::BeforeRename && ::fsync(fd_) != 0) {
    fail(errno);
  }
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) {
    fail(errno);
  }
  if (std::rename(tempPath_.c_str(), target_.c_str()) != 0) {
    fail(errno);
  }
  tempPath_.clear();
}

void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes, FileSync sync) {
  AtomicFileWriter file(target, sync);
  file.write(bytes);
  file.commit();
}

}  // namespace vadelux
