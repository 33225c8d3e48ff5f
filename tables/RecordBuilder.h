// The fields of one table being written: checks the layout once, then formats values into records
// the way dBase stores them. Shared by the level III/IV writer and the level 7 writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/TableLayout.h"

namespace vadelux::tables {

class RecordBuilder {
 public:
  // `level` is 4 (types C, N, F, L; names of up to 10 characters) or 7 (also I; names of up to 31).
  // `tableName` names the table in messages. Throws TableError when the layout cannot be written.
  RecordBuilder(std::string tableName, std::vector<FieldDef> fields, int level);

  const std::vector<FieldDef>& fields() const { return fields_; }
  std::size_t recordLength() const { return recordLength_; }

  // Index of a field by name (case ignored); TableError when the table has no such field.
  std::size_t fieldIndex(std::string_view name) const;

  // A record that is not deleted and whose fields are all blank (for an I field: no value).
  std::string blankRecord() const;

  void setText(std::string& record, std::size_t field, std::string_view cp1252) const;
  void setLogical(std::string& record, std::size_t field, bool value) const;
  void setInteger(std::string& record, std::size_t field, std::int64_t value) const;
  void setFloat(std::string& record, std::size_t field, double value) const;

  // The whole number that a record holds in an N field; a blank field gives 0.
  std::int64_t numberIn(std::string_view record, std::size_t field) const;

 private:
  void requireType(std::size_t field, std::string_view types, const char* what) const;
  void putNumber(std::string& record, std::size_t field, const std::string& digits) const;

  std::string tableName_;
  std::vector<FieldDef> fields_;
  std::vector<std::size_t> offsets_;
  std::size_t recordLength_ = 1;
};

}  // namespace vadelux::tables
