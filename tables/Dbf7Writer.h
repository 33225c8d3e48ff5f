// Writes a small dBase 7 table: field names of up to 31 characters, types C, N, L and I (a 32-bit
// integer). Used for the lookup table NIVELEX.DBF, whose field names do not fit the 10 characters of
// levels III and IV. Rows are kept in memory; write() stores the whole file at once.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tables/RecordBuilder.h"
#include "tables/TableLayout.h"

namespace vadelux::tables {

class Dbf7Writer {
 public:
  // Throws TableError when the fields cannot be stored at level 7.
  Dbf7Writer(std::filesystem::path file, std::vector<FieldDef> fields);

  // Starts a new row with every field blank.
  void append();
  void setText(std::string_view field, std::string_view cp1252);  // cut to the field's width
  void setInteger(std::string_view field, std::int64_t value);    // TableError when it does not fit
  void setLogical(std::string_view field, bool value);

  std::size_t rowCount() const { return rows_.size(); }

  // The file's bytes as write() stores them.
  std::string bytes(const DbfDate& date) const;

  // Replaces the file atomically. Throws TableError naming the file.
  void write() const;

 private:
  std::string& current();

  std::filesystem::path file_;
  RecordBuilder builder_;
  std::vector<std::string> rows_;
};

}  // namespace vadelux::tables
