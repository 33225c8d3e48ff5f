// Free Pascal's TDbf, through our tdbfdump program, as an independent reader and writer of dBase tables.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ExternalProgram.h"

namespace vadelux::interop {

// What TDbf reads from a table.
struct TdbfTable {
  int level = 0;
  std::string language;  // the language driver, as "$57"
  std::size_t records = 0;
  std::vector<std::string> fields;   // "NAME TYPE SIZE DECIMALS"
  std::vector<std::string> indexes;  // "TAG EXPRESSION"
  std::string order;                 // the tag TDbf walked, or empty
  std::vector<std::uint32_t> recordNumbers;
  std::vector<std::vector<std::string>> rows;  // values as text; "NULL" for a blank field

  // The values of one field, row by row.
  std::vector<std::string> column(std::size_t field) const;
};

// The exit status of tdbfdump when the tag cannot be opened.
constexpr int kIndexNotOpened = 3;

// Reads `dir`/`file` read-only, in `tag` order when `tag` is not empty. Fails the calling test (and
// returns nothing) when tdbfdump does not exit 0.
std::optional<TdbfTable> readWithTdbf(const std::filesystem::path& dir, const std::string& file,
                                      const std::string& tag = {});

// The raw run of tdbfdump with these arguments.
ProgramResult runTdbf(const std::vector<std::string>& args, const std::filesystem::path& input = "/dev/null");

// For each key, the record TDbf finds by searching `tag` for the first key equal or greater (0 for
// none). Fails the calling test and returns nothing when tdbfdump does not exit 0.
std::optional<std::vector<std::uint32_t>> seekWithTdbf(const std::filesystem::path& dir,
                                                       const std::string& file, const std::string& tag,
                                                       const std::vector<std::int64_t>& keys);

// Creates `dir`/`file` with TDbf: `fields` as "NAME:TYPE[:SIZE[:DEC]]", rows of values in tdbfdump's
// input format, and an index tag when `tag` is not empty. Fails the calling test when TDbf refuses.
bool createWithTdbf(const std::filesystem::path& dir, const std::string& file, int level,
                    const std::string& tag, const std::vector<std::string>& fields,
                    const std::vector<std::vector<std::string>>& rows);

}  // namespace vadelux::interop
