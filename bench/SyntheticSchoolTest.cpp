// The synthetic school: its sizes, that it is the same for the same seed, that a real reader gets back
// exactly what was generated, and that a school converts and exports with counts that add up.
#include <gtest/gtest.h>

#include <unordered_set>

#include "bench/SyntheticSchool.h"
#include "bench/SyntheticSolution.h"
#include "common/Text.h"
#include "conversion/ConversionRun.h"
#include "export/ExportRun.h"
#include "rayuela/Document.h"
#include "tables/DbfTable.h"
#include "tests/support/TempFolder.h"

namespace vadelux::bench {
namespace {

using vadelux::testing::TempFolder;

std::size_t rowsOf(const conversion::ConversionReport& report, const std::string& table) {
  for (const auto& t : report.tables()) {
    if (t.table == table) {
      return t.rows;
    }
  }
  ADD_FAILURE() << "no table " << table << " in the report";
  return 0;
}

TEST(synthetic_school_test, scale_multiplies_the_school_but_not_activities_or_templates) {
  struct Case {
    unsigned scale;
    std::size_t teachers, units, courses, subjects, rooms;
  };
  for (const Case c : {Case{1, 150, 60, 25, 600, 120}, Case{4, 600, 240, 100, 2400, 480}}) {
    const auto counts = SyntheticSchool::generate(c.scale, 7).counts();
    EXPECT_EQ(counts.teachers, c.teachers) << c.scale;
    EXPECT_EQ(counts.units, c.units) << c.scale;
    EXPECT_EQ(counts.courses, c.courses) << c.scale;
    EXPECT_EQ(counts.subjects, c.subjects) << c.scale;
    EXPECT_EQ(counts.rooms, c.rooms) << c.scale;
    EXPECT_EQ(counts.activities, 30u) << c.scale;
    EXPECT_EQ(counts.templates, 3u) << c.scale;
    EXPECT_EQ(counts.slots, 42u) << c.scale;
    EXPECT_EQ(counts.slotsOfTemplate, 14u) << c.scale;
    // Most courses have a NIVELEX row, some do not.
    EXPECT_GT(counts.coursesWithoutLevel, 0u) << c.scale;
    EXPECT_LT(counts.coursesWithoutLevel * 5, counts.courses) << c.scale;
  }
}

TEST(synthetic_school_test, same_seed_gives_the_same_file_and_another_seed_another) {
  const auto a = SyntheticSchool::generate(2, 11);
  const auto b = SyntheticSchool::generate(2, 11);
  const auto c = SyntheticSchool::generate(2, 12);
  EXPECT_EQ(a.xml(), b.xml());
  EXPECT_EQ(a.nivelexCsv(), b.nivelexCsv());
  EXPECT_NE(a.xml(), c.xml());
}

// At region scale many units share their first four characters, so group codes are numbered.
TEST(synthetic_school_test, units_collide_on_their_first_four_characters) {
  const auto school = SyntheticSchool::generate(10, 3);
  std::unordered_set<std::string> prefixes;
  for (const auto& unit : school.units()) {
    prefixes.insert(text::foldCase(text::trim(text::left(unit.name, 4))));
  }
  EXPECT_LT(prefixes.size() * 5, school.units().size());
  EXPECT_GT(prefixes.size(), 25u);  // the schools name their units in different ways
}

// The file is ISO-8859-1 with accented names: the document reader gets every name back byte for byte.
TEST(synthetic_school_test, reader_gets_back_every_generated_value) {
  TempFolder dir;
  const auto school = SyntheticSchool::generate(1, 5);
  school.writeXml(dir / "centro.xml");
  EXPECT_EQ(vadelux::testing::readBytes(dir / "centro.xml")
                .rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", 0),
            0u);

  const auto doc = rayuela::Document::load(dir / "centro.xml");
  const auto staff = doc.records("EMPLEADOS");
  ASSERT_EQ(staff.size(), school.teachers().size());
  std::size_t accented = 0;
  for (std::size_t i = 0; i < staff.size(); ++i) {
    const auto& t = school.teachers()[i];
    EXPECT_EQ(staff[i].field(0), t.key);
    EXPECT_EQ(staff[i].field(3), t.surname1);
    EXPECT_EQ(staff[i].field(4), t.surname2);
    EXPECT_EQ(staff[i].field(5), t.givenName);
    for (const unsigned char ch : t.surname1 + t.surname2 + t.givenName) {
      accented += ch >= 0x80 ? 1 : 0;
    }
  }
  EXPECT_GT(accented, 20u);
  const auto subjects = doc.records("MATERIAS");
  ASSERT_EQ(subjects.size(), school.subjects().size());
  for (std::size_t i = 0; i < subjects.size(); ++i) {
    EXPECT_EQ(subjects[i].field(2), school.subjects()[i].name);
  }
  const auto rooms = doc.records("DEPENDENCIAS");
  ASSERT_EQ(rooms.size(), school.rooms().size());
  for (std::size_t i = 0; i < rooms.size(); ++i) {
    EXPECT_EQ(rooms[i].field(0), school.rooms()[i].code);
    EXPECT_EQ(rooms[i].field(1), school.rooms()[i].name);
  }
}

class synthetic_run_test : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(htemp()); }
  std::filesystem::path htemp() const { return dir_ / "HTEMP"; }

  // Generates a school and converts it with the ordinary template.
  conversion::ConversionResult convert(const SyntheticSchool& school) {
    school.writeXml(xml());
    school.writeNivelex(dir_ / "nivelex.csv", dir_ / "NIVELEX.DBF");
    conversion::ConversionRequest request;
    request.xmlFile = xml();
    request.workingFolder = htemp();
    request.programFolder = dir_.path();
    request.chooser = [](const std::vector<rayuela::Record>&) {
      return std::string(SyntheticSchool::kTemplateCode);
    };
    return conversion::runConversion(request);
  }
  std::filesystem::path xml() const { return dir_ / "centro.xml"; }

  TempFolder dir_;
};

TEST_F(synthetic_run_test, school_converts_and_exports_with_counts_that_add_up) {
  const auto school = SyntheticSchool::generate(1, 1);
  const auto& c = school.counts();
  const auto converted = convert(school);
  const auto& report = converted.report;
  EXPECT_EQ(converted.jornadaElegida, "1");
  EXPECT_EQ(rowsOf(report, "PROFT"), c.teachers);
  EXPECT_EQ(rowsOf(report, "AULAT"), c.rooms);
  EXPECT_EQ(rowsOf(report, "CURSOST"), c.courses);
  EXPECT_EQ(rowsOf(report, "GRUPOST"), c.units);
  EXPECT_EQ(rowsOf(report, "ASIGNOMT"), c.distinctSubjectNames + c.activities);
  EXPECT_EQ(rowsOf(report, "ASIGT"), c.loadRows);
  EXPECT_EQ(rowsOf(report, "DIASHORAST"), 7 * c.slotsOfTemplate);
  EXPECT_EQ(rowsOf(report, "DIASHORAST2"), 7 * c.slotsOfTemplate);
  EXPECT_EQ(rowsOf(report, "PERIODOS"), 1u);
  EXPECT_EQ(report.count(conversion::FindingKind::CourseWithoutLevel), c.coursesWithoutLevel);
  EXPECT_EQ(report.count(conversion::FindingKind::SubjectNameUnmatched), 0u);

  const auto solution = writeSyntheticSolution(htemp(), 1);
  EXPECT_EQ(solution.teachers, c.teachers);
  EXPECT_GE(solution.rows, 23 * c.teachers);
  EXPECT_LE(solution.rows, 27 * c.teachers);
  EXPECT_GT(solution.dayZero, 0u);
  EXPECT_GT(solution.taskLessons, 0u);

  exporting::ExportRequest request{xml(), htemp(), "01/09/2026 10:00:00"};
  const auto exported = exporting::runExport(request);
  const auto& e = exported.counts;
  EXPECT_EQ(e.teachers, c.teachers);
  // Every solution row names a real teacher, a real slot, and a real subject and group or a task.
  EXPECT_EQ(e.activities + e.skippedDayZero, solution.rows);
  EXPECT_EQ(e.skippedDayZero, solution.dayZero);
  EXPECT_EQ(e.slotNotFound, 0u);
  EXPECT_EQ(e.subjectNotFound, solution.taskLessons);
  EXPECT_EQ(e.unitNotFound, solution.taskLessons);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "ResultadoHorvancentro.xml"));
}

// Ten schools in one file: the short codes stay unique in their four characters without running out.
TEST_F(synthetic_run_test, ten_schools_convert_with_codes_unique_in_four_characters) {
  const auto school = SyntheticSchool::generate(10, 2);
  const auto converted = convert(school);
  EXPECT_EQ(rowsOf(converted.report, "ASIGT"), school.counts().loadRows);
  for (const char* table : {"PROFT", "AULAT", "GRUPOST"}) {
    const auto dbf = tables::DbfTable::open(htemp() / (std::string(table) + ".DBF"));
    std::unordered_set<std::string> codes;
    for (std::size_t row = 0; row < dbf.rowCount(); ++row) {
      EXPECT_TRUE(codes.insert(text::foldCase(dbf.text(row, "ABREV"))).second)
          << table << " repeats " << text::toUtf8(dbf.text(row, "ABREV"));
    }
  }
}

TEST(synthetic_solution_test, needs_the_converted_tables) {
  TempFolder dir;
  try {
    writeSyntheticSolution(dir.path(), 1);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "No existe " + (dir / "PROFT.DBF").string() + ": convierta antes el archivo de Rayuela.");
  }
}

}  // namespace
}  // namespace vadelux::bench
