#include "tables/TableLock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "tables/FileDescriptor.h"
#include "tables/FileErrors.h"

namespace vadelux::tables {
namespace {

// A file replaced under its name between opening and locking is opened again; a name that keeps
// changing hands is taken for one in use.
constexpr int kAttempts = 16;

std::string nameOf(const std::filesystem::path& file) {
  return file.filename().string();
}

[[noreturn]] void cannotOpen(const std::filesystem::path& file, const std::string& reason) {
  throw vadelux::Error("No se puede abrir la tabla " + file.string() + ": " + reason);
}

bool hasWriteBit(const struct stat& st) {
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

enum class Outcome { Locked, Conflict, NoLocks };

Outcome lockWhole(int fd, TableLock::Mode mode) {
  struct flock request {};
  request.l_type = mode == TableLock::Mode::Exclusive ? F_WRLCK : F_RDLCK;
  request.l_whence = SEEK_SET;
  request.l_start = 0;
  request.l_len = 0;  // to the end of the file, however long it grows
  while (::fcntl(fd, F_OFD_SETLK, &request) != 0) {
    switch (errno) {
      case EINTR:
        continue;
      case EAGAIN:
      case EACCES:
        return Outcome::Conflict;
      default:  // ENOLCK, EINVAL, EOPNOTSUPP: a file system without locks
        return Outcome::NoLocks;
    }
  }
  return Outcome::Locked;
}

}  // namespace

std::string TableLock::inUseMessage(const std::filesystem::path& file) {
  return "La tabla " + nameOf(file) +
         " est\xC3\xA1 en uso por otro programa. Ci\xC3\xA9rrelo y vuelva a intentarlo.";
}

std::optional<TableLock> TableLock::tryLock(const std::filesystem::path& file, Mode mode) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    // A write lock needs a descriptor open for writing; opening does not change the file.
    const int flags = (mode == Mode::Exclusive ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY;
    struct stat before {};
    if (::stat(file.c_str(), &before) != 0) {
      if (errno == ENOENT) {
        return std::nullopt;
      }
      cannotOpen(file, reasonOf(std::error_code(errno, std::generic_category())));
    }
    if (S_ISDIR(before.st_mode)) {
      cannotOpen(file, "es una carpeta");
    }
    if (!S_ISREG(before.st_mode)) {
      cannotOpen(file, "no es un archivo normal");
    }
    if (mode == Mode::Exclusive && !hasWriteBit(before)) {
      throw vadelux::Error("La tabla " + nameOf(file) +
                           " es de solo lectura: no se puede reemplazar ni borrar. Qu\xC3\xADtele la "
                           "protecci\xC3\xB3n contra escritura y vuelva a intentarlo.");
    }
    FileDescriptor fd(::open(file.c_str(), flags));
    if (fd.get() < 0) {
      if (errno == ENOENT) {
        continue;  // gone since stat(): look again
      }
      cannotOpen(file, reasonOf(std::error_code(errno, std::generic_category())));
    }
    const Outcome outcome = lockWhole(fd.get(), mode);
    if (outcome == Outcome::Conflict) {
      throw TableInUseError(inUseMessage(file));
    }
    // The name must still lead to the file that is now locked: a holder that replaced it meanwhile
    // has let go of the old one.
    struct stat held {};
    struct stat now {};
    if (::fstat(fd.get(), &held) != 0) {
      cannotOpen(file, reasonOf(std::error_code(errno, std::generic_category())));
    }
    if (::stat(file.c_str(), &now) != 0) {
      if (errno == ENOENT) {
        return std::nullopt;
      }
      cannotOpen(file, reasonOf(std::error_code(errno, std::generic_category())));
    }
    if (now.st_dev != held.st_dev || now.st_ino != held.st_ino) {
      continue;
    }
    if (mode == Mode::Exclusive && !hasWriteBit(held)) {
      continue;  // made read-only since the first look: judged again from the top
    }
    return TableLock(file, fd.release(), mode);
  }
  throw TableInUseError(inUseMessage(file));
}

TableLock::TableLock(std::filesystem::path file, int fd, Mode mode)
    : file_(std::move(file)), fd_(fd), mode_(mode) {}

TableLock::TableLock(TableLock&& other) noexcept
    : file_(std::move(other.file_)), fd_(std::exchange(other.fd_, -1)), mode_(other.mode_) {}

TableLock& TableLock::operator=(TableLock&& other) noexcept {
  if (this != &other) {
    release();
    file_ = std::move(other.file_);
    fd_ = std::exchange(other.fd_, -1);
    mode_ = other.mode_;
  }
  return *this;
}

TableLock::~TableLock() {
  release();
}

void TableLock::release() noexcept {
  if (fd_ >= 0) {
    ::close(fd_);  // closing the last descriptor of the description drops its lock
    fd_ = -1;
  }
}

}  // namespace vadelux::tables
