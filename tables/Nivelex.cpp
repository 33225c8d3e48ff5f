#include "tables/Nivelex.h"

#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "common/Error.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "tables/Dbf7Writer.h"

namespace vadelux::tables {

namespace {

constexpr std::string_view kHeader = "X_OFERTAMATRIG,NIVEL_ABREV,ESTUDIO";

class CsvProblem {
 public:
  CsvProblem(const std::filesystem::path& csv, std::size_t line) : csv_(csv), line_(line) {}
  [[noreturn]] void raise(const std::string& problem) const {
    throw vadelux::Error("El archivo CSV " + csv_.string() + ", línea " + std::to_string(line_) + ": " +
                         problem);
  }

 private:
  const std::filesystem::path& csv_;
  std::size_t line_;
};

// The fields of one CSV line. Unquoted fields lose their surrounding blanks; quoted ones keep them.
std::vector<std::string> splitCsvLine(std::string_view line, const CsvProblem& problem) {
  std::vector<std::string> fields;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && line[i] == ' ') {
      ++i;
    }
    std::string field;
    if (i < line.size() && line[i] == '"') {
      ++i;
      while (true) {
        if (i >= line.size()) {
          problem.raise("faltan las comillas que cierran un campo");
        }
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += line[i++];
      }
      while (i < line.size() && line[i] == ' ') {
        ++i;
      }
      if (i < line.size() && line[i] != ',') {
        problem.raise("hay texto después de las comillas que cierran un campo");
      }
    } else {
      const std::size_t end = std::min(line.find(',', i), line.size());
      field = std::string(text::trimView(line.substr(i, end - i)));
      if (field.find('"') != std::string::npos) {
        problem.raise("un campo con comillas debe ir entero entre comillas");
      }
      i = end;
    }
    fields.push_back(std::move(field));
    if (i >= line.size()) {
      return fields;
    }
    ++i;  // the comma
  }
}

// A CSV value as Windows-1252 text that fits its field.
std::string fieldText(const std::string& utf8, const FieldDef& field, const CsvProblem& problem) {
  const std::string cp1252 = text::toWindows1252(utf8);
  if (text::toUtf8(cp1252) != utf8) {
    problem.raise("el texto '" + utf8 + "' no es UTF-8 o tiene caracteres que no caben en Windows-1252");
  }
  if (cp1252.size() > field.length) {
    problem.raise(field.name + " '" + utf8 + "' tiene " + std::to_string(cp1252.size()) +
                  " caracteres y solo caben " + std::to_string(field.length));
  }
  return cp1252;
}

std::string readCsv(const std::filesystem::path& csv) {
  std::ifstream in(csv, std::ios::binary);
  if (!in) {
    throw vadelux::Error("No se puede leer el archivo CSV " + csv.string());
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    throw vadelux::Error("No se puede leer el archivo CSV " + csv.string());
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    bytes.erase(0, 3);
  }
  return bytes;
}

}  // namespace

const std::vector<FieldDef>& nivelexFields() {
  static const std::vector<FieldDef> fields{
      {"X_OFERTAMATRIG", 'I', 4, 0}, {"NIVEL_ABREV", 'C', 10, 0}, {"ESTUDIO", 'C', 80, 0}};
  return fields;
}

void writeNivelexFromCsv(const std::filesystem::path& csv, const std::filesystem::path& dbf) {
  const std::string bytes = readCsv(csv);
  const auto& fields = nivelexFields();
  Dbf7Writer writer(dbf, fields);
  std::unordered_map<std::int64_t, std::size_t> keyLines;
  bool headerSeen = false;
  std::size_t lineNumber = 0;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) {
      end = bytes.size();
    }
    std::string_view line(bytes.data() + start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    const std::string_view trimmed = text::trimView(line);
    if (trimmed.empty() || trimmed.front() == '#') {
      continue;
    }
    const CsvProblem problem(csv, lineNumber);
    const std::vector<std::string> values = splitCsvLine(line, problem);
    if (!headerSeen) {
      if (values != std::vector<std::string>{"X_OFERTAMATRIG", "NIVEL_ABREV", "ESTUDIO"}) {
        problem.raise("la cabecera debe ser " + std::string(kHeader));
      }
      headerSeen = true;
      continue;
    }
    if (values.size() != fields.size()) {
      problem.raise("se esperaban 3 columnas y hay " + std::to_string(values.size()));
    }
    const auto key = parseInteger(values[0], std::numeric_limits<std::int32_t>::min(),
                                  std::numeric_limits<std::int32_t>::max());
    if (!key) {
      problem.raise("la clave X_OFERTAMATRIG '" + values[0] + "' no es un número entero de 32 bits");
    }
    if (const auto [seen, added] = keyLines.try_emplace(*key, lineNumber); !added) {
      problem.raise("la clave " + std::to_string(*key) + " ya está en la línea " +
                    std::to_string(seen->second));
    }
    writer.append();
    writer.setInteger(fields[0].name, *key);
    writer.setText(fields[1].name, fieldText(values[1], fields[1], problem));
    writer.setText(fields[2].name, fieldText(values[2], fields[2], problem));
  }
  if (!headerSeen) {
    throw vadelux::Error("El archivo CSV " + csv.string() + " no tiene la cabecera " + std::string(kHeader));
  }
  writer.write();
}

}  // namespace vadelux::tables
