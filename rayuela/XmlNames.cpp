#include "rayuela/XmlNames.h"

#include <libxml/tree.h>

#include "common/Error.h"
#include "common/Text.h"

namespace vadelux::rayuela::xml {

std::string checkedName(std::string_view name) {
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
