#include "tables/DbfTable.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <system_error>

#include "common/Numbers.h"
#include "common/Text.h"
#include "tables/ByteOrder.h"

namespace vadelux::tables {

namespace {

struct Format {
  int level = 0;
  std::size_t headerSize = 0;      // fixed part of the header
  std::size_t descriptorSize = 0;  // one field descriptor
  bool foxPro = false;
};

// The versions that the first byte of a table names.
std::optional<Format> formatOf(unsigned char version, unsigned char mdxFlag, unsigned char languageDriver) {
  switch (version) {
    case 0x04:  // dBase 7
    case 0x8C:  // dBase 7 with memo
      return Format{7, 68, 48, false};
    case 0x8B:  // dBase IV with memo
    case 0xCB:  // dBase IV with memo and SQL table
    case 0x43:  // dBase IV SQL table
    case 0x63:  // dBase IV SQL system table
    case 0x7B:  // dBase IV with memo
      return Format{4, 32, 32, false};
    case 0x03:  // dBase III or IV without memo
    case 0x83:  // dBase III with memo
      return Format{mdxFlag != 0 || languageDriver != 0 ? 4 : 3, 32, 32, false};
    case 0x30:  // Visual FoxPro
    case 0x31:  // Visual FoxPro with autoincrement
    case 0x32:  // Visual FoxPro with varchar
    case 0xF5:  // FoxPro 2 with memo
    case 0xFB:  // FoxBASE
      return Format{3, 32, 32, true};
    default:
      return std::nullopt;
  }
}

// The width in bytes that a field of a type must have; 0 when any width of 1 or more will do,
// -1 for a type this reader does not know.
int requiredWidth(char type, std::size_t width) {
  switch (type) {
    case 'C':
    case 'N':
    case 'F':
      return 0;
    case 'L':
      return 1;
    case 'D':
    case 'O':
    case '@':
      return 8;
    case 'I':
    case '+':
      return 4;
    case 'M':
    case 'B':
    case 'G':
      return width == 4 ? 4 : 10;  // memo block number: 10 digits, or 4 bytes in FoxPro
    default:
      return -1;
  }
}

std::string hexByte(unsigned char value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "0x%02X", value);
  return buffer;
}

std::string_view withoutTrailingBlanks(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) {
    s.remove_suffix(1);
  }
  return s;
}

constexpr std::size_t kMaxFields = 1024;
constexpr double kMillisecondsPerDay = 86400000.0;
constexpr double kLastDay = 3652059;  // 9999-12-31, counting 0001-01-01 as day 1

// A whole number written as text: sign, digits and, after a point, zeros only.
std::optional<std::int64_t> wholeNumber(std::string_view s) {
  const std::size_t point = s.find('.');
  if (point != std::string_view::npos) {
    const std::string_view fraction = s.substr(point + 1);
    if (fraction.find_first_not_of('0') != std::string_view::npos) {
      return std::nullopt;
    }
    s = s.substr(0, point);
  }
  return parseInteger(s, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max());
}

std::string shortestNumber(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

void DbfTable::damaged(const std::string& problem) const {
  throw TableError("La tabla " + file_.string() + " está dañada: " + problem);
}

DbfTable DbfTable::open(const std::filesystem::path& file) {
  DbfTable table;
  table.file_ = file;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    throw TableError("No existe la tabla " + file.string());
  }
  std::ifstream in(file, std::ios::binary);
  const auto size = std::filesystem::file_size(file, ec);
  if (!in || ec) {
    throw TableError("No se puede leer la tabla " + file.string());
  }
  table.data_.resize(static_cast<std::size_t>(size));
  in.read(table.data_.data(), static_cast<std::streamsize>(size));
  if (static_cast<std::uintmax_t>(in.gcount()) != size) {
    throw TableError("No se puede leer la tabla " + file.string());
  }
  table.parse();
  return table;
}

void DbfTable::parse() {
  const std::string_view d = data_;
  if (d.empty()) {
    damaged("el archivo está vacío");
  }
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(d[i]); };
  const auto format = formatOf(at(0), d.size() > 29 ? at(28) : 0, d.size() > 29 ? at(29) : 0);
  if (!format) {
    throw TableError("El archivo " + file_.string() + " no es una tabla dBase (versión " + hexByte(at(0)) +
                     ")");
  }
  level_ = format->level;
  littleEndianIntegers_ = format->foxPro;
  if (d.size() < format->headerSize) {
    damaged("el archivo es más corto que su cabecera");
  }
  const std::uint32_t count = bytes::getLE32(d, 4);
  const std::size_t headerLength = bytes::getLE16(d, 8);
  recordLength_ = bytes::getLE16(d, 10);
  if (headerLength > d.size()) {
    damaged("el archivo es más corto que su cabecera (" + std::to_string(headerLength) + " bytes)");
  }

  // Field descriptors, up to the 0x0D that ends them.
  std::size_t pos = format->headerSize;
  const std::size_t nameSize = format->level == 7 ? 32 : 11;
  const std::size_t typeAt = format->level == 7 ? 32 : 11;
  std::size_t offset = 1;  // after the deletion flag
  while (true) {
    // No dBase level has more than 1024 fields: a longer run of descriptors has lost its end.
    if (pos >= d.size() || (at(pos) != 0x0D && pos + format->descriptorSize > d.size()) ||
        fields_.size() > kMaxFields) {
      damaged("falta el final de la descripción de los campos");
    }
    if (at(pos) == 0x0D) {
      break;
    }
    const std::string_view descriptor = d.substr(pos, format->descriptorSize);
    FieldDef field;
    field.name =
        std::string(withoutTrailingBlanks(descriptor.substr(0, descriptor.substr(0, nameSize).find('\0'))));
    field.type = descriptor[typeAt];
    field.length = static_cast<std::uint8_t>(descriptor[typeAt + 1 + (format->level == 7 ? 0 : 4)]);
    field.decimals = static_cast<std::uint8_t>(descriptor[typeAt + 2 + (format->level == 7 ? 0 : 4)]);
    // Text fields wider than 255 keep the high byte of their width in the decimals byte.
    const std::size_t width = field.type == 'C' ? field.length + 256u * field.decimals : field.length;
    const int required = requiredWidth(field.type, width);
    const std::string name = text::toUtf8(field.name);
    if (required < 0) {
      damaged("el campo " + name + " es de un tipo desconocido ('" +
              text::toUtf8(std::string(1, field.type)) + "', " +
              hexByte(static_cast<unsigned char>(field.type)) + ")");
    }
    if (width == 0 || (required > 0 && width != static_cast<std::size_t>(required))) {
      damaged("el campo " + name + " de tipo " + text::toUtf8(std::string(1, field.type)) + " mide " +
              std::to_string(width) + " bytes");
    }
    fields_.push_back(field);
    fieldOffsets_.push_back(offset);
    fieldWidths_.push_back(width);
    offset += width;
    pos += format->descriptorSize;
  }
  if (fields_.empty()) {
    damaged("no tiene campos");
  }
  if (headerLength < pos + 1) {
    damaged("la longitud de la cabecera (" + std::to_string(headerLength) + " bytes) no concuerda con sus " +
            std::to_string(fields_.size()) + " campos");
  }
  if (recordLength_ != offset) {
    damaged("la longitud de registro (" + std::to_string(recordLength_) +
            " bytes) no concuerda con la de sus campos (" + std::to_string(offset) + " bytes)");
  }
  const std::uint64_t whole = (d.size() - headerLength) / recordLength_;
  if (count > whole) {
    // Refused rather than read in part: half a table would pass for a whole one.
    damaged("la cabecera anuncia " + std::to_string(count) +
            " registros, pero el archivo solo tiene sitio para " + std::to_string(whole));
  }
  rows_.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t start = headerLength + i * recordLength_;
    if (d[start] == ' ') {
      rows_.push_back(start);
    } else if (d[start] != '*') {
      damaged("el registro " + std::to_string(i + 1) + " no empieza por una marca de borrado válida");
    }
  }
  located_.resize(fields_.size());
}

std::size_t DbfTable::fieldIndex(std::string_view name) const {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (text::equalsIgnoreCase(fields_[i].name, name)) {
      return i;
    }
  }
  throw TableError("La tabla " + file_.string() + " no tiene el campo " + text::toUtf8(name));
}

bool DbfTable::hasField(std::string_view name) const {
  for (const FieldDef& field : fields_) {
    if (text::equalsIgnoreCase(field.name, name)) {
      return true;
    }
  }
  return false;
}

std::string_view DbfTable::record(std::size_t row) const {
  if (row >= rows_.size()) {
    throw TableError("La tabla " + file_.string() + " no tiene la fila " + std::to_string(row + 1));
  }
  return std::string_view(data_).substr(rows_[row], recordLength_);
}

std::string_view DbfTable::raw(std::size_t row, std::size_t field) const {
  if (field >= fields_.size()) {
    throw TableError("La tabla " + file_.string() + " no tiene el campo número " + std::to_string(field + 1));
  }
  return record(row).substr(fieldOffsets_[field], fieldWidths_[field]);
}

namespace {

// dBase 7 long integer: big-endian with the sign bit flipped; four zero bytes mean no value.
// FoxPro stores a plain little-endian integer, which always has a value.
std::optional<std::int32_t> decodeInteger(std::string_view raw, bool littleEndian) {
  if (littleEndian) {
    return static_cast<std::int32_t>(bytes::getLE32(raw, 0));
  }
  const std::uint32_t bits = bytes::getBE32(raw, 0);
  if (bits == 0) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(bits ^ 0x80000000u);
}

// dBase 7 double: big-endian; a positive number has its sign bit flipped, a negative one every bit
// inverted, so that the bytes sort as the numbers do. Eight zero bytes mean no value.
std::optional<double> decodeDouble(std::string_view raw) {
  std::uint64_t bits = bytes::getBE64(raw, 0);
  if (bits == 0) {
    return std::nullopt;
  }
  bits = (bits >> 63) != 0 ? bits ^ (std::uint64_t{1} << 63) : ~bits;
  return std::bit_cast<double>(bits);
}

// dBase 7 timestamp: a big-endian double counting milliseconds from the start of day 1, 0001-01-01.
// Some writers flip its sign bit as for 'O'; a real timestamp is positive, so both read the same.
std::optional<double> decodeTimestamp(std::string_view raw) {
  std::uint64_t bits = bytes::getBE64(raw, 0);
  if (bits == 0) {
    return std::nullopt;
  }
  if ((bits >> 63) != 0) {
    bits ^= std::uint64_t{1} << 63;
  }
  return std::bit_cast<double>(bits);
}

}  // namespace

std::string DbfTable::text(std::size_t row, std::size_t field) const {
  const std::string_view value = raw(row, field);
  switch (fields_[field].type) {
    case 'C':
      return std::string(withoutTrailingBlanks(value));
    case 'L':
      switch (value[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
          return "T";
        case 'F':
        case 'f':
        case 'N':
        case 'n':
          return "F";
        default:
          return "";
      }
    case 'I':
    case '+': {
      const auto number = decodeInteger(value, littleEndianIntegers_);
      return number ? std::to_string(*number) : std::string();
    }
    case 'O': {
      const auto number = decodeDouble(value);
      return number ? shortestNumber(*number) : std::string();
    }
    case '@': {
      const auto stamp = decodeTimestamp(value);
      if (!stamp) {
        return "";
      }
      const double day = std::floor(*stamp / kMillisecondsPerDay);
      if (!std::isfinite(*stamp) || day < 1 || day > kLastDay) {
        damaged("el campo " + text::toUtf8(fields_[field].name) + " de la fila " + std::to_string(row + 1) +
                " no es una fecha y hora válida");
      }
      const int seconds =
          std::clamp(static_cast<int>((*stamp - day * kMillisecondsPerDay) / 1000.0), 0, 86399);
      const std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::year{1} / 1 / 1} +
                                             std::chrono::days{static_cast<long>(day) - 1}};
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%04d%02u%02u %02d:%02d:%02d", static_cast<int>(date.year()),
                    static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), seconds / 3600,
                    seconds / 60 % 60, seconds % 60);
      return buffer;
    }
    case 'M':
    case 'B':
    case 'G':
      if (value.size() == 4) {
        const std::uint32_t block = bytes::getLE32(value, 0);
        return block == 0 ? std::string() : std::to_string(block);
      }
      return std::string(text::trimView(value));
    default:  // N, F, D
      return std::string(text::trimView(value));
  }
}

std::optional<std::int64_t> DbfTable::integer(std::size_t row, std::size_t field) const {
  const std::string_view value = raw(row, field);
  switch (fields_[field].type) {
    case 'I':
    case '+':
      return decodeInteger(value, littleEndianIntegers_);
    case 'O': {
      const auto number = decodeDouble(value);
      if (!number) {
        return std::nullopt;
      }
      // 2^63 is the first double beyond the 64-bit range.
      if (*number != std::trunc(*number) || std::fabs(*number) >= 9223372036854775808.0) {
        throw TableError(notAnIntegerMessage(shortestNumber(*number)));
      }
      return static_cast<std::int64_t>(*number);
    }
    case 'C':
    case 'N':
    case 'F': {
      const std::string_view number = text::trimView(value);
      if (number.empty()) {
        return std::nullopt;
      }
      const auto whole = wholeNumber(number);
      if (!whole) {
        throw TableError(notAnIntegerMessage(number));
      }
      return whole;
    }
    default: {
      const std::string shown = text(row, field);
      if (shown.empty()) {
        return std::nullopt;
      }
      throw TableError(notAnIntegerMessage(shown));
    }
  }
}

std::optional<std::size_t> DbfTable::locate(std::size_t field, std::string_view value) const {
  if (field >= fields_.size()) {
    throw TableError("La tabla " + file_.string() + " no tiene el campo número " + std::to_string(field + 1));
  }
  auto& index = located_[field];
  if (!index) {
    index.emplace();
    index->reserve(rows_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row) {
      index->try_emplace(text(row, field), row);  // the first row of each value wins
    }
  }
  const auto found = index->find(std::string(value));
  if (found == index->end()) {
    return std::nullopt;
  }
  return found->second;
}

}  // namespace vadelux::tables
