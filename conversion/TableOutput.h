// A table being written by a conversion step: the dBase writer plus the report of what it cut.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "conversion/ConversionReport.h"
#include "tables/DbfWriter.h"
#include "tables/TableLayout.h"

namespace vadelux::conversion {

class TableOutput {
 public:
  // A new empty table `layout.name`.DBF in `folder`.
  static TableOutput create(const std::filesystem::path& folder, const tables::TableLayout& layout,
                            ConversionReport& report);
  // The table written earlier in this run, opened to append rows.
  static TableOutput append(const std::filesystem::path& folder, const tables::TableLayout& layout,
                            ConversionReport& report);

  void beginRow() { writer_.append(); }
  void setText(std::string_view field, std::string_view value);
  void setLogical(std::string_view field, bool value) { writer_.setLogical(field, value); }
  void setInteger(std::string_view field, std::int64_t value) { writer_.setInteger(field, value); }
  void setFloat(std::string_view field, double value) { writer_.setFloat(field, value); }
  void postRow() { writer_.post(); }

  // Writes the table and records its row count in the report.
  void close();

 private:
  TableOutput(tables::DbfWriter writer, const tables::TableLayout& layout, ConversionReport& report)
      : writer_(std::move(writer)), layout_(&layout), report_(&report) {}

  tables::DbfWriter writer_;
  const tables::TableLayout* layout_;
  ConversionReport* report_;
};

// The text a field of `width` gives back once stored: cut to the width, without the blanks that fill it.
std::string storedText(std::string_view value, std::size_t width);

// The width of a field of a layout.
std::size_t fieldWidth(const tables::TableLayout& layout, std::string_view field);

}  // namespace vadelux::conversion
