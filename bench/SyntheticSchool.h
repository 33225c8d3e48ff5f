// A synthetic school in Rayuela's exchange format, at a chosen scale and deterministic from a seed:
// 1x is a large secondary school; Nx is N schools' worth of teachers, units, courses, subjects and
// rooms in one file, with names that collide the way a region's data does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vadelux::bench {

// How many records of each kind a school holds.
struct SchoolCounts {
  std::size_t courses = 0;
  std::size_t units = 0;
  std::size_t subjects = 0;  // MATERIAS records
  std::size_t distinctSubjectNames = 0;
  std::size_t activities = 0;
  std::size_t teachers = 0;
  std::size_t rooms = 0;
  std::size_t templates = 0;
  std::size_t slots = 0;            // TRAMOS_HORARIOS records, every template
  std::size_t slotsOfTemplate = 0;  // those of the template that the benchmark chooses
  std::size_t nivelexRows = 0;
  std::size_t coursesWithoutLevel = 0;  // course keys left out of NIVELEX
  std::size_t loadRows = 0;             // ASIGT rows a conversion of the school gives
};

class SyntheticSchool {
 public:
  // `scale` from 1 up; the same scale and seed always give the same bytes.
  static SyntheticSchool generate(unsigned scale, std::uint64_t seed);

  unsigned scale() const { return scale_; }
  const SchoolCounts& counts() const { return counts_; }

  // The school-day template to pass to the conversion ("1", the ordinary school day).
  static constexpr const char* kTemplateCode = "1";

  // The Rayuela exchange file, in ISO-8859-1 as Rayuela writes it.
  std::string xml() const;
  void writeXml(const std::filesystem::path& file) const;

  // The course-level lookup table for this school's course keys (most of them), as the CSV that
  // `vadelux-cli nivelex` reads (UTF-8), and as NIVELEX.DBF built from it.
  std::string nivelexCsv() const;
  void writeNivelex(const std::filesystem::path& csvFile, const std::filesystem::path& dbfFile) const;

  // What follows is the generated content, Windows-1252 text, for whoever needs the records.
  struct Course {
    std::string key;
    std::string name;
    std::string level;  // NIVELEX level abbreviation
    std::string study;  // NIVELEX study name
    bool inNivelex = true;
  };
  struct Unit {
    std::string key;
    std::string name;
    std::string courseKey;
  };
  struct Subject {
    std::string courseKey;
    std::string key;
    std::string name;
  };
  struct Activity {
    std::string key;
    std::string code;
    std::string name;
  };
  struct Teacher {
    std::string key;
    std::string tomaPos;
    std::string department;
    std::string surname1;
    std::string surname2;
    std::string givenName;
  };
  struct Room {
    std::string code;
    std::string name;
  };
  struct Template {
    std::string code;
    std::string name;
    std::string start;
    std::string end;
  };
  struct Slot {
    std::string key;
    std::string text;
    int start = 0;  // minutes after midnight
    int end = 0;
    std::string templateCode;
  };

  const std::vector<Course>& courses() const { return courses_; }
  const std::vector<Unit>& units() const { return units_; }
  const std::vector<Subject>& subjects() const { return subjects_; }
  const std::vector<Teacher>& teachers() const { return teachers_; }
  const std::vector<Room>& rooms() const { return rooms_; }

 private:
  SyntheticSchool() = default;
  void countUp();

  unsigned scale_ = 1;
  SchoolCounts counts_;
  std::vector<Course> courses_;
  std::vector<Unit> units_;
  std::vector<Subject> subjects_;
  std::vector<Activity> activities_;
  std::vector<Teacher> teachers_;
  std::vector<Room> rooms_;
  std::vector<Template> templates_;
  std::vector<Slot> slots_;
};

}  // namespace vadelux::bench
