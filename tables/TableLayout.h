// Field definitions and table layouts of the dBase layer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vadelux::tables {

struct FieldDef {
  std::string name;  // upper case; at most 10 characters at levels III/IV, 31 at level 7
  char type = 'C';   // 'C' text, 'N' number, 'F' float, 'L' logical (levels III/IV); the reader knows more
  std::uint8_t length = 0;
  std::uint8_t decimals = 0;
};

struct TableLayout {
  std::string name;  // table name without extension, upper case: "ASIGNOMT"
  std::vector<FieldDef> fields;
  // When not empty, the table gets a production index (NAME.MDX) with one ascending tag of this
  // name on the numeric field of the same name.
  std::string indexTag;
};

// The date written into table and index headers.
struct DbfDate {
  int year = 2000;
  int month = 1;
  int day = 1;
  static DbfDate today();
};

}  // namespace vadelux::tables
