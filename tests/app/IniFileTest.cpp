#include "common/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/Error.h"

namespace fs = std::filesystem;

namespace {

struct IniCase {
  const char* name;
  std::string before;
  const char* value;
  std::string after;
};

std::string readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "vadelux-ini-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace

TEST(ini_file_test, sets_the_value_and_keeps_everything_else) {
  const IniCase cases[] = {
      {"empty text", "", "0", "[Transformadores]\r\nTransformado=0\r\n"},
      {"other sections kept, section appended", "[General]\r\nRuta=C:\\HTEMP\r\n\r\n[Otra]\r\nx=1\r\n", "1",
       "[General]\r\nRuta=C:\\HTEMP\r\n\r\n[Otra]\r\nx=1\r\n[Transformadores]\r\nTransformado=1\r\n"},
      {"section and key in other case keep their spelling",
       "[general]\r\na=1\r\n[TRANSFORMADORES]\r\ntransformado=1\r\nOtro=5\r\n", "-1",
       "[general]\r\na=1\r\n[TRANSFORMADORES]\r\ntransformado=-1\r\nOtro=5\r\n"},
      {"LF endings kept, key added after the section's last line", "[Transformadores]\nOtro=2\n\n[Z]\nq=1\n",
       "0", "[Transformadores]\nOtro=2\nTransformado=0\n\n[Z]\nq=1\n"},
      {"comments and blanks around the value kept",
       "; Ajustes de Horvane\r\n[Transformadores]\r\n; ultimo resultado\r\n  Transformado = 1   \r\n# "
       "fin\r\n",
       "0",
       "; Ajustes de Horvane\r\n[Transformadores]\r\n; ultimo resultado\r\n  Transformado = 0\r\n# fin\r\n"},
      {"section at the end without a line ending", "[A]\r\nb=1\r\n[Transformadores]", "1",
       "[A]\r\nb=1\r\n[Transformadores]\r\nTransformado=1\r\n"},
      {"last line without a line ending, section missing", "[A]\nb=1", "0",
       "[A]\nb=1\n[Transformadores]\nTransformado=0\n"},
      {"a commented key is not the key", "[Transformadores]\r\n;Transformado=1\r\n", "0",
       "[Transformadores]\r\n;Transformado=1\r\nTransformado=0\r\n"},
      {"the same key in another section is left alone", "[Otra]\r\nTransformado=7\r\n", "1",
       "[Otra]\r\nTransformado=7\r\n[Transformadores]\r\nTransformado=1\r\n"},
      {"only the first of two equal sections changes",
       "[Transformadores]\r\nTransformado=1\r\n[ transformadores ]\r\nTransformado=1\r\n", "0",
       "[Transformadores]\r\nTransformado=0\r\n[ transformadores ]\r\nTransformado=1\r\n"},
      {"a longer key name does not match", "[Transformadores]\r\nTransformados=1\r\n", "-1",
       "[Transformadores]\r\nTransformados=1\r\nTransformado=-1\r\n"},
      {"byte-order mark before the first section kept", "\xEF\xBB\xBF[Transformadores]\r\nTransformado=1\r\n",
       "0", "\xEF\xBB\xBF[Transformadores]\r\nTransformado=0\r\n"},
      {"blank lines after the section stay before the next one",
       "[Transformadores]\r\nA=1\r\n\r\n\r\n[B]\r\n", "1",
       "[Transformadores]\r\nA=1\r\nTransformado=1\r\n\r\n\r\n[B]\r\n"},
  };
  for (const IniCase& c : cases) {
    EXPECT_EQ(vadelux::setIniValue(c.before, "Transformadores", "Transformado", c.value), c.after) << c.name;
  }
}

TEST(ini_file_test, writes_a_new_file_and_updates_an_existing_one) {
  TempFolder folder;
  const fs::path ini = folder.path() / "Horvane.ini";

  vadelux::writeIniValue(ini, "Transformadores", "Transformado", "-1");
  EXPECT_EQ(readAll(ini), "[Transformadores]\r\nTransformado=-1\r\n");

  writeAll(ini, "[Rutas]\r\nTrabajo=C:\\HTEMP\r\n[Transformadores]\r\nTransformado=-1\r\n");
  vadelux::writeIniValue(ini, "Transformadores", "Transformado", "1");
  EXPECT_EQ(readAll(ini), "[Rutas]\r\nTrabajo=C:\\HTEMP\r\n[Transformadores]\r\nTransformado=1\r\n");
}

TEST(ini_file_test, refuses_a_read_only_file_or_a_folder_and_leaves_it_unchanged) {
  TempFolder folder;
  const fs::path ini = folder.path() / "Horvane.ini";
  const std::string before = "[Transformadores]\r\nTransformado=1\r\n";
  writeAll(ini, before);
  fs::permissions(ini, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_THROW(vadelux::writeIniValue(ini, "Transformadores", "Transformado", "0"), vadelux::Error);
  EXPECT_EQ(readAll(ini), before);

  const fs::path dir = folder.path() / "carpeta.ini";
  fs::create_directory(dir);
  EXPECT_THROW(vadelux::writeIniValue(dir, "Transformadores", "Transformado", "0"), vadelux::Error);
  EXPECT_TRUE(fs::is_directory(dir));
}
