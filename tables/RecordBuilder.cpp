#include "tables/RecordBuilder.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "common/Numbers.h"
#include "common/Text.h"
#include "tables/ByteOrder.h"
#include "tables/DbfTable.h"

namespace vadelux::tables {

namespace {

constexpr std::size_t kMaxRecordLength = 65535;

std::string fieldLabel(const FieldDef& field, const std::string& table) {
  return "El campo " + text::toUtf8(field.name) + " de la tabla " + table;
}

bool validName(std::string_view name, std::size_t maxLength) {
  if (name.empty() || name.size() > maxLength) {
    return false;
  }
  for (const char c : name) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) {
      return false;
    }
  }
  return true;
}

// Whether a field definition can be stored, and why not.
std::string layoutProblem(const FieldDef& field, int level) {
  const std::size_t maxName = level == 7 ? 31 : 10;
  if (!validName(field.name, maxName)) {
    return "el nombre de campo '" + text::toUtf8(field.name) + "' no vale (letras A-Z, cifras y _, hasta " +
           std::to_string(maxName) + ")";
  }
  const std::string name = field.name;
  switch (field.type) {
    case 'C':
      if (field.length == 0 || field.length > 254 || field.decimals != 0) {
        return "el campo " + name + " de texto debe medir de 1 a 254 caracteres";
      }
      return {};
    case 'N':
    case 'F':
      if (field.length == 0 || field.length > 20 ||
          (field.decimals > 0 && field.decimals + 2 > field.length)) {
        return "el campo numérico " + name + " debe medir de 1 a 20 posiciones con sitio para sus decimales";
      }
      return {};
    case 'L':
      if (field.length != 1 || field.decimals != 0) {
        return "el campo lógico " + name + " debe medir 1";
      }
      return {};
    case 'I':
      if (level != 7 || field.length != 4 || field.decimals != 0) {
        return "el campo entero " + name + " solo existe en tablas de nivel 7 y mide 4 bytes";
      }
      return {};
    default:
      return "el campo " + name + " es de un tipo que no se puede escribir ('" + std::string(1, field.type) +
             "')";
  }
}

}  // namespace

RecordBuilder::RecordBuilder(std::string tableName, std::vector<FieldDef> fields, int level)
    : tableName_(std::move(tableName)), fields_(std::move(fields)) {
  if (fields_.empty()) {
    throw TableError("La tabla " + tableName_ + " no puede crearse sin campos");
  }
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const std::string problem = layoutProblem(fields_[i], level);
    if (!problem.empty()) {
      throw TableError("La tabla " + tableName_ + " no puede crearse: " + problem);
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (fields_[j].name == fields_[i].name) {
        throw TableError("La tabla " + tableName_ + " no puede crearse: el campo " + fields_[i].name +
                         " está repetido");
      }
    }
    offsets_.push_back(recordLength_);
    recordLength_ += fields_[i].length;
  }
  if (recordLength_ > kMaxRecordLength) {
    throw TableError("La tabla " + tableName_ + " no puede crearse: sus registros miden más de 65535 bytes");
  }
}

std::size_t RecordBuilder::fieldIndex(std::string_view name) const {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (text::equalsIgnoreCase(fields_[i].name, name)) {
      return i;
    }
  }
  throw TableError("La tabla " + tableName_ + " no tiene el campo " + text::toUtf8(name));
}

std::string RecordBuilder::blankRecord() const {
  std::string record(recordLength_, ' ');
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].type == 'I') {
      record.replace(offsets_[i], 4, 4, '\0');  // all zero bytes: no value
    }
  }
  return record;
}

void RecordBuilder::requireType(std::size_t field, std::string_view types, const char* what) const {
  if (types.find(fields_.at(field).type) == std::string_view::npos) {
    throw TableError(fieldLabel(fields_[field], tableName_) + " no admite " + what);
  }
}

void RecordBuilder::setText(std::string& record, std::size_t field, std::string_view cp1252) const {
  requireType(field, "C", "texto");
  const std::size_t width = fields_[field].length;
  const std::string_view cut = text::left(cp1252, width);
  record.replace(offsets_[field], width, width, ' ');
  record.replace(offsets_[field], cut.size(), cut);
}

void RecordBuilder::setLogical(std::string& record, std::size_t field, bool value) const {
  requireType(field, "L", "valores lógicos");
  record[offsets_[field]] = value ? 'T' : 'F';
}

void RecordBuilder::putNumber(std::string& record, std::size_t field, const std::string& digits) const {
  const std::size_t width = fields_[field].length;
  if (digits.size() > width) {
    // Never cut a number: its leading digits would be lost without a trace.
    throw TableError("El número " + digits + " no cabe en el campo " + fields_[field].name + " (" +
                     std::to_string(width) + " posiciones) de la tabla " + tableName_);
  }
  record.replace(offsets_[field], width, std::string(width - digits.size(), ' ') + digits);
}

void RecordBuilder::setInteger(std::string& record, std::size_t field, std::int64_t value) const {
  requireType(field, "NFI", "números");
  const FieldDef& def = fields_[field];
  if (def.type == 'I') {
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
      throw TableError("El número " + std::to_string(value) + " no cabe en el campo entero " + def.name +
                       " de la tabla " + tableName_);
    }
    // dBase 7 long integer: big-endian with the sign bit flipped, so that bytes sort as numbers.
    const auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) ^ 0x80000000u;
    std::string buffer(4, '\0');
    bytes::putBE32(buffer, 0, bits);
    record.replace(offsets_[field], 4, buffer);
    return;
  }
  std::string digits = std::to_string(value);
  if (def.decimals > 0) {
    digits += '.' + std::string(def.decimals, '0');
  }
  putNumber(record, field, digits);
}

void RecordBuilder::setFloat(std::string& record, std::size_t field, double value) const {
  requireType(field, "NF", "números con decimales");
  const FieldDef& def = fields_[field];
  if (!std::isfinite(value)) {
    throw TableError(fieldLabel(def, tableName_) + " no admite un valor que no es un número finito");
  }
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.*f", static_cast<int>(def.decimals), value);
  std::string digits = buffer;
  if (digits.front() == '-' && digits.find_first_not_of("-0.") == std::string::npos) {
    digits.erase(0, 1);  // a negative value that rounds to zero is stored as zero
  }
  putNumber(record, field, digits);
}

std::int64_t RecordBuilder::numberIn(std::string_view record, std::size_t field) const {
  const std::string_view stored = text::trimView(record.substr(offsets_.at(field), fields_[field].length));
  if (stored.empty()) {
    return 0;
  }
  const auto value =
      parseInteger(stored.substr(0, stored.find('.')), std::numeric_limits<std::int64_t>::min(),
                   std::numeric_limits<std::int64_t>::max());
  if (!value) {
    throw TableError(notAnIntegerMessage(stored));
  }
  return *value;
}

}  // namespace vadelux::tables
