#include "tables/Dbf7Writer.h"

#include <limits>

#include "common/AtomicFile.h"
#include "common/Error.h"
#include "tables/ByteOrder.h"
#include "tables/DbfTable.h"

namespace vadelux::tables {

namespace {

constexpr std::size_t kHeaderSize = 68;
constexpr std::size_t kDescriptorSize = 48;
constexpr char kVersion = 0x04;  // dBase 7 without memo
constexpr char kLanguageDriver = 0x57;
// The language driver by name, as level 7 records it: Windows ANSI, Western Europe.
constexpr std::string_view kLanguageDriverName = "DBWINWE0";

}  // namespace

Dbf7Writer::Dbf7Writer(std::filesystem::path file, std::vector<FieldDef> fields)
    : file_(std::move(file)), builder_(file_.string(), std::move(fields), 7) {}

std::string& Dbf7Writer::current() {
  if (rows_.empty()) {
    throw TableError("No hay ninguna fila en curso en la tabla " + file_.string());
  }
  return rows_.back();
}

void Dbf7Writer::append() {
  if (rows_.size() == std::numeric_limits<std::uint32_t>::max()) {
    throw TableError("La tabla " + file_.string() + " no admite más filas");
  }
  rows_.push_back(builder_.blankRecord());
}

void Dbf7Writer::setText(std::string_view field, std::string_view cp1252) {
  builder_.setText(current(), builder_.fieldIndex(field), cp1252);
}

void Dbf7Writer::setInteger(std::string_view field, std::int64_t value) {
  builder_.setInteger(current(), builder_.fieldIndex(field), value);
}

void Dbf7Writer::setLogical(std::string_view field, bool value) {
  builder_.setLogical(current(), builder_.fieldIndex(field), value);
}

std::string Dbf7Writer::bytes(const DbfDate& date) const {
  const auto& fields = builder_.fields();
  // No field properties follow the descriptors: the header length says where the rows start.
  std::string out(kHeaderSize + kDescriptorSize * fields.size() + 1, '\0');
  out[0] = kVersion;
  out[1] = static_cast<char>(date.year - 1900);
  out[2] = static_cast<char>(date.month);
  out[3] = static_cast<char>(date.day);
  bytes::putLE32(out, 4, static_cast<std::uint32_t>(rows_.size()));
  bytes::putLE16(out, 8, static_cast<std::uint16_t>(out.size()));
  bytes::putLE16(out, 10, static_cast<std::uint16_t>(builder_.recordLength()));
  out[29] = kLanguageDriver;
  out.replace(32, kLanguageDriverName.size(), kLanguageDriverName);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::size_t at = kHeaderSize + kDescriptorSize * i;
    out.replace(at, fields[i].name.size(), fields[i].name);
    out[at + 32] = fields[i].type;
    out[at + 33] = static_cast<char>(fields[i].length);
    out[at + 34] = static_cast<char>(fields[i].decimals);
  }
  out.back() = 0x0D;
  for (const std::string& row : rows_) {
    out += row;
  }
  out += '\x1A';
  return out;
}

void Dbf7Writer::write() const {
  try {
    writeFileAtomically(file_, bytes(DbfDate::today()));
  } catch (const TableError&) {
    throw;
  } catch (const vadelux::Error& error) {
    throw TableError(error.what());
  }
}

}  // namespace vadelux::tables
