#include "rayuela/NodeText.h"

#include "rayuela/XmlHandles.h"

namespace vadelux::rayuela::xml {
namespace {

bool isBlank(const xmlChar* s) {
  if (s == nullptr) {
    return true;
  }
  for (; *s != 0; ++s) {
    if (*s != ' ' && *s != '\t' && *s != '\n' && *s != '\r') {
      return false;
    }
  }
  return true;
}

// The next node of a walk over `top`'s subtree in document order, or null at its end.
xmlNode* nextInSubtree(xmlNode* node, const xmlNode* top, bool descend) {
  if (descend && node->children != nullptr && node->type == XML_ELEMENT_NODE) {
    return node->children;
  }
  while (node != top) {
    if (node->next != nullptr) {
      return node->next;
    }
    node = node->parent;
  }
  return nullptr;
}

}  // namespace

std::string textContent(const xmlNode* node) {
  if (node == nullptr) {
    return {};
  }
  // The usual field: an element holding one text node needs no copy through libxml2.
  const xmlNode* only = node->children;
  if (node->type == XML_ELEMENT_NODE && only != nullptr && only->next == nullptr &&
      (only->type == XML_TEXT_NODE || only->type == XML_CDATA_SECTION_NODE)) {
    return only->content != nullptr ? std::string(reinterpret_cast<const char*>(only->content))
                                    : std::string();
  }
  if (node->type == XML_ELEMENT_NODE && only == nullptr) {
    return {};
  }
  const String content(xmlNodeGetContent(node));
  return content ? std::string(reinterpret_cast<const char*>(content.get())) : std::string();
}

void dropBlankText(xmlNode* top) {
  xmlNode* node = top;
  while (node != nullptr) {
    if (node != top && node->type == XML_TEXT_NODE && isBlank(node->content)) {
      xmlNode* next = nextInSubtree(node, top, false);
      xmlUnlinkNode(node);
      xmlFreeNode(node);
      node = next;
    } else {
      node = nextInSubtree(node, top, true);
    }
  }
}

}  // namespace vadelux::rayuela::xml
