#include "tables/WorkingFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "common/Error.h"
#include "common/Text.h"
#include "tables/FileErrors.h"

namespace vadelux::tables {

namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::filesystem::path homeFolder() {
  std::string home = environment("HOME");
  if (home.empty()) {
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
      home = entry->pw_dir;
    }
  }
  return home;
}

// File names are compared as Windows-1252 text with letter case folded, accented letters included.
bool sameNameIgnoringCase(const std::filesystem::path& file, std::string_view name) {
  return text::equalsIgnoreCase(text::toWindows1252(file.filename().string()), text::toWindows1252(name));
}

std::vector<std::filesystem::path> matchesIgnoringCase(const std::filesystem::path& folder,
                                                       std::string_view name) {
  std::vector<std::filesystem::path> found;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (sameNameIgnoringCase(it->path(), name) && !it->is_directory(ec)) {
      found.push_back(it->path());
    }
  }
  std::sort(found.begin(), found.end());  // the same choice whatever the folder's order
  return found;
}

}  // namespace

std::filesystem::path defaultWorkingFolder() {
#ifdef _WIN32
  return std::filesystem::path("C:\\HTEMP");
#else
  if (const std::string chosen = environment("VADELUX_HTEMP"); !chosen.empty()) {
    return chosen;
  }
  std::filesystem::path prefix = environment("WINEPREFIX");
  if (prefix.empty()) {
    prefix = homeFolder() / ".wine";
  }
  return prefix / "drive_c" / "HTEMP";
#endif
}

std::optional<std::filesystem::path> findIgnoringCase(const std::filesystem::path& folder,
                                                      std::string_view name) {
  std::error_code ec;
  const std::filesystem::path exact = folder / name;
  if (std::filesystem::exists(exact, ec) && !std::filesystem::is_directory(exact, ec)) {
    return exact;
  }
  const auto found = matchesIgnoringCase(folder, name);
  if (found.empty()) {
    return std::nullopt;
  }
  return found.front();
}

void removeIgnoringCase(const std::filesystem::path& folder, std::string_view name) {
  for (const auto& file : matchesIgnoringCase(folder, name)) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
    if (ec) {
      throw vadelux::Error("No se puede borrar " + file.string() + ": " + reasonOf(ec));
    }
  }
}

std::filesystem::path programFolder() {
  std::error_code ec;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || executable.empty()) {
    throw vadelux::Error("No se puede saber en qué carpeta está el programa");
  }
  return executable.parent_path();
}

}  // namespace vadelux::tables
