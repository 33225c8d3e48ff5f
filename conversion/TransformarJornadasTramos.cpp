// School days and time slots: the chosen template's slots for the seven days in DIASHORAST2, the same
// rows renumbered by start time in DIASHORAST, and the template's dates in PERIODOS.
#include <algorithm>
#include <numeric>
#include <vector>

#include "common/Numbers.h"
#include "common/Text.h"
#include "conversion/ClockText.h"
#include "conversion/StepSupport.h"
#include "conversion/Steps.h"
#include "conversion/TableOutput.h"
#include "tables/WorkingLayouts.h"

namespace vadelux::conversion {
namespace {

constexpr int kDays = 7;

// One DIASHORAST2 row as stored, kept to renumber it.
struct SlotRow {
  std::string dia;
  std::string coddiho;
  std::string textohor;
  std::string horadesde;
  std::string horahasta;
  std::string minutos;
  std::int64_t orden;
};

std::string chooseTemplate(const std::vector<rayuela::Record>& templates, const TemplateChooser& chooser,
                           ConversionReport& report) {
  if (templates.size() > 1) {
    return chooser ? text::trim(chooser(templates)) : std::string();
  }
  if (templates.empty()) {
    report.add(FindingKind::NoTemplate, "PERIODOS",
               "el archivo no tiene plantillas horarias (JORNADAS_ESCOLARES): no se crean tramos");
    return std::string();
  }
  return templates.front().trimmedField(0);
}

}  // namespace

std::string TransformarJornadasTramos(const rayuela::Document& doc, const std::filesystem::path& folder,
                                      const TemplateChooser& chooser, ConversionReport& report) {
  const auto& gridLayout = tables::layouts::diashorast();
  const auto& rawLayout = tables::layouts::diashorast2();
  const auto& periodLayout = tables::layouts::periodos();
  auto grid = TableOutput::create(folder, gridLayout, report);
  auto raw = TableOutput::create(folder, rawLayout, report);
  auto periods = TableOutput::create(folder, periodLayout, report);

  const std::string jornada = chooseTemplate(doc.records("JORNADAS_ESCOLARES"), chooser, report);

  // Every slot of the chosen template, for each day; k counts every slot record of any template.
  std::vector<SlotRow> rows;
  int k = 1;
  for (const auto& record : doc.records("TRAMOS_HORARIOS")) {
    if (!passesGuard(record, "TRAMOS_HORARIOS", report)) {
      continue;
    }
    if (record.trimmedField(4) == jornada) {
      noteMissingPositions(record, 4, "TRAMOS_HORARIOS", report);
      const std::int32_t start = toInt32(record.trimmedField(2));
      const std::int32_t end = toInt32(record.trimmedField(3));
      const std::string key = record.trimmedField(0);
      const std::string text = record.trimmedField(1);
      for (int day = 1; day <= kDays; ++day) {
        const std::string dia = std::to_string(day);
        const std::string hora = std::to_string(k);
        raw.beginRow();
        raw.setText("DIHO", dia + hora);
        raw.setText("CODDIHO", key);
        raw.setText("DIA", dia);
        raw.setText("HORA", hora);
        raw.setText("TEXTOHOR", text);
        raw.setText("HORADESDE", clockText(start));
        raw.setText("HORAHASTA", clockText(end));
        raw.setText("MINUTOS", std::to_string(static_cast<std::int64_t>(end) - start));
        raw.setInteger("ORDEN", start);
        raw.postRow();
        rows.push_back(SlotRow{dia, storedText(key, fieldWidth(rawLayout, "CODDIHO")),
                               storedText(text, fieldWidth(rawLayout, "TEXTOHOR")),
                               storedText(clockText(start), fieldWidth(rawLayout, "HORADESDE")),
                               storedText(clockText(end), fieldWidth(rawLayout, "HORAHASTA")),
                               storedText(std::to_string(static_cast<std::int64_t>(end) - start),
                                          fieldWidth(rawLayout, "MINUTOS")),
                               start});
      }
    } else {
      report.add(FindingKind::SlotOfOtherTemplate, rawLayout.name,
                 "el tramo '" + text::toUtf8(record.trimmedField(1)) + "' es de la plantilla '" +
                     text::toUtf8(record.trimmedField(4)) + "'");
    }
    ++k;
  }
  raw.close();

  // The grid in ORDEN order (equal start times in the order they were appended), periods renumbered
  // 1, 2, 3, ... by distinct start time.
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return rows[a].orden < rows[b].orden; });
  int period = 1;
  std::int64_t previous = order.empty() ? 0 : rows[order.front()].orden;
  for (const std::size_t i : order) {
    const SlotRow& row = rows[i];
    if (row.orden > previous) {
      ++period;
      previous = row.orden;
    }
    const std::string hora = std::to_string(period);
    grid.beginRow();
    grid.setText("DIHO", row.dia + hora);
    grid.setText("CODDIHO", row.coddiho);
    grid.setText("DIA", row.dia);
    grid.setText("HORA", hora);
    grid.setText("TEXTOHOR", row.textohor);
    grid.setText("HORADESDE", row.horadesde);
    grid.setText("HORAHASTA", row.horahasta);
    grid.setText("MINUTOS", row.minutos);
    grid.postRow();
  }
  grid.close();

  // The chosen template's dates.
  for (const auto& record : doc.records("JORNADAS_ESCOLARES")) {
    if (record.trimmedField(0) != jornada) {
      continue;
    }
    periods.beginRow();
    periods.setText("CJORNADA", record.trimmedField(0));
    periods.setText("JORNADA", record.trimmedField(1));
    periods.setText("FECINI", record.trimmedField(2));
    periods.setText("FECFIN", record.trimmedField(3));
    periods.postRow();
  }
  periods.close();
  return jornada;
}

}  // namespace vadelux::conversion
