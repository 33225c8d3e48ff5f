// Working tables that a second program cannot corrupt: a run stops before changing anything while
// another holds a table, and two runs at once leave one whole set of tables, never a mix.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "common/Error.h"
#include "conversion/ConversionRun.h"
#include "tables/TableLock.h"
#include "tests/robustness/School.h"
#include "tests/robustness/ScopedEnvironment.h"

namespace vadelux::testing {
namespace {

using tables::TableLock;

std::string inUse(const std::string& table) {
  return "La tabla " + table +
         " est\xC3\xA1 en uso por otro programa. Ci\xC3\xA9rrelo y vuelva a intentarlo.";
}

// Another process holding a classic byte-range lock on part of a file, the kind Wine takes for a Windows
// program's LockFile; it holds it until the object goes.
class LockingProcess {
 public:
  LockingProcess(const std::filesystem::path& file, short type, off_t start, off_t length) {
    int ready[2];
    int release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) {
      throw std::runtime_error("pipe failed");
    }
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(release[1]);
      const int fd = ::open(file.c_str(), type == F_WRLCK ? O_RDWR : O_RDONLY);
      struct flock lock {};
      lock.l_type = type;
      lock.l_whence = SEEK_SET;
      lock.l_start = start;
      lock.l_len = length;
      const char ok = fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0 ? 'y' : 'n';
      (void)!::write(ready[1], &ok, 1);
      char done = 0;
      (void)!::read(release[0], &done, 1);
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char ok = 'n';
    locked_ = ::read(ready[0], &ok, 1) == 1 && ok == 'y';
    ::close(ready[0]);
  }
  LockingProcess(const LockingProcess&) = delete;
  LockingProcess& operator=(const LockingProcess&) = delete;
  ~LockingProcess() {
    ::close(release_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  bool locked() const { return locked_; }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool locked_ = false;
};

TEST(table_lock_test, shared_locks_go_together_and_an_exclusive_one_goes_alone) {
  const TempFolder dir;
  const auto table = dir / "PROFT.DBF";
  writeText(table, "tabla");
  {
    const auto first = TableLock::tryLock(table, TableLock::Mode::Shared);
    const auto second = TableLock::tryLock(table, TableLock::Mode::Shared);
    EXPECT_TRUE(first && second);
    try {
      TableLock::tryLock(table, TableLock::Mode::Exclusive);
      ADD_FAILURE() << "exclusive lock beside shared ones";
    } catch (const tables::TableInUseError& e) {
      EXPECT_EQ(std::string(e.what()), inUse("PROFT.DBF"));
    }
  }
  {
    // Another thread, with a descriptor of its own, is kept out as well.
    const auto held = TableLock::tryLock(table, TableLock::Mode::Exclusive);
    ASSERT_TRUE(held);
    std::string refused;
    std::thread other([&] {
      try {
        TableLock::tryLock(table, TableLock::Mode::Shared);
      } catch (const tables::TableInUseError& e) {
        refused = e.what();
      }
    });
    other.join();
    EXPECT_EQ(refused, inUse("PROFT.DBF"));
  }
  // Released with its owner.
  EXPECT_TRUE(TableLock::tryLock(table, TableLock::Mode::Exclusive));
  EXPECT_FALSE(TableLock::tryLock(dir / "NOHAY.DBF", TableLock::Mode::Exclusive));
}

TEST(table_lock_test, a_byte_range_lock_of_another_process_keeps_a_run_out) {
  const TempFolder dir;
  const auto table = dir / "SOLUC.DBF";
  writeText(table, "solucion");
  {
    // A record lock far beyond the end of the file, as database engines place them.
    const LockingProcess other(table, F_WRLCK, 0x40000000, 1);
    ASSERT_TRUE(other.locked());
    EXPECT_THROW(TableLock::tryLock(table, TableLock::Mode::Shared), tables::TableInUseError);
  }
  {
    const LockingProcess reader(table, F_RDLCK, 0, 0);
    ASSERT_TRUE(reader.locked());
    EXPECT_TRUE(TableLock::tryLock(table, TableLock::Mode::Shared));
    EXPECT_THROW(TableLock::tryLock(table, TableLock::Mode::Exclusive), tables::TableInUseError);
  }
}

// A table held by another program: each run stops with the message and nothing changes.
TEST(table_lock_test, a_table_held_by_another_program_stops_both_directions_before_anything_changes) {
  struct Held {
    std::string table;
    short type;
    bool stopsConversion;
    bool stopsExport;
  };
  for (const Held& held :
       {Held{"PROFT.DBF", F_RDLCK, true, false}, Held{"PROFT.DBF", F_WRLCK, true, true},
        Held{"DIASHORAST2.MDX", F_RDLCK, true, false}, Held{"SOLUC.DBF", F_WRLCK, false, true},
        Held{"PERIODOS.DBF", F_WRLCK, true, true}}) {
    SCOPED_TRACE(held.table);
    const School school;
    const LockingProcess other(school.htemp() / held.table, held.type, 0, 0);
    ASSERT_TRUE(other.locked());
    const auto before = school.state();

    const ProcessResult exportar = school.cliExportar();
    EXPECT_EQ(exportar.exitCode, held.stopsConversion ? 1 : 0);
    if (held.stopsConversion) {
      EXPECT_EQ(exportar.err, inUse(held.table) + "\n");
      EXPECT_EQ(school.state(), before);
    }
    const auto afterConversion = school.state();
    const ProcessResult importar = school.cliImportar();
    EXPECT_EQ(importar.exitCode, held.stopsExport ? 1 : 0);
    if (held.stopsExport) {
      EXPECT_EQ(importar.err, inUse(held.table) + "\n");
      EXPECT_EQ(school.state(), afterConversion);
    }
  }
}

// The nine tables, and the index, of a folder by name with their bytes.
std::map<std::string, std::string> tablesOf(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != "SOLUC.DBF") {
      files[name] = entry.is_regular_file() ? readBytes(entry.path()) : "<carpeta>";
    }
  }
  return files;
}

// Two conversions of different files started together on one folder, again and again, on a folder with
// tables and on an empty one: each ends well or stops with the message, and the folder always holds one
// whole set of tables.
TEST(table_lock_test, two_conversions_at_once_leave_one_whole_set_of_tables) {
  const School school;
  const auto otherXml = school.datos() / "otro.xml";
  writeText(otherXml, schoolXml(schoolGroups("101", "480", "Latin")));
  // The sets each file makes alone.
  std::filesystem::create_directory(school.root() / "A");
  std::filesystem::create_directory(school.root() / "B");
  conversion::runConversion({school.xml(), school.root() / "A", school.programa(), nullptr});
  conversion::runConversion({otherXml, school.root() / "B", school.programa(), nullptr});
  const auto setA = tablesOf(school.root() / "A");
  const auto setB = tablesOf(school.root() / "B");
  ASSERT_NE(setA, setB);
  ASSERT_EQ(setA.size(), 10u);

  const std::string cli = std::string(VADELUX_BIN_DIR) + "/vadelux-cli";
  // Every rename of the two programs takes a few milliseconds, so that their publishing overlaps; the
  // sanitizer build must accept a library loaded before its own.
  const ScopedEnvironment slowRenames("LD_PRELOAD", VADELUX_SLOW_RENAME);
  const char* sanitizer = std::getenv("ASAN_OPTIONS");
  const ScopedEnvironment linkOrder(
      "ASAN_OPTIONS", std::string(sanitizer != nullptr ? sanitizer : "") + ":verify_asan_link_order=0");
  int refusals = 0;
  for (int round = 0; round < 24; ++round) {
    if (round % 2 == 1) {
      for (const auto& [name, bytes] : tablesOf(school.htemp())) {
        std::filesystem::remove(school.htemp() / name);
      }
    }
    ChildProcess first({cli, "exportar", school.xml().string(), "--htemp", school.htemp().string(),
                        "--programa", school.programa().string()},
                       school.scratch());
    ChildProcess second({cli, "exportar", otherXml.string(), "--htemp", school.htemp().string(), "--programa",
                         school.programa().string()},
                        school.scratch());
    for (const ProcessResult& r : {first.wait(), second.wait()}) {
      EXPECT_TRUE(r.exitCode == 0 ||
                  (r.exitCode == 1 && r.err.find("en uso por otro programa") != std::string::npos))
          << "round " << round << ": " << r.exitCode << " " << r.err;
      refusals += r.exitCode == 1 ? 1 : 0;
    }
    const auto now = tablesOf(school.htemp());
    EXPECT_TRUE(now == setA || now == setB) << "round " << round << ": a mix of two runs' tables";
    EXPECT_TRUE(std::filesystem::exists(school.htemp() / "SOLUC.DBF"));
  }
  std::printf("%d de 48 conversiones se detuvieron por una tabla en uso\n", refusals);
}

}  // namespace
}  // namespace vadelux::testing
