// Files the program replaces whole: when one cannot be written the user is told why in Spanish and the
// file stays as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/Error.h"
#include "common/IniFile.h"
#include "tests/robustness/School.h"

namespace vadelux::testing {
namespace {

// Horvane.ini that cannot be written: the result code is not written and the file stays as it was.
TEST(file_write_test, an_ini_file_that_cannot_be_written_is_left_as_it_was) {
  const School school;
  const auto ini = school.programa() / "Horvane.ini";
  writeText(ini, "[Transformadores]\r\nTransformado=0\r\n");
  ::chmod(ini.c_str(), 0444);
  const auto readOnly = school.state();
  try {
    writeIniValue(ini, "Transformadores", "Transformado", "1");
    ADD_FAILURE() << "a read-only file was written";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "No se puede escribir el archivo " + ini.string() + ": no hay permiso");
  }
  EXPECT_EQ(school.state(), readOnly);

  std::filesystem::remove(ini);
  std::filesystem::create_directory(ini);
  const auto folder = school.state();
  try {
    writeIniValue(ini, "Transformadores", "Transformado", "1");
    ADD_FAILURE() << "a folder was taken for the file";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "No se puede escribir el archivo " + ini.string() + ": es una carpeta");
  }
  EXPECT_EQ(school.state(), folder);
}

// The result of the export in a folder that cannot be written: the reason in Spanish, no file.
TEST(file_write_test, a_result_in_a_read_only_folder_is_not_written) {
  const School school;
  ::chmod(school.datos().c_str(), 0555);
  const auto before = school.state();
  try {
    school.exportTimetable();
    ADD_FAILURE() << "a result was written into a read-only folder";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "No se puede escribir el archivo " + school.output().string() + ": no hay permiso");
  }
  EXPECT_EQ(school.state(), before);
}

}  // namespace
}  // namespace vadelux::testing
