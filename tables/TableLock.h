// Advisory locks on working-table files, so that two runs, or a run and another program, never see or
// leave a half-replaced set of tables. The lock covers the whole file and belongs to the open file
// description (fcntl F_OFD_SETLK): it conflicts with the locks of other processes, of other descriptors
// of this process and of other threads, and with the byte-range locks that Wine takes for a Windows
// program on the same file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "common/Error.h"

namespace vadelux::tables {

// Another holder has a conflicting lock on a table. The message names the table and asks the user to
// close the other program.
class TableInUseError : public vadelux::Error {
 public:
  using vadelux::Error::Error;
};

class TableLock {
 public:
  enum class Mode {
    Shared,     // while reading: others may read, nobody may replace
    Exclusive,  // before replacing or deleting: nobody else may hold the file
  };

  // "La tabla NAME está en uso por otro programa. Ciérrelo y vuelva a intentarlo."
  static std::string inUseMessage(const std::filesystem::path& file);

  // Locks `file` without waiting. Nothing when there is no such file (or it went away meanwhile). The
  // lock is taken on the file that the name leads to once the lock is held, so a file replaced under
  // the name while locking is locked afresh. Throws TableInUseError when another holder's lock
  // conflicts, and vadelux::Error when the file cannot be opened or, for Mode::Exclusive, has no write
  // permission bit (judged by the bits, so that it holds for the superuser too). On a file system that
  // has no locks at all the file is held without a lock.
  static std::optional<TableLock> tryLock(const std::filesystem::path& file, Mode mode);

  TableLock(TableLock&& other) noexcept;
  TableLock& operator=(TableLock&& other) noexcept;
  TableLock(const TableLock&) = delete;
  TableLock& operator=(const TableLock&) = delete;
  ~TableLock();  // releases the lock

  const std::filesystem::path& file() const { return file_; }
  Mode mode() const { return mode_; }

 private:
  TableLock(std::filesystem::path file, int fd, Mode mode);
  void release() noexcept;

  std::filesystem::path file_;
  int fd_ = -1;
  Mode mode_ = Mode::Shared;
};

}  // namespace vadelux::tables
