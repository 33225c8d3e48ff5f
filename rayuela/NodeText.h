// Text of libxml2 nodes as the exchange document reads it.
#pragma once

#include <libxml/tree.h>

#include <string>

namespace vadelux::rayuela::xml {

// The node's text content in UTF-8: character data and CDATA of all its descendants, entity references
// resolved, comments and processing instructions left out; the content itself for other node kinds.
std::string textContent(const xmlNode* node);

// Removes every text node below `top` that holds nothing but XML whitespace (CDATA sections stay).
void dropBlankText(xmlNode* top);

}  // namespace vadelux::rayuela::xml
