#include "rayuela/Element.h"

#include <libxml/tree.h>

#include <string>

#include "common/Error.h"
#include "rayuela/XmlNames.h"

namespace vadelux::rayuela {
namespace {

const xmlChar* chars(const std::string& s) {
  return reinterpret_cast<const xmlChar*>(s.c_str());
}

[[noreturn]] void outOfMemory() {
  throw Error("No hay memoria suficiente para construir el documento");
}

}  // namespace

Element Element::appendElement(std::string_view name) {
  auto* parent = static_cast<xmlNode*>(node_);
  const std::string checked = xml::checkedName(name);
  xmlNode* child = xmlNewDocNode(parent->doc, nullptr, chars(checked), nullptr);
  if (child == nullptr) {
    outOfMemory();
  }
  xmlAddChild(parent, child);
  return Element(child);
}

void Element::setAttribute(std::string_view name, std::string_view value) {
  auto* node = static_cast<xmlNode*>(node_);
  const std::string checked = xml::checkedName(name);
  // xmlSetProp takes the value as plain text (no entity parsing) and keeps an existing attribute's place.
  if (xmlSetProp(node, chars(checked), chars(xml::documentText(value))) == nullptr) {
    outOfMemory();
  }
}

void Element::setText(std::string_view value) {
  auto* node = static_cast<xmlNode*>(node_);
  const std::string utf8 = xml::documentText(value);
  xmlNodeSetContent(node, nullptr);
  if (utf8.empty()) {
    return;
  }
  // A text node holds its content as is; the writer escapes it.
  xmlNode* text = xmlNewDocTextLen(node->doc, chars(utf8), static_cast<int>(utf8.size()));
  if (text == nullptr) {
    outOfMemory();
  }
  xmlAddChild(node, text);
}

}  // namespace vadelux::rayuela
