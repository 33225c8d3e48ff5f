// Courses and groups, the subject load per group, and the grid of days and periods.
#include <gtest/gtest.h>

#include "common/Error.h"
#include "conversion/ClockText.h"
#include "conversion/Steps.h"
#include "tests/conversion/ConversionTestSupport.h"
#include "tests/support/Nivelex.h"

namespace vadelux::testing {
namespace {

using conversion::ConversionReport;
using conversion::FindingKind;
using Strings = std::vector<std::string>;

class course_steps_test : public ConversionFixture {
 protected:
  void SetUp() override {
    nivelex_ = writeNivelex(dir_ / "nivelex",
                            "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO\n"
                            "101,ESO,Educaci\xC3\xB3n Secundaria Obligatoria\n"
                            "102,,Bachillerato\n");
  }
  std::filesystem::path nivelex_;
  ConversionReport report_;
};

TEST_F(course_steps_test, courses_take_their_level_and_groups_their_course) {
  const auto doc = load({{"UNIDADES",
                          {{"u1", "1ESOA", "101"},
                           {"u2", "1ESOB", "101"},
                           {"u3", "1ESOC", "101"},
                           {"u4", "1 A", "999"},
                           {"u5", "2 A", "404"},
                           {"u6", "1\xC2\xBA B", "0101"},
                           {"u7", "Bach", "102"},
                           {"u8", "X", "01234567890"},
                           {"solo"}}},
                         {"CURSOS_DEL_CENTRO",
                          {{"101", "1\xC2\xBA ESO"},
                           {"0101", "1\xC2\xBA ESO (otra oferta)"},
                           {"999", "1\xC2\xBA Curso sin nivel"},
                           {"102", "2\xC2\xBA Bachillerato"},
                           {"01234567890", "Clave larga"},
                           {"solo"}}}});
  conversion::TransformarCursosUnidades(doc, folder(), nivelex_, report_);

  EXPECT_EQ(column("CURSOST", "CLAVE"), (Strings{"101", "0101", "999", "102", "0123456789"}));
  EXPECT_EQ(column("CURSOST", "NIVEL"), (Strings{"ESO", "ESO", "Niv", "Niv", "Niv"}));
  EXPECT_EQ(column("CURSOST", "CURSO"), (Strings{"1", "1", "1", "2", "C"}));
  EXPECT_EQ(column("CURSOST", "ESTUD"),
            (Strings{"Educaci\xC3\xB3n Secundaria Obligatoria", "Educaci\xC3\xB3n Secundaria Obligatoria", "",
                     "Bachillerato", ""}));
  EXPECT_EQ(column("CURSOST", "ABREV"), Strings(5, ""));

  EXPECT_EQ(column("GRUPOST", "ABREV"),
            (Strings{"1ESO", "1ES1", "1ES2", "1 A", "2 A", "1\xC2\xBA B", "Bach", "X"}));
  EXPECT_EQ(column("GRUPOST", "GRUPO"), (Strings{"A", "B", "C", "A", "A", "B", "h", "X"}));
  EXPECT_EQ(column("GRUPOST", "NIVEL"), (Strings{"ESO", "ESO", "ESO", "Niv", "", "ESO", "Niv", ""}));
  EXPECT_EQ(column("GRUPOST", "CURSO"), (Strings{"1", "1", "1", "1", "", "1", "2", ""}));
  EXPECT_EQ(column("GRUPOST", "CLAVECURSO"),
            (Strings{"101", "101", "101", "999", "404", "0101", "102", "0123456789"}));
  const Strings descrip = column("GRUPOST", "DESCRIP");
  EXPECT_EQ(descrip[0], "Educaci\xC3\xB3n Secundaria Obligatoria");
  EXPECT_EQ(descrip[3], " Niv 1 A");
  EXPECT_EQ(descrip[4], "   A");
  EXPECT_EQ(descrip[6], "Bachillerato");
  EXPECT_EQ(descrip[7], "   X");  // a course key longer than the field finds no course
  EXPECT_EQ(report_.count(FindingKind::CourseWithoutLevel), 2u);
  EXPECT_EQ(report_.count(FindingKind::UnitWithoutCourse), 2u);
}

TEST_F(course_steps_test, a_course_key_that_is_no_whole_number_stops_the_step) {
  const Strings keys = {"12a", "", "99999999999", "1.5"};
  for (const auto& key : keys) {
    const auto doc = load({{"CURSOS_DEL_CENTRO", {{"101", "1\xC2\xBA ESO"}, {key, "Mal"}}}});
    try {
      conversion::TransformarCursosUnidades(doc, folder(), nivelex_, report_);
      ADD_FAILURE() << "no error for " << key;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), "'" + key + "' no es un valor entero v\xC3\xA1lido");
    }
  }
}

TEST_F(course_steps_test, every_subject_gets_one_load_row_per_group_of_its_course) {
  const std::string longName = std::string(40, 'F') + "isica avanzada";
  const auto doc = load(
      {{"MATERIAS",
        {{"101", "m1", "Lengua"},
         {"101", "m2", "Matem\xC3\xA1ticas"},
         {"101", "m3", "Ingl\xC3\xA9s"},
         {"101", "m4", "lengua"},  // same name in other letter case: same code
         {"101", "m5", longName},
         {"102", "m6", "M\xC3\xBAsica"},
         {"102", "m7", "M\xC3\x9ASICA"},  // finds no row: accented letters must agree
         {"555", "m8", "Historia"},       // a course without groups
         {"101", "m9", ""}}},             // an empty code gives no rows
       {"CURSOS_DEL_CENTRO", {{"101", "1\xC2\xBA ESO"}, {"102", "2\xC2\xBA Bach"}}},
       {"UNIDADES",
        {{"u1", "1ESOA", "101"}, {"u2", "1ESOB", "101"}, {"u3", "1ESOC", "101"}, {"u4", "2BA", "102"}}}});
  conversion::SubjectLists lists;
  conversion::TransformarMaterias(doc, folder(), lists, report_);
  conversion::TransformarActividades(doc, folder(), report_);
  conversion::TransformarCursosUnidades(doc, folder(), nivelex_, report_);
  conversion::TransformarAsignaciones(doc, folder(), report_);

  const Strings casig = column("ASIGT", "CASIG");
  ASSERT_EQ(casig.size(), 16u);
  EXPECT_EQ(casig, (Strings{"Leng", "Leng", "Leng", "Mate", "Mate", "Mate", "Ingl", "Ingl", "Ingl", "Leng",
                            "Leng", "Leng", "FFFF", "FFFF", "FFFF", "M\xC3\xBAsi"}));
  EXPECT_EQ(column("ASIGT", "CGRUP"),
            (Strings{"1ESO", "1ES1", "1ES2", "1ESO", "1ES1", "1ES2", "1ESO", "1ES1", "1ES2", "1ESO", "1ES1",
                     "1ES2", "1ESO", "1ES1", "1ES2", "2BA"}));
  const Strings clave = column("ASIGT", "CLAVE");
  EXPECT_EQ(clave[9], "m4");
  EXPECT_EQ(clave[15], "m6");
  EXPECT_EQ(column("ASIGT", "CLAVECURSO")[15], "102");
  EXPECT_EQ(column("ASIGT", "NIVEL")[0], "ESO");
  EXPECT_EQ(column("ASIGT", "GRUPO")[1], "B");
  for (const auto& horas : column("ASIGT", "HORAS")) {
    EXPECT_DOUBLE_EQ(std::stod(horas), 4.0);
  }
  EXPECT_EQ(column("ASIGT", "SESIONES"), Strings(16, "1111"));
  EXPECT_EQ(column("ASIGT", "CTAREA"), Strings(16, "1"));
  EXPECT_EQ(column("ASIGT", "CPROF"), Strings(16, ""));
  EXPECT_EQ(column("ASIGT", "CAULA"), Strings(16, ""));
  EXPECT_EQ(report_.count(FindingKind::SubjectNameUnmatched), 2u);
  EXPECT_EQ(report_.count(FindingKind::SubjectWithoutGroups), 1u);
}

TEST(clock_text_test, minutes_become_hours_and_minutes_of_two_digits) {
  const std::pair<int, const char*> cases[] = {{480, "08:00"}, {535, "08:55"},  {490, "08:10"}, {5, "00:05"},
                                               {0, "00:00"},   {1440, "24:00"}, {5999, "99:59"}};
  for (const auto& [minutes, text] : cases) {
    EXPECT_EQ(conversion::clockText(minutes), text) << minutes;
  }
}

class school_day_test : public ConversionFixture {
 protected:
  ConversionReport report_;
  std::vector<rayuela::Record> offered_;
  std::string runStep(const std::vector<Group>& groups, const std::string& answer = "") {
    const auto doc = load(groups);
    return conversion::TransformarJornadasTramos(
        doc, folder(),
        [&](const std::vector<rayuela::Record>& templates) {
          offered_ = templates;
          return answer;
        },
        report_);
  }
};

TEST_F(school_day_test, the_chosen_template_becomes_the_grid_renumbered_by_start_time) {
  std::vector<Fields> slots = {
      {"s0", "Otra 1", "400", "455", "T2"},  // another template's slot still takes a raw number
      {"solo"},                              // passed over without taking one
      {"s2", "2\xC2\xAA hora", "535", "590", "T1"},
      {"s1", "1\xC2\xAA hora", "480", "535", " T1 "},
      {"s1b", "1\xC2\xAA bis", "480", "530", "T1"},
  };
  for (int i = 0; i < 8; ++i) {
    slots.push_back({"x" + std::to_string(i), "Tarde " + std::to_string(i), std::to_string(900 + 60 * i),
                     std::to_string(955 + 60 * i), "T1"});
  }
  const std::string chosen = runStep({{"JORNADAS_ESCOLARES",
                                       {{"T1", "Ordinaria", "01/09/2026", "30/06/2027"},
                                        {"T2", "Verano", "01/06/2027", "30/06/2027"},
                                        {"T1", "Ordinaria bis", "02/09/2026", "29/06/2027"}}},
                                      {"TRAMOS_HORARIOS", slots}},
                                     " T1 ");
  EXPECT_EQ(chosen, "T1");
  EXPECT_EQ(offered_.size(), 3u);

  // Raw slot numbers count every slot record of any template.
  const Strings rawHora = column("DIASHORAST2", "HORA");
  ASSERT_EQ(rawHora.size(), 7u * 11);
  EXPECT_EQ(rawHora[0], "2");
  EXPECT_EQ(column("DIASHORAST2", "DIHO")[0], "12");
  EXPECT_EQ(column("DIASHORAST2", "DIHO")[6], "72");
  EXPECT_EQ(column("DIASHORAST2", "ORDEN")[0], "535");
  EXPECT_EQ(column("DIASHORAST2", "TEXTODIA"), Strings(77, ""));

  // The grid: rows in time order, one period per distinct start, shared by the seven days.
  const Strings diho = column("DIASHORAST", "DIHO");
  ASSERT_EQ(diho.size(), 77u);
  EXPECT_EQ(Strings(diho.begin(), diho.begin() + 14),
            (Strings{"11", "21", "31", "41", "51", "61", "71", "11", "21", "31", "41", "51", "61", "71"}));
  EXPECT_EQ(diho[14], "12");
  EXPECT_EQ(diho.back(), "710");  // day 7, period 10
  const Strings codes = column("DIASHORAST", "CODDIHO");
  EXPECT_EQ(codes[0], "s1");  // equal start times keep their order
  EXPECT_EQ(codes[7], "s1b");
  EXPECT_EQ(column("DIASHORAST", "HORADESDE")[0], "08:00");
  EXPECT_EQ(column("DIASHORAST", "HORAHASTA")[0], "08:55");
  EXPECT_EQ(column("DIASHORAST", "MINUTOS")[0], "55");
  EXPECT_EQ(column("DIASHORAST", "MINUTOS")[7], "50");
  EXPECT_EQ(column("DIASHORAST", "HORA")[14], "2");
  EXPECT_EQ(column("DIASHORAST", "TEXTOHOR")[0], "1\xC2\xAA hora");

  EXPECT_EQ(column("PERIODOS", "JORNADA"), (Strings{"Ordinaria", "Ordinaria bis"}));
  EXPECT_EQ(column("PERIODOS", "FECINI"), (Strings{"01/09/2026", "02/09/2026"}));
  EXPECT_EQ(column("PERIODOS", "CJORNADA"), (Strings{"T1", "T1"}));
  EXPECT_EQ(report_.count(FindingKind::SlotOfOtherTemplate), 1u);
}

TEST_F(school_day_test, one_template_needs_no_question_and_none_gives_an_empty_code) {
  const std::string chosen = runStep({{"JORNADAS_ESCOLARES", {{"  T1  ", "Ordinaria", "a", "b"}}},
                                      {"TRAMOS_HORARIOS", {{"s1", "1\xC2\xAA", "480", "535", "T1"}}}},
                                     "never asked");
  EXPECT_EQ(chosen, "T1");
  EXPECT_TRUE(offered_.empty());
  EXPECT_EQ(column("DIASHORAST", "DIHO").size(), 7u);

  EXPECT_EQ(runStep({{"TRAMOS_HORARIOS", {{"s1", "1\xC2\xAA", "480", "535", "T1"}}}}), "");
  EXPECT_TRUE(column("DIASHORAST", "DIHO").empty());
  EXPECT_TRUE(column("PERIODOS", "CJORNADA").empty());
  EXPECT_EQ(report_.count(FindingKind::NoTemplate), 1u);
}

TEST_F(school_day_test, a_slot_time_that_is_no_whole_number_stops_the_step) {
  const Strings times = {"8:00", "", "abc"};
  for (const auto& t : times) {
    try {
      runStep({{"JORNADAS_ESCOLARES", {{"T1", "Ordinaria", "a", "b"}}},
               {"TRAMOS_HORARIOS", {{"s0", "otra", "x", "y", "T9"}, {"s1", "1\xC2\xAA", t, "535", "T1"}}}});
      ADD_FAILURE() << "no error for " << t;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), "'" + t + "' no es un valor entero v\xC3\xA1lido");
    }
  }
}

}  // namespace
}  // namespace vadelux::testing
