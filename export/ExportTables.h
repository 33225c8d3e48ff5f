// The working tables the export reads, opened once, with the lookups of a lesson built once:
// every lookup keeps the first matching row in stored order, and an empty code never matches.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "tables/DbfTable.h"
#include "tables/TableLock.h"

namespace vadelux::exporting {

struct Slot {
  std::string dia;
  std::string coddiho;
  std::string horadesde;
  std::string horahasta;
};

struct SubjectKeys {
  std::string clave;       // Rayuela's subject key
  std::string claveCurso;  // Rayuela's course-offer key
};

class ExportTables {
 public:
  // Opens SOLUC, GRUPOST, CURSOST, PROFT, AULAT, ASIGNOMT, DIASHORAST and ASIGT in `folder`, each found
  // without regard to letter case, and keeps each under a shared lock for as long as this object lives,
  // so that no run replaces them meanwhile. Throws vadelux::Error naming a table that is missing or
  // damaged, and tables::TableInUseError naming one that another run or program holds.
  explicit ExportTables(const std::filesystem::path& folder);

  const tables::DbfTable& teachers() const { return proft_; }
  const tables::DbfTable& solution() const { return soluc_; }

  // The solution rows of a teacher's abbreviation, in stored order.
  const std::vector<std::size_t>& lessonsOf(const std::string& abbreviation) const;

  const Slot* slot(const std::string& diho) const;
  const SubjectKeys* subjectKeys(const std::string& subject, const std::string& group) const;
  const std::string* activityCode(const std::string& subject) const;
  const std::string* unitKey(const std::string& group) const;
  // The Rayuela key of a room code, when the room table holds one.
  const std::string* roomKey(const std::string& room) const;

 private:
  std::vector<tables::TableLock> locks_;  // first, so that every table is locked before it is read
  tables::DbfTable soluc_;
  tables::DbfTable grupost_;
  tables::DbfTable cursost_;
  tables::DbfTable proft_;
  tables::DbfTable aulat_;
  tables::DbfTable asignomt_;
  tables::DbfTable diashorast_;
  tables::DbfTable asigt_;

  std::unordered_map<std::string, std::vector<std::size_t>> lessonsByTeacher_;
  std::unordered_map<std::string, Slot> slots_;
  std::unordered_map<std::string, SubjectKeys> subjectKeys_;  // key: subject + '\0' + group
  std::unordered_map<std::string, std::string> activityCodes_;
  std::unordered_map<std::string, std::string> unitKeys_;
  std::unordered_map<std::string, std::string> roomKeys_;
};

}  // namespace vadelux::exporting
