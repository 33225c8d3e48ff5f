// Subjects, activities, teachers and rooms: short codes and the values of every field.
#include <gtest/gtest.h>

#include "conversion/Steps.h"
#include "conversion/UniqueCodes.h"
#include "tests/conversion/ConversionTestSupport.h"

namespace vadelux::testing {
namespace {

using conversion::ConversionReport;
using Strings = std::vector<std::string>;

class subject_steps_test : public ConversionFixture {
 protected:
  void convertSubjects(const std::vector<Fields>& materias, const std::vector<Fields>& actividades = {}) {
    const auto doc = load({{"MATERIAS", materias}, {"ACTIVIDADES", actividades}});
    conversion::SubjectLists lists;
    conversion::TransformarMaterias(doc, folder(), lists, report_);
    conversion::TransformarActividades(doc, folder(), report_);
  }
  ConversionReport report_;
};

TEST(unique_codes_test, numbers_taken_codes_and_keeps_stored_codes_unique) {
  struct Case {
    std::size_t stem;
    Strings candidates;
    Strings codes;
  };
  const Case cases[] = {
      {3, {"Mate", "Mate", "Mate"}, {"Mate", "Mat1", "Mat2"}},
      {3, {"Mate", "MATE"}, {"Mate", "MAT1"}},
      {3, {"GLJ", "glj", "GLJ"}, {"GLJ", "glj1", "GLJ2"}},
      {3, {"", "", ""}, {"", "1", "2"}},
      {2, {"LAB", "lab", "LAB"}, {"LAB", "la1", "LA2"}},
      // Codes are compared as the four-character field keeps them.
      {2, {"LABORATORIO", "LABORAL"}, {"LABORATORIO", "LA1"}},
      {3, {"Mat ", "Mat"}, {"Mat ", "Mat1"}},
      // From the tenth collision on the stem gets shorter so the number still fits the field.
      {3,
       {"GLJ", "GLJ", "GLJ", "GLJ", "GLJ", "GLJ", "GLJ", "GLJ", "GLJ", "GLJ", "GLJ", "GLJ"},
       {"GLJ", "GLJ1", "GLJ2", "GLJ3", "GLJ4", "GLJ5", "GLJ6", "GLJ7", "GLJ8", "GLJ9", "GL10", "GL11"}},
      // A number another candidate already holds is skipped.
      {3, {"Mat1", "Mate", "Mate"}, {"Mat1", "Mate", "Mat2"}},
  };
  for (const auto& c : cases) {
    conversion::UniqueCodes codes(c.stem);
    Strings got;
    for (const auto& candidate : c.candidates) {
      got.push_back(codes.make(candidate));
    }
    EXPECT_EQ(got, c.codes) << "first candidate " << c.candidates.front();
  }
}

TEST(unique_codes_test, rooms_keep_two_characters_up_to_the_ninety_ninth_collision) {
  conversion::UniqueCodes codes(2);
  std::string last;
  for (int i = 0; i <= 100; ++i) {
    last = codes.make("AULA");
    if (i == 99) {
      EXPECT_EQ(last, "AU99");
    }
  }
  EXPECT_EQ(last, "A100");
}

TEST_F(subject_steps_test, subject_codes_follow_the_names) {
  struct Case {
    Strings names;
    Strings codes;
    Strings codlargo;
  };
  const std::string forty(40, 'A');
  const Case cases[] = {
      {{"Matem\xC3\xA1ticas", "Matem\xC3\xA1ticas II", "Matem\xC3\xA1ticas Aplicadas"},
       {"Mate", "Mat1", "Mat2"},
       {"Matem\xC3\xA1ti", "Matem\xC3\xA1ti", "Matem\xC3\xA1ti"}},
      {{"Lengua", "LENGUA"}, {"Leng"}, {"Lengua"}},
      {{"Mate", "MATERIALES"}, {"Mate", "MAT1"}, {"Mate", "MATERIAL"}},
      {{"EF"}, {"EF"}, {"EF"}},
      {{"", "   "}, {""}, {""}},
      {{"M\xC3\xBAsica", "M\xC3\x9ASICA"}, {"M\xC3\xBAsi"}, {"M\xC3\xBAsica"}},
      // Names that agree in the 40 characters the table keeps are still two subjects.
      {{forty + "xxxxx", forty + "yyyyy"}, {"AAAA", "AAA1"}, {"AAAAAAAA", "AAAAAAAA"}},
  };
  for (const auto& c : cases) {
    std::vector<Fields> records;
    for (const auto& name : c.names) {
      records.push_back({"1", "100", "  " + name + "  "});
    }
    records.push_back({"solo un dato"});
    convertSubjects(records);
    EXPECT_EQ(column("ASIGNOMT", "COD"), c.codes) << c.names.front();
    EXPECT_EQ(column("ASIGNOMT", "CODLARGO"), c.codlargo) << c.names.front();
    EXPECT_EQ(column("ASIGNOMT", "ESTAREA"), Strings(c.codes.size(), "F"));
    EXPECT_EQ(column("ASIGNOMT", "MATERIA"), Strings(c.codes.size(), ""));
  }
  EXPECT_EQ(column("ASIGNOMT", "NOMBRE"), (Strings{forty, forty}));
}

TEST_F(subject_steps_test, activities_follow_the_subjects_with_their_own_codes) {
  convertSubjects({{"1", "100", "Guardia de recreo"},
                   {"1", "101",
                    "Tutor\xC3\xAD"
                    "a"}},
                  {{"x", "1234567", "Guardia de recreo"}, {"x", " Guar ", "Otra"}, {"uno"}, {"x", "9"}});
  EXPECT_EQ(column("ASIGNOMT", "COD"), (Strings{"Guar", "Tuto", "1234", "Guar", "9"}));
  EXPECT_EQ(column("ASIGNOMT", "CODLARGO"), (Strings{"Guardia",
                                                     "Tutor\xC3\xAD"
                                                     "a",
                                                     "Guardia", "Otra", ""}));
  EXPECT_EQ(column("ASIGNOMT", "CODTAREA"), (Strings{"", "", "1234567", "Guar", "9"}));
  EXPECT_EQ(column("ASIGNOMT", "ESTAREA"), (Strings{"F", "F", "T", "T", "T"}));
  // A record with two fields has no name: it reads as empty text and is reported.
  EXPECT_EQ(report_.count(conversion::FindingKind::RecordShort), 1u);
  EXPECT_EQ(report_.count(conversion::FindingKind::RecordSkipped), 1u);
}

TEST_F(subject_steps_test, teachers_get_their_initials_made_unique) {
  struct Case {
    std::vector<Fields> names;  // positions 3, 4 and 5
    Strings abbreviations;
    Strings nombres;
  };
  const Case cases[] = {
      {{{"Garc\xC3\xAD"
         "a",
         "L\xC3\xB3pez", "Juan"},
        {"Gil", "Luna", "Jes\xC3\xBAs"},
        {"G", "L", "J"}},
       {"GLJ", "GLJ1", "GLJ2"},
       {"Garc\xC3\xAD"
        "a L\xC3\xB3pez, Juan",
        "Gil Luna, Jes\xC3\xBAs", "G L, J"}},
      {{{"G", "L", "J"}, {"g", "l", "j"}}, {"GLJ", "glj1"}, {"G L, J", "g l, j"}},
      {{{"Ruiz", "", "Ana"}, {"Ruiz", "", "Ana"}}, {"RA", "RA1"}, {"Ruiz , Ana", "Ruiz , Ana"}},
      {{{"", "", ""}, {"", "", ""}, {"", "", ""}},
       {"", "1", "2"},
       {" ,", " ,", " ,"}},  // " , " without its last blank
      // Initials come from the text before trimming.
      {{{" Garc\xC3\xAD"
         "a",
         "L\xC3\xB3pez", "Juan"}},
       {" LJ"},
       {"Garc\xC3\xAD"
        "a L\xC3\xB3pez, Juan"}},
  };
  for (const auto& c : cases) {
    std::vector<Fields> records;
    for (const auto& n : c.names) {
      records.push_back({"12345678901234", "01/09/2020", "Matem\xC3\xA1ticas", n[0], n[1], n[2]});
    }
    records.push_back({"solo"});
    const auto doc = load({{"EMPLEADOS", records}});
    ConversionReport report;
    conversion::TransformarEmpleados(doc, folder(), report);
    EXPECT_EQ(column("PROFT", "ABREV"), c.abbreviations) << c.names.front()[0];
    EXPECT_EQ(column("PROFT", "NOMBRE"), c.nombres);
    EXPECT_EQ(column("PROFT", "X_EMPLEADO"), Strings(c.names.size(), "1234567890"));
    EXPECT_EQ(column("PROFT", "F_TOMAPOS"), Strings(c.names.size(), "01/09/2020"));
    EXPECT_EQ(column("PROFT", "DEPART"), Strings(c.names.size(), "Matem\xC3\xA1ticas"));
    EXPECT_EQ(column("PROFT", "DNI"), Strings(c.names.size(), ""));
  }
}

TEST_F(subject_steps_test, a_teacher_record_with_few_fields_reads_the_missing_ones_as_empty) {
  const auto doc = load({{"EMPLEADOS", {{"k1", "f1"}, {"k2", "f2", "dep", "Ruiz"}}}});
  ConversionReport report;
  conversion::TransformarEmpleados(doc, folder(), report);
  EXPECT_EQ(column("PROFT", "ABREV"), (Strings{"", "R"}));
  EXPECT_EQ(column("PROFT", "NOMBRE"), (Strings{" ,", "Ruiz ,"}));  // trailing blanks are not kept
  EXPECT_EQ(report.count(conversion::FindingKind::RecordShort), 2u);
}

TEST_F(subject_steps_test, rooms_keep_their_rayuela_key) {
  const auto doc = load({{"DEPENDENCIAS",
                          {{"LAB", "Laboratorio"},
                           {"lab", "Laboratorio 2"},
                           {"LAB", "Laboratorio 3"},
                           {"", "Aula de M\xC3\xBAsica"},
                           {"  ", "Aula de Inform\xC3\xA1tica"},
                           {"", ""},
                           {"", ""},
                           {"GIMNASIO", "Gimnasio"},
                           {"solo"}}}});
  ConversionReport report;
  conversion::TransformarDependencias(doc, folder(), report);
  EXPECT_EQ(column("AULAT", "ABREV"), (Strings{"LAB", "la1", "LA2", "Aula", "Au1", "", "1", "GIMN"}));
  EXPECT_EQ(column("AULAT", "DEPCENTRO"), (Strings{"LAB", "lab", "LAB", "", "", "", "", "GIMNASIO"}));
  EXPECT_EQ(column("AULAT", "NOMBRE")[3], "Aula de M\xC3\xBAsica");
  EXPECT_EQ(column("AULAT", "EDIFICIO"), Strings(8, ""));
  EXPECT_EQ(column("AULAT", "MAXALUM"), Strings(8, ""));
}

}  // namespace
}  // namespace vadelux::testing
