// The generator's working folder, and the staging folder in which a run builds its tables before
// they replace the old ones all together.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vadelux::tables {

// C:\HTEMP on Windows. Elsewhere VADELUX_HTEMP if set, else Wine's C:\HTEMP:
// $WINEPREFIX (default ~/.wine) /drive_c/HTEMP. The folder is not created.
std::filesystem::path defaultWorkingFolder();

// The file called `name` in `folder`, found without regard to letter case (a Linux folder may hold
// soluc.dbf). An exact match wins over others.
std::optional<std::filesystem::path> findIgnoringCase(const std::filesystem::path& folder,
                                                      std::string_view name);

// Deletes every file in `folder` whose name equals `name` without regard to letter case.
// Throws vadelux::Error (Spanish, naming the file) when such a file cannot be deleted.
void removeIgnoringCase(const std::filesystem::path& folder, std::string_view name);

// The folder of the running executable, where NIVELEX.DBF, RAYUELA.chm and Horvane.ini live.
// Throws vadelux::Error when it cannot be found.
std::filesystem::path programFolder();

// A fresh folder inside the working folder where a run writes its tables. Destroying it without
// publish() removes it and everything in it, so a failed run leaves the working tables as they were.
class Staging {
 public:
  // Throws vadelux::Error (Spanish) when the working folder is missing or cannot be written.
  explicit Staging(const std::filesystem::path& workingFolder);
  Staging(const Staging&) = delete;
  Staging& operator=(const Staging&) = delete;
  ~Staging();

  const std::filesystem::path& folder() const { return folder_; }

  // Deletes `obsolete` (names, any letter case) from the working folder, then moves every file of the
  // staging folder over the file of the same name there (any letter case), and removes stale .MDX files
  // of published tables that now have none. Then the staging folder is removed.
  void publish(const std::vector<std::string>& obsolete);

 private:
  std::filesystem::path workingFolder_;
  std::filesystem::path folder_;
  int folderLock_ = -1;  // the staging folder, held (flock) while this run lives
  bool published_ = false;
};

// Removes staging folders that runs which died on the way left in `workingFolder`: those that no live
// run holds and that are older than `minimumAge`. Returns how many it removed.
int removeAbandonedStaging(const std::filesystem::path& workingFolder, std::chrono::seconds minimumAge);

}  // namespace vadelux::tables
