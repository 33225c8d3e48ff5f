#include "common/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/Error.h"

namespace fs = std::filesystem;

namespace {

class atomic_file_test : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vadelux-atomic-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  static std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }
  fs::path dir_;
};

TEST_F(atomic_file_test, replaces_the_content_and_keeps_the_permissions) {
  const fs::path f = dir_ / "Horvane.ini";
  std::ofstream(f) << "old content that is longer than the new one";
  fs::permissions(f, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  vadelux::writeFileAtomically(f, "new");
  EXPECT_EQ(read(f), "new");
  EXPECT_EQ(fs::status(f).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(entries(), 1u);
}

TEST_F(atomic_file_test, refuses_read_only_targets_and_folders_leaving_everything_as_it_was) {
  const fs::path f = dir_ / "salida.xml";
  std::ofstream(f) << "keep me";
  fs::permissions(f, fs::perms::owner_read);
  EXPECT_THROW(vadelux::writeFileAtomically(f, "lost"), vadelux::Error);
  EXPECT_EQ(read(f), "keep me");
  EXPECT_EQ(entries(), 1u);

  fs::create_directory(dir_ / "carpeta");
  EXPECT_THROW(vadelux::writeFileAtomically(dir_ / "carpeta", "x"), vadelux::Error);
  EXPECT_TRUE(fs::is_directory(dir_ / "carpeta"));

  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  try {
    vadelux::writeFileAtomically(dir_ / "nuevo.xml", "x");
    ADD_FAILURE() << "a read-only folder was written";
  } catch (const vadelux::Error& e) {
    EXPECT_NE(std::string(e.what()).find("nuevo.xml"), std::string::npos) << e.what();
  }
  fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
  EXPECT_FALSE(fs::exists(dir_ / "nuevo.xml"));
  EXPECT_EQ(entries(), 2u);
}

TEST_F(atomic_file_test, a_missing_folder_is_an_error_naming_the_file) {
  try {
    vadelux::writeFileAtomically(dir_ / "no" / "existe.xml", "x");
    ADD_FAILURE() << "no error";
  } catch (const vadelux::Error& e) {
    EXPECT_NE(std::string(e.what()).find("existe.xml"), std::string::npos);
  }
}

}  // namespace
