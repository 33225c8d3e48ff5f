// Owners of libxml2 handles, private to the document reader. Each frees its handle once, never throws.
#pragma once

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <memory>

namespace vadelux::rayuela::xml {

struct DocFree {
  void operator()(xmlDoc* doc) const noexcept { xmlFreeDoc(doc); }
};
struct ParserContextFree {
  void operator()(xmlParserCtxt* ctxt) const noexcept { xmlFreeParserCtxt(ctxt); }
};
struct XPathContextFree {
  void operator()(xmlXPathContext* ctxt) const noexcept { xmlXPathFreeContext(ctxt); }
};
struct XPathObjectFree {
  void operator()(xmlXPathObject* obj) const noexcept { xmlXPathFreeObject(obj); }
};
struct StringFree {
  void operator()(xmlChar* s) const noexcept { xmlFree(s); }
};
struct NodeFree {
  void operator()(xmlNode* node) const noexcept { xmlFreeNode(node); }
};

using DocHandle = std::unique_ptr<xmlDoc, DocFree>;
using ParserContext = std::unique_ptr<xmlParserCtxt, ParserContextFree>;
using XPathContext = std::unique_ptr<xmlXPathContext, XPathContextFree>;
using XPathObject = std::unique_ptr<xmlXPathObject, XPathObjectFree>;
using String = std::unique_ptr<xmlChar, StringFree>;
// A node that is not (or no longer) part of a document.
using DetachedNode = std::unique_ptr<xmlNode, NodeFree>;

}  // namespace vadelux::rayuela::xml
