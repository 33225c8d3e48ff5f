// Fuzz target: a dBase table of any level opened from a file, every field of every row read as text and
// as a whole number, and the first-match lookup checked against a plain scan.
#include <cstdint>
#include <optional>
#include <string>

#include "common/Error.h"
#include "common/Text.h"
#include "fuzz/ScratchFolder.h"
#include "tables/DbfTable.h"

namespace {

std::optional<std::string> textOf(const vadelux::tables::DbfTable& table, std::size_t row,
                                  std::size_t field) {
  try {
    return table.text(row, field);
  } catch (const vadelux::Error&) {
    return std::nullopt;  // a value that is refused with a message, like a timestamp out of range
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace tables = vadelux::tables;
  const auto file = vadelux::fuzz::scratch().write("TABLA.DBF", data, size);
  std::optional<tables::DbfTable> table;
  try {
    table.emplace(tables::DbfTable::open(file));
  } catch (const tables::TableError&) {
    return 0;
  }
  const auto& fields = table->fields();
  if (fields.empty()) {
    vadelux::fuzz::fail("table without fields");
  }
  std::size_t recordLength = 1;  // the deletion flag
  for (std::size_t f = 0; f < fields.size(); ++f) {
    // A name finds its own field or an earlier one of the same name.
    if (table->fieldIndex(fields[f].name) > f || !table->hasField(fields[f].name)) {
      vadelux::fuzz::fail("field by name");
    }
    // Text fields wider than 255 keep the high byte of their width in the decimals byte.
    recordLength += fields[f].type == 'C' ? fields[f].length + 256u * fields[f].decimals : fields[f].length;
  }
  for (std::size_t row = 0; row < table->rowCount(); ++row) {
    if (table->record(row).size() != recordLength || table->record(row)[0] != ' ') {
      vadelux::fuzz::fail("a row of the wrong length, or one marked deleted");
    }
    for (std::size_t f = 0; f < fields.size(); ++f) {
      const auto value = textOf(*table, row, f);
      if (value && fields[f].type == 'C' && !value->empty() &&
          (value->back() == ' ' || value->back() == '\0')) {
        vadelux::fuzz::fail("text keeps its padding");
      }
      try {
        const auto number = table->integer(row, f);
        if (number && value && (fields[f].type == 'N' || fields[f].type == 'C') && value->empty()) {
          vadelux::fuzz::fail("a number from a blank field");
        }
      } catch (const vadelux::Error&) {
      }
    }
  }
  // The lookup keeps the first row of each value.
  for (std::size_t f = 0; f < fields.size(); ++f) {
    for (std::size_t row = 0; row < table->rowCount(); ++row) {
      const auto value = textOf(*table, row, f);
      if (!value) {
        break;
      }
      std::optional<std::size_t> found;
      try {
        found = table->locate(f, *value);
      } catch (const vadelux::Error&) {
        break;  // another row of the field holds a refused value
      }
      if (!found || *found > row || textOf(*table, *found, f) != value) {
        vadelux::fuzz::fail("locate");
      }
    }
  }
  return 0;
}
