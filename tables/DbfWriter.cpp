#include "tables/DbfWriter.h"

#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/AtomicFile.h"
#include "common/Text.h"
#include "tables/ByteOrder.h"
#include "tables/DbfTable.h"
#include "tables/MdxWriter.h"
#include "tables/RecordBuilder.h"

namespace vadelux::tables {

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr char kVersion = 0x03;         // dBase III/IV table without memo
constexpr char kLanguageDriver = 0x57;  // Windows ANSI (code page 1252)

std::optional<std::size_t> tagField(const TableLayout& layout) {
  if (layout.indexTag.empty()) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < layout.fields.size(); ++i) {
    if (layout.fields[i].name == layout.indexTag) {
      if (layout.fields[i].type != 'N' && layout.fields[i].type != 'F') {
        break;
      }
      return i;
    }
  }
  throw TableError("La tabla " + layout.name + " no puede crearse: su índice " + layout.indexTag +
                   " no es un campo numérico de la tabla");
}

std::string header(const TableLayout& layout, const RecordBuilder& builder, std::uint32_t rowCount,
                   const DbfDate& date, std::optional<std::size_t> indexed) {
  const std::size_t fieldCount = layout.fields.size();
  std::string out(kHeaderSize + kDescriptorSize * fieldCount + 1, '\0');
  out[0] = kVersion;
  out[1] = static_cast<char>(date.year - 1900);
  out[2] = static_cast<char>(date.month);
  out[3] = static_cast<char>(date.day);
  bytes::putLE32(out, 4, rowCount);
  bytes::putLE16(out, 8, static_cast<std::uint16_t>(out.size()));
  bytes::putLE16(out, 10, static_cast<std::uint16_t>(builder.recordLength()));
  out[28] = indexed ? 0x01 : 0x00;  // the table has a production index
  out[29] = kLanguageDriver;
  for (std::size_t i = 0; i < fieldCount; ++i) {
    const FieldDef& field = layout.fields[i];
    const std::size_t at = kHeaderSize + kDescriptorSize * i;
    out.replace(at, field.name.size(), field.name);
    out[at + 11] = field.type;
    out[at + 16] = static_cast<char>(field.length);
    out[at + 17] = static_cast<char>(field.decimals);
    // dBase IV marks the field that has a tag in the production index.
    out[at + 31] = indexed == i ? 0x01 : 0x00;
  }
  out.back() = 0x0D;
  return out;
}

std::filesystem::path indexFileOf(const std::filesystem::path& dbfFile) {
  std::filesystem::path mdx = dbfFile;
  mdx.replace_extension(dbfFile.extension() == ".dbf" ? ".mdx" : ".MDX");
  return mdx;
}

}  // namespace

struct DbfWriter::Impl {
  Impl(std::filesystem::path dbfFile, const TableLayout& tableLayout)
      : file(std::move(dbfFile)),
        layout(tableLayout),
        builder(file.string(), layout.fields, 4),
        indexed(tagField(layout)) {}

  void requireOpen() const {
    if (!open) {
      throw TableError("La tabla " + file.string() + " ya está cerrada");
    }
  }
  std::string& row() {
    requireOpen();
    if (!current) {
      throw TableError("No hay ninguna fila en curso en la tabla " + file.string());
    }
    return *current;
  }
  void post() {
    if (!current) {
      return;
    }
    if (count == std::numeric_limits<std::uint32_t>::max()) {
      throw TableError("La tabla " + file.string() + " no admite más filas");
    }
    if (indexed) {
      keys.push_back(builder.numberIn(*current, *indexed));
    }
    records += *current;
    ++count;
    current.reset();
  }
  void close() {
    if (!open) {
      return;
    }
    post();
    const DbfDate date = DbfDate::today();
    std::string bytes = header(layout, builder, count, date, indexed);
    bytes += records;
    bytes += '\x1A';
    // Tables are built in a staging folder, whose publishing syncs them all at once before they replace
    // the working tables; a sync of each file here would cost one disk flush per table.
    try {
      writeFileAtomically(file, bytes, FileSync::Deferred);
      if (indexed) {
        writeFileAtomically(indexFileOf(file), buildProductionMdx(layout.name, layout.indexTag, keys, date),
                            FileSync::Deferred);
      }
    } catch (const TableError&) {
      throw;
    } catch (const vadelux::Error& error) {
      throw TableError(error.what());
    }
    open = false;
  }

  std::filesystem::path file;
  TableLayout layout;
  RecordBuilder builder;
  std::optional<std::size_t> indexed;  // the field of the index tag
  std::string records;                 // the rows posted so far, as stored
  std::vector<std::int64_t> keys;      // index keys in record order
  std::uint32_t count = 0;
  std::optional<std::string> current;  // the row being appended
  bool open = true;
};

DbfWriter::DbfWriter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
DbfWriter::DbfWriter(DbfWriter&&) noexcept = default;
DbfWriter& DbfWriter::operator=(DbfWriter&& other) noexcept {
  if (this != &other) {
    if (impl_) {
      try {
        impl_->close();
      } catch (...) {
      }
    }
    impl_ = std::move(other.impl_);
  }
  return *this;
}

DbfWriter::~DbfWriter() {
  if (impl_) {
    try {
      impl_->close();
    } catch (...) {
      // A destructor must not throw; callers that care call close().
    }
  }
}

DbfWriter DbfWriter::create(const std::filesystem::path& dbfFile, const TableLayout& layout) {
  return DbfWriter(std::make_unique<Impl>(dbfFile, layout));
}

DbfWriter DbfWriter::openForAppend(const std::filesystem::path& dbfFile, const TableLayout& layout) {
  auto impl = std::make_unique<Impl>(dbfFile, layout);
  const DbfTable existing = DbfTable::open(dbfFile);
  bool same = existing.level() != 7 && existing.fields().size() == layout.fields.size();
  for (std::size_t i = 0; same && i < layout.fields.size(); ++i) {
    const FieldDef& a = existing.fields()[i];
    const FieldDef& b = layout.fields[i];
    same = a.name == b.name && a.type == b.type && a.length == b.length && a.decimals == b.decimals;
  }
  if (!same) {
    throw TableError("La tabla " + dbfFile.string() + " no tiene la estructura de " + layout.name);
  }
  for (std::size_t row = 0; row < existing.rowCount(); ++row) {
    impl->current = std::string(existing.record(row));
    impl->post();
  }
  return DbfWriter(std::move(impl));
}

void DbfWriter::append() {
  impl_->requireOpen();
  impl_->post();
  impl_->current = impl_->builder.blankRecord();
}

void DbfWriter::setText(std::string_view field, std::string_view cp1252) {
  impl_->builder.setText(impl_->row(), impl_->builder.fieldIndex(field), cp1252);
}

void DbfWriter::setLogical(std::string_view field, bool value) {
  impl_->builder.setLogical(impl_->row(), impl_->builder.fieldIndex(field), value);
}

void DbfWriter::setInteger(std::string_view field, std::int64_t value) {
  impl_->builder.setInteger(impl_->row(), impl_->builder.fieldIndex(field), value);
}

void DbfWriter::setFloat(std::string_view field, double value) {
  impl_->builder.setFloat(impl_->row(), impl_->builder.fieldIndex(field), value);
}

void DbfWriter::post() {
  impl_->requireOpen();
  if (!impl_->current) {
    throw TableError("No hay ninguna fila en curso en la tabla " + impl_->file.string());
  }
  impl_->post();
}

std::size_t DbfWriter::rowCount() const {
  return impl_->count + (impl_->current ? 1 : 0);
}

void DbfWriter::close() {
  impl_->close();
}

}  // namespace vadelux::tables
