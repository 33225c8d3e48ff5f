// The whole run: checks, the steps in order, and tables that change all together or not at all.
#include <gtest/gtest.h>

#include "common/MissingInputError.h"
#include "conversion/ConversionRun.h"
#include "rayuela/Document.h"
#include "tests/conversion/ConversionTestSupport.h"
#include "tests/support/Nivelex.h"

namespace vadelux::testing {
namespace {

using Strings = std::vector<std::string>;

// A small school with two templates.
std::vector<Group> school(const std::string& courseKey = "101", const std::string& slotStart = "480") {
  return {
      {"MATERIAS", {{"101", "m1", "Lengua"}, {"101", "m2", "Matem\xC3\xA1ticas"}}},
      {"ACTIVIDADES", {{"a", "G1", "Guardia"}}},
      {"EMPLEADOS",
       {{"e1", "f1", "Lengua",
         "Garc\xC3\xAD"
         "a",
         "L\xC3\xB3pez", "Juan"}}},
      {"DEPENDENCIAS", {{"A1", "Aula 1"}}},
      {"CURSOS_DEL_CENTRO", {{courseKey, "1\xC2\xBA ESO"}}},
      {"UNIDADES", {{"u1", "1ESOA", "101"}, {"u2", "1ESOB", "101"}}},
      {"JORNADAS_ESCOLARES", {{"T1", "Ordinaria", "01/09/2026", "30/06/2027"}, {"T2", "Verano", "x", "y"}}},
      {"TRAMOS_HORARIOS",
       {{"s1", "1\xC2\xAA", slotStart, "535", "T1"}, {"s2", "2\xC2\xAA", "535", "590", "T1"}}},
  };
}

class conversion_run_test : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(htemp());
    std::filesystem::create_directory(program());
    writeNivelex(program(), "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n101,ESO,Secundaria\n");
  }
  std::filesystem::path htemp() const { return dir_ / "HTEMP"; }
  std::filesystem::path program() const { return dir_ / "programa"; }

  conversion::ConversionResult run(const std::vector<Group>& groups) {
    writeText(xml(), rayuelaXml(groups));
    return conversion::runConversion({xml(), htemp(), program(), [&](const auto&) {
                                        ++questions_;
                                        return std::string("T1");
                                      }});
  }
  std::filesystem::path xml() const { return dir_ / "centro.xml"; }

  TempFolder dir_;
  int questions_ = 0;
};

TEST_F(conversion_run_test, builds_the_nine_tables_and_replaces_the_old_ones) {
  writeText(htemp() / "JORNADAS.DBF", "old");
  writeText(htemp() / "asignomt.dbf", "old table in lower case");
  writeText(htemp() / "ASIGNOMT.MDX", "stale index");
  writeText(htemp() / "SOLUC.DBF", "the generator's solution stays");
  const auto result = run(school());
  EXPECT_EQ(result.jornadaElegida, "T1");
  EXPECT_EQ(questions_, 1);

  Strings names;
  for (const auto& entry : std::filesystem::directory_iterator(htemp())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Strings{"ASIGNOMT.DBF", "ASIGT.DBF", "AULAT.DBF", "CURSOST.DBF", "DIASHORAST.DBF",
                            "DIASHORAST2.DBF", "DIASHORAST2.MDX", "GRUPOST.DBF", "PERIODOS.DBF", "PROFT.DBF",
                            "SOLUC.DBF"}));
  EXPECT_EQ(tables::DbfTable::open(htemp() / "ASIGNOMT.DBF").rowCount(), 3u);
  EXPECT_EQ(tables::DbfTable::open(htemp() / "ASIGT.DBF").rowCount(), 4u);
  EXPECT_EQ(tables::DbfTable::open(htemp() / "DIASHORAST.DBF").rowCount(), 14u);
  EXPECT_EQ(readBytes(htemp() / "SOLUC.DBF"), "the generator's solution stays");

  // A second run replaces every table again.
  run(school());
  EXPECT_EQ(tables::DbfTable::open(htemp() / "ASIGNOMT.DBF").rowCount(), 3u);
}

TEST_F(conversion_run_test, a_failing_step_leaves_every_table_of_the_earlier_run_as_it_was) {
  run(school());
  const auto before = snapshot(htemp());
  struct Case {
    std::vector<Group> groups;
    std::string message;
  };
  const Case cases[] = {
      {school("12a"), "'12a' no es un valor entero v\xC3\xA1lido"},
      {school("101", "8:00"), "'8:00' no es un valor entero v\xC3\xA1lido"},
  };
  for (const auto& c : cases) {
    try {
      run(c.groups);
      ADD_FAILURE() << "no error: " << c.message;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
    EXPECT_EQ(snapshot(htemp()), before) << c.message;
  }
}

TEST_F(conversion_run_test, missing_inputs_stop_the_run_before_anything_is_touched) {
  run(school());
  const auto before = snapshot(htemp());

  try {
    conversion::runConversion({dir_ / "no-existe.xml", htemp(), program(), nullptr});
    ADD_FAILURE();
  } catch (const MissingInputError& e) {
    EXPECT_EQ(e.missing(), MissingInputError::What::XmlFile);
    EXPECT_STREQ(e.what(), "No existe archivo");
  }

  std::filesystem::remove(program() / "NIVELEX.DBF");
  try {
    conversion::runConversion({xml(), htemp(), program(), nullptr});
    ADD_FAILURE();
  } catch (const MissingInputError& e) {
    EXPECT_EQ(e.missing(), MissingInputError::What::Nivelex);
    EXPECT_STREQ(e.what(), "ATENCI\xC3\x93N - NIVELEX.DBF No encontrado - Reinstale VADELUX");
  }
  writeNivelex(program(), "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n101,ESO,Secundaria\n");

  writeText(dir_ / "roto.xml", "<SERVICIO><BLOQUE_DATOS>");
  EXPECT_THROW(conversion::runConversion({dir_ / "roto.xml", htemp(), program(), nullptr}),
               rayuela::DocumentError);
  EXPECT_EQ(snapshot(htemp()), before);
}

TEST_F(conversion_run_test, a_missing_working_folder_is_reported_and_not_created) {
  writeText(xml(), rayuelaXml(school()));
  const auto missing = dir_ / "NOHAY";
  try {
    conversion::runConversion({xml(), missing, program(), nullptr});
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos) << e.what();
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace vadelux::testing
