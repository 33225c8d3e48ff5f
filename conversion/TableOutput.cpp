#include "conversion/TableOutput.h"

#include "common/Error.h"
#include "common/Text.h"

namespace vadelux::conversion {

std::size_t fieldWidth(const tables::TableLayout& layout, std::string_view field) {
  for (const auto& f : layout.fields) {
    if (f.name == field) {
      return f.length;
    }
  }
  throw Error("La tabla " + layout.name + " no tiene el campo " + std::string(field));
}

std::string storedText(std::string_view value, std::size_t width) {
  std::string_view stored = text::left(value, width);
  while (!stored.empty() && stored.back() == ' ') {
    stored.remove_suffix(1);
  }
  return std::string(stored);
}

TableOutput TableOutput::create(const std::filesystem::path& folder, const tables::TableLayout& layout,
                                ConversionReport& report) {
  return TableOutput(tables::DbfWriter::create(folder / (layout.name + ".DBF"), layout), layout, report);
}

TableOutput TableOutput::append(const std::filesystem::path& folder, const tables::TableLayout& layout,
                                ConversionReport& report) {
  return TableOutput(tables::DbfWriter::openForAppend(folder / (layout.name + ".DBF"), layout), layout,
                     report);
}

void TableOutput::setText(std::string_view field, std::string_view value) {
  const std::size_t width = fieldWidth(*layout_, field);
  if (value.size() > width) {
    report_->add(FindingKind::TextCut, layout_->name,
                 std::string(field) + " '" + text::toUtf8(value) + "' queda en '" +
                     text::toUtf8(text::left(value, width)) + "'");
  }
  writer_.setText(field, value);
}

void TableOutput::close() {
  writer_.close();
  report_->setRows(layout_->name, writer_.rowCount());
}

}  // namespace vadelux::conversion
