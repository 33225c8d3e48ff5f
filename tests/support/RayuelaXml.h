// Builds small Rayuela exchange files for tests: groups of records of `dato` fields.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace vadelux::testing {

using Fields = std::vector<std::string>;  // UTF-8 texts of one record's dato children

struct Group {
  std::string seq;
  std::vector<Fields> records;
};

inline std::string escapeXml(const std::string& s) {
  std::string out;
  for (const char c : s) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// A UTF-8 document with the groups inside /SERVICIO/BLOQUE_DATOS, indented as Rayuela writes it.
inline std::string rayuelaXml(const std::vector<Group>& groups, const std::string& firstChild = "") {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO modulo=\"HORARIOS\" tipo=\"E\">\n";
  xml += "  <BLOQUE_DATOS>\n" + firstChild;
  for (const auto& g : groups) {
    xml += "    <grupo_datos seq=\"" + g.seq + "\" registros=\"" + std::to_string(g.records.size()) + "\">\n";
    for (const auto& r : g.records) {
      xml += "      <grupo_datos>";
      for (const auto& f : r) {
        xml += "<dato>" + escapeXml(f) + "</dato>";
      }
      xml += "</grupo_datos>\n";
    }
    xml += "    </grupo_datos>\n";
  }
  xml += "  </BLOQUE_DATOS>\n</SERVICIO>\n";
  return xml;
}

inline void writeText(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary);
  out << text;
}

}  // namespace vadelux::testing
