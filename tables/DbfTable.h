// Reads a whole dBase table (levels III, IV and 7) into memory and serves its rows by position.
// Damaged files are refused with a TableError naming the file and the problem.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/Error.h"
#include "tables/TableLayout.h"

namespace vadelux::tables {

class TableError : public vadelux::Error {
 public:
  using vadelux::Error::Error;
};

class DbfTable {
 public:
  static DbfTable open(const std::filesystem::path& file);

  const std::filesystem::path& file() const { return file_; }
  int level() const { return level_; }  // 3, 4 or 7
  const std::vector<FieldDef>& fields() const { return fields_; }

  // Rows that are not marked deleted, in stored order.
  std::size_t rowCount() const { return rows_.size(); }

  // Index of a field by name (case ignored); TableError naming the file and the field when absent.
  std::size_t fieldIndex(std::string_view name) const;
  bool hasField(std::string_view name) const;

  // A field as text, the way the database layer delivers it: text without the blanks that fill it to
  // its width, numbers without padding, logicals "T"/"F", dates YYYYMMDD; blank fields give "".
  std::string text(std::size_t row, std::size_t field) const;
  std::string text(std::size_t row, std::string_view field) const { return text(row, fieldIndex(field)); }

  // A field as a whole number; nothing for a blank field. Text that is no whole number throws
  // TableError "'%s' no es un valor entero válido".
  std::optional<std::int64_t> integer(std::size_t row, std::size_t field) const;

  // The first row whose field, as text, equals `value` exactly. Each field is indexed on first use,
  // so repeated lookups cost no scan.
  std::optional<std::size_t> locate(std::size_t field, std::string_view value) const;

  // A row exactly as stored: its deletion flag, then every field at its width.
  std::string_view record(std::size_t row) const;

 private:
  void parse();
  [[noreturn]] void damaged(const std::string& problem) const;
  std::string_view raw(std::size_t row, std::size_t field) const;

  std::filesystem::path file_;
  int level_ = 0;
  std::vector<FieldDef> fields_;
  std::vector<std::size_t> fieldOffsets_;
  std::vector<std::size_t> fieldWidths_;
  std::size_t recordLength_ = 0;
  bool littleEndianIntegers_ = false;  // FoxPro tables store I fields little-endian
  std::string data_;                   // the whole file
  std::vector<std::size_t> rows_;      // byte offsets of the rows that are not deleted
  mutable std::vector<std::optional<std::unordered_map<std::string, std::size_t>>> located_;
};

}  // namespace vadelux::tables
