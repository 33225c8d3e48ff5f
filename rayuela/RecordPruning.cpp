#include "rayuela/RecordPruning.h"

#include <libxml/SAX2.h>
#include <libxml/tree.h>

namespace vadelux::rayuela::xml {
namespace {

bool isBlank(const xmlChar* s) {
  for (; s != nullptr && *s != 0; ++s) {
    if (*s != ' ' && *s != '\t' && *s != '\n' && *s != '\r') {
      return false;
    }
  }
  return true;
}

bool isElement(const xmlNode* node, const char* name) {
  return node != nullptr && node->type == XML_ELEMENT_NODE && node->ns == nullptr &&
         xmlStrEqual(node->name, reinterpret_cast<const xmlChar*>(name)) != 0;
}

// A child of /SERVICIO/BLOQUE_DATOS that is not its first child once blank text is dropped.
bool isLaterGroup(const xmlNode* node) {
  if (node == nullptr || node->type != XML_ELEMENT_NODE || !isElement(node->parent, "BLOQUE_DATOS")) {
    return false;
  }
  const xmlNode* root = node->parent->parent;
  if (!isElement(root, "SERVICIO") || root->parent == nullptr || root->parent->type != XML_DOCUMENT_NODE) {
    return false;
  }
  for (const xmlNode* before = node->prev; before != nullptr; before = before->prev) {
    if (before->type != XML_TEXT_NODE || !isBlank(before->content)) {
      return true;
    }
  }
  return false;
}

// A child of /SERVICIO/BLOQUE_DATOS after the first that is not a data group whose records the program
// reads.
bool isUnreadGroup(const xmlNode* node) {
  if (!isLaterGroup(node)) {
    return false;
  }
  if (!isElement(node, "grupo_datos")) {
    return true;
  }
  const xmlAttr* seq = xmlHasNsProp(node, reinterpret_cast<const xmlChar*>("seq"), nullptr);
  if (seq == nullptr) {
    return true;
  }
  // The value as one text node, the way the parser leaves an attribute without entity references.
  const xmlNode* value = seq->children;
  if (value == nullptr || value->next != nullptr || value->type != XML_TEXT_NODE) {
    return false;  // kept whole rather than judged wrongly
  }
  static constexpr const char* kGroupsRead[] = {"MATERIAS",           "ACTIVIDADES",       "EMPLEADOS",
                                                "DEPENDENCIAS",       "CURSOS_DEL_CENTRO", "UNIDADES",
                                                "JORNADAS_ESCOLARES", "TRAMOS_HORARIOS"};
  for (const char* group : kGroupsRead) {
    if (xmlStrEqual(value->content, reinterpret_cast<const xmlChar*>(group)) != 0) {
      return false;
    }
  }
  return true;
}

// An entity's expansion may be linked into the tree and copied again by a later reference, so a file
// with entities keeps everything.
bool mayDrop(const xmlParserCtxt* ctxt) {
  const xmlDoc* doc = ctxt->myDoc;
  return doc != nullptr && (doc->intSubset == nullptr || doc->intSubset->entities == nullptr);
}

void dropChildren(xmlNode* node) {
  xmlNode* children = node->children;
  node->children = nullptr;
  node->last = nullptr;
  xmlFreeNodeList(children);
}

template <bool (*Dropped)(const xmlNode*)>
void onStartElement(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
                    int nbNamespaces, const xmlChar** namespaces, int nbAttributes, int nbDefaulted,
                    const xmlChar** attributes) {
  auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
  // The record before this one (and the text since) is complete and no longer needed.
  if (mayDrop(ctxt) && Dropped(ctxt->node)) {
    dropChildren(ctxt->node);
  }
  xmlSAX2StartElementNs(ctx, localname, prefix, uri, nbNamespaces, namespaces, nbAttributes, nbDefaulted,
                        attributes);
}

template <bool (*Dropped)(const xmlNode*)>
void onEndElement(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri) {
  auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
  xmlNode* ending = ctxt->node;
  xmlSAX2EndElementNs(ctx, localname, prefix, uri);
  if (mayDrop(ctxt) && Dropped(ending)) {
    dropChildren(ending);
  }
}

}  // namespace

void dropRecordsWhileParsing(xmlSAXHandler& sax) {
  sax.startElementNs = onStartElement<isLaterGroup>;
  sax.endElementNs = onEndElement<isLaterGroup>;
}

void dropUnreadGroupsWhileParsing(xmlSAXHandler& sax) {
  sax.startElementNs = onStartElement<isUnreadGroup>;
  sax.endElementNs = onEndElement<isUnreadGroup>;
}

}  // namespace vadelux::rayuela::xml
