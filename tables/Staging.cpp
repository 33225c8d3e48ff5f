#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

#include "common/Error.h"
#include "common/Text.h"
#include "tables/FileErrors.h"
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

}  // namespace

Staging::Staging(const std::filesystem::path& workingFolder) : workingFolder_(workingFolder) {
  std::error_code ec;
  if (!std::filesystem::is_directory(workingFolder, ec)) {
    throw vadelux::Error("No existe la carpeta de trabajo " + workingFolder.string());
  }
  // A hidden folder of our own beside the tables: renaming out of it stays within one file system.
  std::string pattern = (workingFolder / ".vadelux-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    const std::error_code error(errno, std::generic_category());
    throw vadelux::Error("No se puede escribir en la carpeta de trabajo " + workingFolder.string() + ": " +
                         reasonOf(error));
  }
  folder_ = pattern;
}

Staging::~Staging() {
  if (!published_) {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
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
  for (const std::string& name : obsolete) {
    removeIgnoringCase(workingFolder_, name);
  }
  for (const auto& file : files) {
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
    std::filesystem::rename(file, target, ec);
    if (ec) {
      throw vadelux::Error("No se puede colocar " + name + " en la carpeta de trabajo " +
                           workingFolder_.string() + ": " + reasonOf(ec));
    }
  }
  // A table published without an index must not keep the index of the table it replaced.
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
      removeIgnoringCase(workingFolder_, index);
    }
  }
  published_ = true;
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

}  // namespace vadelux::tables
