#include <gtest/gtest.h>

#include <utime.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "TablesTestSupport.h"
#include "common/Error.h"
#include "tables/DbfTable.h"
#include "tables/DbfWriter.h"
#include "tables/WorkingFolder.h"
#include "tables/WorkingLayouts.h"

namespace vadelux::tables {
namespace {

using testing::readBytes;
using testing::snapshot;
using testing::TempFolder;
using testing::writeBytes;

// Sets or unsets environment variables for one scope.
class EnvironmentGuard {
 public:
  ~EnvironmentGuard() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  void set(const std::string& name, const char* value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value) {
      setenv(name.c_str(), value, 1);
    } else {
      unsetenv(name.c_str());
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

struct EnvironmentCase {
  const char* htemp;
  const char* winePrefix;
  const char* home;
  const char* expected;
};

TEST(working_folder_test, default_folder_follows_the_environment) {
  const std::vector<EnvironmentCase> cases = {
      {"/srv/htemp", "/opt/wine", "/home/ana", "/srv/htemp"},
      {nullptr, "/opt/wine", "/home/ana", "/opt/wine/drive_c/HTEMP"},
      {"", "", "/home/ana", "/home/ana/.wine/drive_c/HTEMP"},
      {nullptr, nullptr, "/home/luis", "/home/luis/.wine/drive_c/HTEMP"},
  };
  for (const EnvironmentCase& c : cases) {
    SCOPED_TRACE(c.expected);
    EnvironmentGuard guard;
    guard.set("VADELUX_HTEMP", c.htemp);
    guard.set("WINEPREFIX", c.winePrefix);
    guard.set("HOME", c.home);
    EXPECT_EQ(defaultWorkingFolder(), std::filesystem::path(c.expected));
  }
}

TEST(working_folder_test, files_are_found_and_removed_without_regard_to_letter_case) {
  TempFolder folder;
  for (const char* name : {"soluc.dbf", "Proft.dbf", "PROFT.DBF", "proft.DBF", "PROFT.MDX", "Ñandú.dbf"}) {
    writeBytes(folder / name, name);
  }
  std::filesystem::create_directory(folder / "AULAT.DBF");
  EXPECT_EQ(findIgnoringCase(folder.path(), "SOLUC.DBF"), folder / "soluc.dbf");
  EXPECT_EQ(findIgnoringCase(folder.path(), "proft.DBF"), folder / "proft.DBF");  // the exact name wins
  EXPECT_EQ(findIgnoringCase(folder.path(), "ñANDÚ.DBF"), folder / "Ñandú.dbf");
  EXPECT_EQ(findIgnoringCase(folder.path(), "AULAT.DBF"), std::nullopt);  // a folder is no table
  EXPECT_EQ(findIgnoringCase(folder.path(), "CURSOST.DBF"), std::nullopt);
  EXPECT_EQ(findIgnoringCase(folder / "missing", "SOLUC.DBF"), std::nullopt);

  removeIgnoringCase(folder.path(), "PROFT.dbf");
  removeIgnoringCase(folder.path(), "JORNADAS.DBF");  // absent: nothing happens
  std::vector<std::string> left;
  for (const auto& [name, bytes] : snapshot(folder.path())) {
    left.push_back(name);
  }
  EXPECT_EQ(left, (std::vector<std::string>{"AULAT.DBF", "PROFT.MDX", "soluc.dbf", "Ñandú.dbf"}));
}

TEST(working_folder_test, program_folder_is_the_folder_of_the_running_executable) {
  EXPECT_TRUE(std::filesystem::is_regular_file(programFolder() / "tables_test"));
}

std::string errorOf(auto&& action) {
  try {
    action();
  } catch (const vadelux::Error& error) {
    return error.what();
  }
  return "no error";
}

TEST(staging_test, needs_a_working_folder_that_exists_and_can_be_written) {
  TempFolder folder;
  const auto missing = folder / "HTEMP";
  EXPECT_EQ(errorOf([&] { Staging staging(missing); }),
            "No existe la carpeta de trabajo " + missing.string());
  EXPECT_FALSE(std::filesystem::exists(missing));  // never created
  // /sys refuses new folders even to root.
  const std::string refused = errorOf([] { Staging staging("/sys"); });
  EXPECT_TRUE(refused.starts_with("No se puede escribir en la carpeta de trabajo /sys: ")) << refused;
}

// A working folder left by an earlier run and by the generator, names in assorted letter case.
void fillOldWorkingFolder(const std::filesystem::path& folder) {
  for (const char* name : {"asignomt.dbf", "ASIGNOMT.MDX", "Jornadas.dbf", "PROFT.DBF", "proft.DBF",
                           "diashorast2.dbf", "DIASHORAST2.MDX", "SOLUC.DBF", "NOTAS.TXT"}) {
    writeBytes(folder / name, std::string("old ") + name);
  }
}

void writeNewTables(const std::filesystem::path& staging) {
  for (const TableLayout* layout : {&layouts::asignomt(), &layouts::proft(), &layouts::diashorast2()}) {
    DbfWriter writer = DbfWriter::create(staging / (layout->name + ".DBF"), *layout);
    writer.append();
    writer.setText(layout->fields[0].name, "new");
    writer.close();
  }
}

TEST(staging_test, publish_replaces_tables_in_any_letter_case_and_drops_obsolete_files) {
  TempFolder working;
  fillOldWorkingFolder(working.path());
  {
    Staging staging(working.path());
    EXPECT_EQ(staging.folder().parent_path(), working.path());
    EXPECT_TRUE(staging.folder().filename().string().starts_with(".vadelux-"));
    writeNewTables(staging.folder());
    staging.publish({"JORNADAS.DBF"});
    EXPECT_FALSE(std::filesystem::exists(staging.folder()));
  }
  std::vector<std::string> names;
  for (const auto& [name, bytes] : snapshot(working.path())) {
    names.push_back(name);
  }
  // Old spellings, the stale ASIGNOMT.MDX and Jornadas.dbf are gone; SOLUC and NOTAS are left alone.
  EXPECT_EQ(names, (std::vector<std::string>{"ASIGNOMT.DBF", "DIASHORAST2.DBF", "DIASHORAST2.MDX",
                                             "NOTAS.TXT", "PROFT.DBF", "SOLUC.DBF"}));
  EXPECT_EQ(readBytes(working / "SOLUC.DBF"), "old SOLUC.DBF");
  for (const char* table : {"ASIGNOMT.DBF", "PROFT.DBF", "DIASHORAST2.DBF"}) {
    const DbfTable read = DbfTable::open(working / table);
    ASSERT_EQ(read.rowCount(), 1u) << table;
    EXPECT_EQ(read.text(0, 0), "new") << table;
  }
  EXPECT_NE(readBytes(working / "DIASHORAST2.MDX"), "old DIASHORAST2.MDX");
}

TEST(staging_test, a_run_that_fails_leaves_the_working_folder_byte_for_byte_as_it_was) {
  TempFolder working;
  fillOldWorkingFolder(working.path());
  const auto before = snapshot(working.path());
  try {
    Staging staging(working.path());
    writeNewTables(staging.folder());
    throw vadelux::Error("fallo a mitad de la conversión");
  } catch (const vadelux::Error&) {
  }
  EXPECT_EQ(snapshot(working.path()), before);
}

TEST(staging_test, a_later_run_removes_folders_that_dead_runs_left_but_not_live_ones) {
  TempFolder working;
  const auto abandoned = [&](const char* name, std::time_t age) {
    const auto folder = working.path() / name;
    std::filesystem::create_directory(folder);
    writeBytes(folder / "ASIGNOMT.DBF", "half a table");
    const ::utimbuf times{std::time(nullptr) - age, std::time(nullptr) - age};
    ::utime(folder.c_str(), &times);
    return folder;
  };
  const auto old = abandoned(".vadelux-muerto", 3600);
  const auto recent = abandoned(".vadelux-reciente", 0);
  writeBytes(working.path() / ".vadelux-archivo", "not a folder");
  std::filesystem::create_directory(working.path() / "OTRA");

  Staging live(working.path());
  EXPECT_FALSE(std::filesystem::exists(old));
  EXPECT_TRUE(std::filesystem::exists(recent)) << "a run that has only just started is left alone";
  EXPECT_TRUE(std::filesystem::exists(working.path() / ".vadelux-archivo"));
  EXPECT_TRUE(std::filesystem::exists(working.path() / "OTRA"));

  // However old it looks, the folder of a live run stays.
  const ::utimbuf longAgo{std::time(nullptr) - 7200, std::time(nullptr) - 7200};
  ::utime(live.folder().c_str(), &longAgo);
  EXPECT_EQ(removeAbandonedStaging(working.path(), std::chrono::seconds(60)), 0);
  EXPECT_TRUE(std::filesystem::exists(live.folder()));
  EXPECT_EQ(removeAbandonedStaging(working.path(), std::chrono::seconds(0)), 1) << "the recent one, now";
  EXPECT_FALSE(std::filesystem::exists(recent));
}

}  // namespace
}  // namespace vadelux::tables
