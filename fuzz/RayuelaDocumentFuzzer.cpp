// Fuzz target: an exchange file loaded, read through the record query the way the conversion reads it,
// then rebuilt and saved the way the export does, and loaded again.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/Error.h"
#include "common/Text.h"
#include "fuzz/ScratchFolder.h"
#include "rayuela/Document.h"

namespace {

// Every group the program reads (the first eight), and names that test the query's quoting.
constexpr std::array<std::string_view, 12> kGroupArray = {"MATERIAS",
                                                          "ACTIVIDADES",
                                                          "EMPLEADOS",
                                                          "DEPENDENCIAS",
                                                          "CURSOS_DEL_CENTRO",
                                                          "UNIDADES",
                                                          "JORNADAS_ESCOLARES",
                                                          "TRAMOS_HORARIOS",
                                                          "ANNO_ACADEMICO",
                                                          "A\"B",
                                                          "A'B",
                                                          "\xD1"};
constexpr std::span<const std::string_view> kGroups = kGroupArray;

bool isAllBlank(std::string_view s) {
  return vadelux::text::trimView(s).empty();
}

std::vector<std::vector<std::string>> fieldsOf(const vadelux::rayuela::Document& doc,
                                               std::string_view group) {
  std::vector<std::vector<std::string>> out;
  for (const auto& record : doc.records(group)) {
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < record.fieldCount(); ++i) {
      fields.push_back(record.field(i));
    }
    out.push_back(std::move(fields));
  }
  return out;
}

void readEveryField(const vadelux::rayuela::Document& doc) {
  for (const std::string_view group : kGroups) {
    for (const auto& record : doc.records(group)) {
      if (record.passesGuard() != (record.fieldCount() >= 2)) {
        vadelux::fuzz::fail("record guard");
      }
      // One position past the end as well: a missing field reads as empty text.
      for (std::size_t i = 0; i <= record.fieldCount() + 1; ++i) {
        const std::string& value = record.field(i);
        const std::string trimmed = record.trimmedField(i);
        if (i >= record.fieldCount() && !value.empty()) {
          vadelux::fuzz::fail("missing field not empty");
        }
        if (value.find(trimmed) == std::string::npos || trimmed != vadelux::text::trim(value)) {
          vadelux::fuzz::fail("trimmed field");
        }
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace rayuela = vadelux::rayuela;
  const auto& scratch = vadelux::fuzz::scratch();
  const auto input = scratch.write("entrada.xml", data, size);
  std::optional<rayuela::Document> doc;
  try {
    doc.emplace(rayuela::Document::load(input));
  } catch (const rayuela::DocumentError&) {
    return 0;
  }
  readEveryField(*doc);

  // The lighter loads that the two runs use see the same file: the conversion's the same records of
  // the groups it reads, the export's the same year code.
  try {
    const auto forConversion = rayuela::Document::loadGroupsRead(input);
    for (const std::string_view group : kGroups.subspan(0, 8)) {
      if (fieldsOf(forConversion, group) != fieldsOf(*doc, group)) {
        vadelux::fuzz::fail("records of a group read differ in the conversion's load");
      }
    }
    if (rayuela::Document::loadEnvelope(input).dataBlockFirstChildText() != doc->dataBlockFirstChildText()) {
      vadelux::fuzz::fail("year code differs in the export's load");
    }
  } catch (const rayuela::DocumentError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    vadelux::fuzz::fail("a lighter load refuses a file that loads whole");
  }
  const std::string yearCode =
      std::string(vadelux::text::left(doc->dataBlockFirstChildText().value_or(""), 5));
  const std::string encoding = doc->encoding();

  // Rebuilt as the export rebuilds it, with values taken from the file itself.
  std::string someValue;
  const auto materias = doc->records("MATERIAS");
  if (!materias.empty()) {
    someValue = materias.front().field(0);
  }
  rayuela::Element servicio = doc->replaceRoot("SERVICIO");
  servicio.setAttribute("modulo", "HORARIOS");
  servicio.setAttribute("fecha", someValue);
  rayuela::Element bloque = servicio.appendElement("BLOQUE_DATOS");
  rayuela::Element anno = bloque.appendElement("grupo_datos");
  anno.setAttribute("seq", "ANNO_ACADEMICO");
  rayuela::Element cAnno = anno.appendElement("dato");
  cAnno.setAttribute("nombre_dato", "C_ANNO");
  cAnno.setText(yearCode);
  rayuela::Element regular = bloque.appendElement("grupo_datos");
  regular.setAttribute("seq", "MATERIAS");
  rayuela::Element record = regular.appendElement("grupo_datos");
  record.appendElement("dato").setText(someValue);
  record.appendElement("dato").setText(yearCode);

  const auto output = scratch / "salida.xml";
  try {
    doc->save(output);
  } catch (const vadelux::Error&) {
    return 0;  // an encoding that cannot hold the values: refused with a message
  }

  // What the program writes, it reads back: same encoding, same values (blank text is dropped on loading).
  std::optional<rayuela::Document> again;
  try {
    again.emplace(rayuela::Document::load(output));
  } catch (const rayuela::DocumentError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    vadelux::fuzz::fail("saved document does not load");
  }
  if (again->encoding() != encoding) {
    vadelux::fuzz::fail("encoding changed");
  }
  const std::string readYear = again->dataBlockFirstChildText().value_or("");
  if (readYear != yearCode && !(readYear.empty() && isAllBlank(yearCode))) {
    vadelux::fuzz::fail("year code changed");
  }
  const auto records = again->records("MATERIAS");
  if (records.size() != 1) {
    vadelux::fuzz::fail("written record lost");
  }
  const std::string& readValue = records.front().field(0);
  if (readValue != someValue && !(readValue.empty() && isAllBlank(someValue))) {
    vadelux::fuzz::fail("written value changed");
  }
  return 0;
}
