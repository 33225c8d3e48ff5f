#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>
#include <system_error>

#include "common/Error.h"
#include "common/Text.h"
#include "tables/FileDescriptor.h"
#include "tables/FileErrors.h"
#include "tables/TableLock.h"
#include "tables/WorkingFolder.h"

namespace vadelux::tables {

namespace {

std::vector<std::filesystem::path> stagedFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Files of `folder` whose name equals `name` with letter case ignored, but is not `name` itself.
std::vector<std::filesystem::path> otherSpellings(const std::filesystem::path& folder,
                                                  const std::string& name) {
  std::vector<std::filesystem::path> found;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    const std::string other = it->path().filename().string();
    if (other != name && text::equalsIgnoreCase(text::toWindows1252(other), text::toWindows1252(name)) &&
        !it->is_directory(ec)) {
      found.push_back(it->path());
    }
  }
  return found;
}

bool hasExtension(const std::filesystem::path& file, std::string_view extension) {
  return text::equalsIgnoreCase(file.extension().string(), extension);
}

// The index file of a staged table that has none staged: the old one is deleted on publishing.
std::vector<std::string> staleIndexes(const std::vector<std::filesystem::path>& files) {
  std::vector<std::string> stale;
  for (const auto& file : files) {
    if (!hasExtension(file, ".DBF")) {
      continue;
    }
    const std::string index = file.stem().string() + ".MDX";
    bool staged = false;
    for (const auto& other : files) {
      staged = staged || text::equalsIgnoreCase(other.filename().string(), index);
    }
    if (!staged) {
      stale.push_back(index);
    }
  }
  return stale;
}

// Moves `from` to `to` unless `to` exists; false when it does. Two runs that find a table missing must
// not both put theirs in its place.
bool moveIfAbsent(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  int error = errno;
  if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP) {
    // A file system without that kind of rename: a hard link never replaces either.
    if (::link(from.c_str(), to.c_str()) == 0) {
      ::unlink(from.c_str());
      return true;
    }
    error = errno;
  }
  if (error == EEXIST) {
    return false;
  }
  throw vadelux::Error("No se puede colocar " + to.filename().string() + " en la carpeta de trabajo " +
                       to.parent_path().string() + ": " +
                       reasonOf(std::error_code(error, std::generic_category())));
}

// The staged tables are written without a sync each; before any of them replaces a table they all reach
// the disk together, so a crash never leaves a half-written table in place of a good one. One syncfs
// of the staging folder's file system costs one flush of the disk instead of one per file; when it
// reports an error, which may belong to another file of that file system, each staged file is synced
// on its own and only an error of ours stops the run.
void syncStagedFiles(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& files) {
  const FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0 && ::syncfs(dir.get()) == 0) {
    return;
  }
  for (const auto& file : files) {
    const FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0 || ::fdatasync(fd.get()) != 0) {
      throw vadelux::Error("No se puede guardar " + file.filename().string() +
                           " en el disco: " + reasonOf(std::error_code(errno, std::generic_category())));
    }
  }
}

// Makes the renames in the working folder durable. They are done and seen by every program already, so
// a failure here is not reported as a failed run.
void syncFolder(const std::filesystem::path& folder) {
  const FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) {
    ::fsync(dir.get());
  }
}

}  // namespace

Staging::Staging(const std::filesystem::path& workingFolder) : workingFolder_(workingFolder) {
  std::error_code ec;
  if (!std::filesystem::is_directory(workingFolder, ec)) {
    throw vadelux::Error("No existe la carpeta de trabajo " + workingFolder.string());
  }
  // Read-only is judged by the permission bits, so that the superuser does not write there either.
  struct stat st {};
  if (::stat(workingFolder.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    throw vadelux::Error("No se puede escribir en la carpeta de trabajo " + workingFolder.string() + ": " +
                         reasonOf(std::error_code(EACCES, std::generic_category())));
  }
  // A hidden folder of our own beside the tables: renaming out of it stays within one file system.
  std::string pattern = (workingFolder / ".vadelux-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    const std::error_code error(errno, std::generic_category());
    throw vadelux::Error("No se puede escribir en la carpeta de trabajo " + workingFolder.string() + ": " +
                         reasonOf(error));
  }
  folder_ = pattern;
  // Held while this run lives, so that a later run can tell a live staging folder from an abandoned one.
  folderLock_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderLock_ >= 0) {
    ::flock(folderLock_, LOCK_EX | LOCK_NB);
  }
  // A run that died (the program killed, the display gone) leaves its folder behind; a later run tidies up.
  removeAbandonedStaging(workingFolder, std::chrono::seconds(60));
}

Staging::~Staging() {
  if (!published_) {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  if (folderLock_ >= 0) {
    ::close(folderLock_);
  }
}

int removeAbandonedStaging(const std::filesystem::path& workingFolder, std::chrono::seconds minimumAge) {
  int removed = 0;
  std::error_code ec;
  std::filesystem::directory_iterator it(workingFolder, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    const std::filesystem::path folder = it->path();
    if (folder.filename().string().rfind(".vadelux-", 0) != 0 || !it->is_directory(ec)) {
      continue;
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || std::time(nullptr) - st.st_mtime < minimumAge.count()) {
      continue;  // a run that has only just started may not hold its folder yet
    }
    const FileDescriptor held(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (held.get() < 0 || ::flock(held.get(), LOCK_EX | LOCK_NB) != 0) {
      continue;  // a live run holds it
    }
    std::error_code removeError;
    std::filesystem::remove_all(folder, removeError);
    removed += removeError ? 0 : 1;
  }
  return removed;
}

void Staging::publish(const std::vector<std::string>& obsolete) {
  if (published_) {
    throw std::logic_error("staging folder already published");
  }
  std::vector<std::filesystem::path> files;
  try {
    files = stagedFiles(folder_);
  } catch (const std::filesystem::filesystem_error& error) {
    throw vadelux::Error("No se puede leer la carpeta provisional " + folder_.string() + ": " +
                         reasonOf(error.code()));
  }
  syncStagedFiles(folder_, files);
  // Every file that publishing replaces or deletes, and every new one, is held by this run alone before
  // anything changes: a run or a program that holds one of them stops this one here.
  std::vector<std::string> touched = obsolete;
  for (const auto& file : files) {
    touched.push_back(file.filename().string());
  }
  const std::vector<std::string> stale = staleIndexes(files);
  touched.insert(touched.end(), stale.begin(), stale.end());
  std::vector<TableLock> locks;
  const auto hold = [&](const std::filesystem::path& file) {
    if (auto lock = TableLock::tryLock(file, TableLock::Mode::Exclusive)) {
      locks.push_back(std::move(*lock));
      return true;
    }
    return false;
  };
  for (const auto& file : files) {
    hold(file);
  }
  std::vector<bool> replaces(files.size(), false);
  for (std::size_t i = 0; i < touched.size(); ++i) {
    const bool isStaged = i >= obsolete.size() && i < obsolete.size() + files.size();
    const std::filesystem::path exact = workingFolder_ / touched[i];
    std::error_code ec;
    const auto type = std::filesystem::symlink_status(exact, ec).type();
    // A folder of the name of a new table would stop the move half way; other folders stay as they are.
    const bool present = type != std::filesystem::file_type::not_found &&
                         (isStaged || type != std::filesystem::file_type::directory);
    const bool held = present && hold(exact);
    if (isStaged) {
      replaces[i - obsolete.size()] = held;
    }
    for (const auto& other : otherSpellings(workingFolder_, touched[i])) {
      hold(other);
    }
  }

  // New tables go in first, each only where no file has appeared since: otherwise the run takes back
  // what it placed and stops, so that two runs never leave a mix of their tables.
  std::vector<std::size_t> placed;
  const auto takeBack = [&] {
    for (const std::size_t j : placed) {
      std::error_code ec;
      std::filesystem::rename(workingFolder_ / files[j].filename(), files[j], ec);
    }
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (replaces[i]) {
      continue;
    }
    const std::filesystem::path target = workingFolder_ / files[i].filename();
    bool moved = false;
    try {
      moved = moveIfAbsent(files[i], target);
    } catch (const vadelux::Error&) {
      takeBack();
      throw;
    }
    if (!moved) {
      takeBack();
      throw TableInUseError(TableLock::inUseMessage(target));
    }
    placed.push_back(i);
  }

  for (const std::string& name : obsolete) {
    removeIgnoringCase(workingFolder_, name);
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    const auto& file = files[i];
    const std::string name = file.filename().string();
    const std::filesystem::path target = workingFolder_ / name;
    // Other spellings of the name go first; the exact one is replaced by the rename itself.
    std::error_code ec;
    for (const auto& other : otherSpellings(workingFolder_, name)) {
      std::filesystem::remove(other, ec);
      if (ec) {
        throw vadelux::Error("No se puede borrar " + other.string() + ": " + reasonOf(ec));
      }
    }
    if (!replaces[i]) {
      continue;  // already placed
    }
    std::filesystem::rename(file, target, ec);
    if (ec) {
      throw vadelux::Error("No se puede colocar " + name + " en la carpeta de trabajo " +
                           workingFolder_.string() + ": " + reasonOf(ec));
    }
  }
  // A table published without an index must not keep the index of the table it replaced.
  for (const std::string& index : stale) {
    removeIgnoringCase(workingFolder_, index);
  }
  syncFolder(workingFolder_);
  published_ = true;
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

}  // namespace vadelux::tables
