// A working folder, a Rayuela file and the tables a step wrote, for the conversion tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Text.h"
#include "rayuela/Document.h"
#include "tables/DbfTable.h"
#include "tests/support/RayuelaXml.h"
#include "tests/support/TempFolder.h"

namespace vadelux::testing {

class ConversionFixture : public ::testing::Test {
 protected:
  // Writes the groups as a file and loads it.
  rayuela::Document load(const std::vector<Group>& groups) {
    const auto file = dir_ / "rayuela.xml";
    writeText(file, rayuelaXml(groups));
    return rayuela::Document::load(file);
  }

  // One field of every row of a table of the folder, as UTF-8 text.
  std::vector<std::string> column(const std::string& table, const std::string& field) const {
    const auto t = tables::DbfTable::open(dir_ / (table + ".DBF"));
    std::vector<std::string> values;
    for (std::size_t row = 0; row < t.rowCount(); ++row) {
      values.push_back(text::toUtf8(t.text(row, field)));
    }
    return values;
  }

  const std::filesystem::path& folder() const { return dir_.path(); }

  TempFolder dir_;
};

}  // namespace vadelux::testing
