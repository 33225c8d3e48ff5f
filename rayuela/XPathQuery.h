// Path queries on a libxml2 document.
#pragma once

#include <libxml/tree.h>

#include <string>
#include <vector>

namespace vadelux::rayuela::xml {

// The nodes that the XPath 1.0 expression selects, in document order. libxml2 reports nothing on stderr.
std::vector<xmlNode*> selectNodes(xmlDoc* doc, const std::string& expression);

// An XPath string literal holding `value` exactly, whatever quotes it contains.
std::string xpathLiteral(const std::string& value);

}  // namespace vadelux::rayuela::xml
