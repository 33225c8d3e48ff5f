#include "rayuela/XmlNames.h"

#include <libxml/tree.h>

#include "common/Error.h"
#include "common/Text.h"

namespace vadelux::rayuela::xml {

namespace {

// Names of ASCII letters, digits, '_', '-' and '.' that start with a letter or '_' are valid XML names
// without asking libxml2; these are all the names the export writes.
bool isPlainName(std::string_view name) {
  if (name.empty()) {
    return false;
  }
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    const bool other = (c >= '0' && c <= '9') || c == '-' || c == '.';
    if (!letter && (i == 0 || !other)) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string checkedName(std::string_view name) {
  if (isPlainName(name)) {
    return std::string(name);
  }
  std::string out(name);
  if (out.empty() || out.find('\0') != std::string::npos ||
      xmlValidateName(reinterpret_cast<const xmlChar*>(out.c_str()), 0) != 0) {
    throw Error("«" + text::toUtf8(name) + "» no es un nombre válido de elemento o atributo XML");
  }
  return out;
}

std::string documentText(std::string_view cp1252) {
  // Most values are plain ASCII, which is the same text in UTF-8.
  bool plain = true;
  for (const char c : cp1252) {
    const auto b = static_cast<unsigned char>(c);
    plain = plain && b >= 0x20 && b < 0x80;
  }
  if (plain) {
    return std::string(cp1252);
  }
  std::string clean(cp1252);
  for (char& c : clean) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') {
      c = '?';
    }
  }
  return text::toUtf8(clean);
}

}  // namespace vadelux::rayuela::xml
