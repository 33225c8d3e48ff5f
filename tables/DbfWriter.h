// Writes a dBase table (level III/IV, language driver 0x57 Windows ANSI) and, for a layout with an index
// tag, its production index. Rows are kept in memory and the files are written by close().
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "tables/TableLayout.h"

namespace vadelux::tables {

class DbfWriter {
 public:
  // A new, empty table with `layout` at `dbfFile` (NAME.DBF); an existing file of that name is replaced
  // when the table is closed.
  static DbfWriter create(const std::filesystem::path& dbfFile, const TableLayout& layout);

  // An existing table written by create(), opened to append rows after the ones it holds.
  static DbfWriter openForAppend(const std::filesystem::path& dbfFile, const TableLayout& layout);

  DbfWriter(DbfWriter&&) noexcept;
  DbfWriter& operator=(DbfWriter&&) noexcept;
  ~DbfWriter();  // closes if still open; never throws (an error there is lost: call close())

  // Starts a new row with every field blank.
  void append();
  // Field setters work on the row being appended. Unknown field names throw TableError.
  void setText(std::string_view field, std::string_view cp1252);  // cut to the field's width
  void setLogical(std::string_view field, bool value);
  void setInteger(std::string_view field, std::int64_t value);  // TableError when it does not fit
  void setFloat(std::string_view field, double value);          // TableError when it does not fit
  // Ends the row being appended.
  void post();

  std::size_t rowCount() const;

  // Writes the table (and its index), then closes it. Throws TableError naming the file.
  void close();

 private:
  struct Impl;
  explicit DbfWriter(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace vadelux::tables
