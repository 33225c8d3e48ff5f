// What a conversion did and what looked wrong on the way: rows per table and findings that a school
// administrator should read before trusting the tables.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vadelux::conversion {

enum class FindingKind {
  RepeatedSubjectName,   // a subject name given before: no row of its own
  CodeNumbered,          // a short code that was taken and got a number
  CodeCut,               // a short code longer than its field
  TextCut,               // a text longer than its field
  RecordSkipped,         // a record with fewer than two fields
  RecordShort,           // a record lacking positions that were read as empty
  CourseWithoutLevel,    // a course key without a NIVELEX row
  UnitWithoutCourse,     // a unit whose course is not among the courses
  SubjectWithoutGroups,  // a subject whose course has no groups: no load rows
  SubjectNameUnmatched,  // a subject name that finds no subject row
  SlotOfOtherTemplate,   // a time slot of a template other than the one used
  TemplateWithoutSlots,  // a template that has no time slots
  NoTemplate,            // the file has no school-day template
};

// A short Spanish label of a kind of finding, for reports.
std::string_view findingLabel(FindingKind kind);

struct Finding {
  FindingKind kind;
  std::string table;   // the table concerned, or empty
  std::string detail;  // UTF-8 Spanish text
};

struct TableCount {
  std::string table;
  std::size_t rows = 0;
};

class ConversionReport {
 public:
  void setRows(std::string_view table, std::size_t rows);
  void add(FindingKind kind, std::string_view table, std::string detail);

  const std::vector<TableCount>& tables() const { return tables_; }
  const std::vector<Finding>& findings() const { return findings_; }
  std::size_t count(FindingKind kind) const;

 private:
  std::vector<TableCount> tables_;
  std::vector<Finding> findings_;
};

}  // namespace vadelux::conversion
