#include "rayuela/Document.h"

#include <libxml/xmlsave.h>

#include <cstring>

#include "common/AtomicFile.h"
#include "common/Text.h"
#include "rayuela/DocumentImpl.h"
#include "rayuela/NodeText.h"
#include "rayuela/OutputEncoding.h"
#include "rayuela/Parser.h"
#include "rayuela/QuietErrors.h"
#include "rayuela/XPathQuery.h"
#include "rayuela/XmlHandles.h"
#include "rayuela/XmlNames.h"

namespace vadelux::rayuela {
namespace {

constexpr const char* kDataBlockQuery = "/SERVICIO/BLOQUE_DATOS";

bool isField(const xmlNode* node) {
  return node->type == XML_ELEMENT_NODE && node->ns == nullptr &&
         std::strcmp(reinterpret_cast<const char*>(node->name), "dato") == 0;
}

// The record's direct `dato` children, by position, in Windows-1252.
Record readRecord(const xmlNode* record) {
  std::vector<std::string> fields;
  for (const xmlNode* child = record->children; child != nullptr; child = child->next) {
    if (isField(child)) {
      fields.push_back(text::toWindows1252(xml::textContent(child)));
    }
  }
  return Record(std::move(fields));
}

int appendOutput(void* context, const char* buffer, int length) {
  static_cast<std::string*>(context)->append(buffer, static_cast<std::size_t>(length));
  return length;
}

int closeOutput(void*) {
  return 0;
}

}  // namespace

Document::Document(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;
Document::~Document() = default;

Document Document::load(const std::filesystem::path& file) {
  return loadKeeping(file, xml::Keep::Everything);
}

Document Document::loadEnvelope(const std::filesystem::path& file) {
  return loadKeeping(file, xml::Keep::FirstDataGroupOnly);
}

Document Document::loadGroupsRead(const std::filesystem::path& file) {
  return loadKeeping(file, xml::Keep::GroupsRead);
}

Document Document::loadKeeping(const std::filesystem::path& file, xml::Keep keep) {
  xml::ParsedFile parsed = xml::parseFile(file, keep);
  if (xml::selectNodes(parsed.doc.get(), kDataBlockQuery).empty()) {
    throw DocumentError("El archivo " + file.string() +
                        " no es un archivo de intercambio de Rayuela: le falta /SERVICIO/BLOQUE_DATOS");
  }
  auto impl = std::make_unique<Impl>();
  impl->doc = std::move(parsed.doc);
  impl->declared = parsed.declared;
  return Document(std::move(impl));
}

std::vector<Record> Document::records(std::string_view group) const {
  const std::string name = text::toUtf8(group);
  if (name.find('\0') != std::string::npos) {
    return {};  // no attribute value can hold a NUL
  }
  const std::string query =
      "/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=" + xml::xpathLiteral(name) + "]/grupo_datos";
  const std::vector<xmlNode*> nodes = xml::selectNodes(impl_->doc.get(), query);
  std::vector<Record> out;
  out.reserve(nodes.size());
  for (const xmlNode* node : nodes) {
    out.push_back(readRecord(node));
  }
  return out;
}

std::optional<std::string> Document::dataBlockFirstChildText() const {
  const std::vector<xmlNode*> blocks = xml::selectNodes(impl_->doc.get(), kDataBlockQuery);
  if (blocks.empty() || blocks.front()->children == nullptr) {
    return std::nullopt;
  }
  return text::toWindows1252(xml::textContent(blocks.front()->children));
}

std::string Document::encoding() const {
  const xmlChar* declared = impl_->doc->encoding;
  return declared != nullptr ? reinterpret_cast<const char*>(declared) : "UTF-8";
}

Element Document::replaceRoot(std::string_view name) {
  xmlDoc* doc = impl_->doc.get();
  const std::string checked = xml::checkedName(name);
  xml::DetachedNode root(
      xmlNewDocNode(doc, nullptr, reinterpret_cast<const xmlChar*>(checked.c_str()), nullptr));
  if (!root) {
    throw Error("No hay memoria suficiente para construir el documento");
  }
  if (xmlNode* old = xmlDocGetRootElement(doc)) {
    xmlUnlinkNode(old);
    xmlFreeNode(old);
  }
  xmlNode* added = root.release();
  xmlAddChild(reinterpret_cast<xmlNode*>(doc), added);
  return Element(added);
}

void Document::save(const std::filesystem::path& file) const {
  writeFileAtomically(file, serialize());
}

std::string Document::serialize() const {
  xmlDoc* doc = impl_->doc.get();
  std::string out;
  const std::string target = encoding();
  if (!xml::keepsMarkupReadable(target)) {
    throw Error("No se puede escribir el documento en la codificación " + target);
  }
  int options = XML_SAVE_AS_XML;
  if (!impl_->declared) {
    options |= XML_SAVE_NO_DECL;
  } else if (doc->encoding == nullptr) {
    // A declaration without encoding: libxml2 would escape every non-ASCII character when told no encoding,
    // so the text goes out as UTF-8 and the declaration is written here as the file had it.
    options |= XML_SAVE_NO_DECL;
    out = std::string("<?xml version=\"") +
          (doc->version != nullptr ? reinterpret_cast<const char*>(doc->version) : "1.0") + "\"" +
          (doc->standalone == 1   ? " standalone=\"yes\""
           : doc->standalone == 0 ? " standalone=\"no\""
                                  : "") +
          "?>\n";
  }
  const xml::QuietErrors quiet;  // an encoder error would go to the standard error
  xmlSaveCtxt* save = xmlSaveToIO(appendOutput, closeOutput, &out, target.c_str(), options);
  if (save == nullptr) {
    throw Error("No se puede escribir el documento en la codificación " + target);
  }
  const long written = xmlSaveDoc(save, doc);
  const int closed = xmlSaveClose(save);
  if (written < 0 || closed < 0) {
    throw Error("No se puede escribir el documento en la codificación " + target);
  }
  return out;
}

}  // namespace vadelux::rayuela
