#include "rayuela/XPathQuery.h"

#include "common/Error.h"
#include "rayuela/XmlHandles.h"

namespace vadelux::rayuela::xml {
namespace {

void ignoreError(void*, xmlError*) {}

}  // namespace

std::vector<xmlNode*> selectNodes(xmlDoc* doc, const std::string& expression) {
  const XPathContext context(xmlXPathNewContext(doc));
  if (!context) {
    throw Error("No hay memoria suficiente para consultar el documento");
  }
  context->error = ignoreError;
  const XPathObject result(
      xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(expression.c_str()), context.get()));
  if (!result) {
    throw Error("No se puede evaluar la consulta " + expression);
  }
  const xmlNodeSet* set = result->type == XPATH_NODESET ? result->nodesetval : nullptr;
  if (set == nullptr || set->nodeNr <= 0) {
    return {};
  }
  return std::vector<xmlNode*>(set->nodeTab, set->nodeTab + set->nodeNr);
}

std::string xpathLiteral(const std::string& value) {
  if (value.find('"') == std::string::npos) {
    return '"' + value + '"';
  }
  if (value.find('\'') == std::string::npos) {
    return '\'' + value + '\'';
  }
  // Both quote kinds: glue the pieces between double quotes together with concat().
  std::string out = "concat(";
  std::size_t start = 0;
  for (;;) {
    const std::size_t quote = value.find('"', start);
    out += '"' + value.substr(start, quote - start) + "\"";
    if (quote == std::string::npos) {
      break;
    }
    out += ", '\"', ";
    start = quote + 1;
  }
  return out + ")";
}

}  // namespace vadelux::rayuela::xml
