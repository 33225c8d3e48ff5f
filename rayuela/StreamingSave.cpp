#include "rayuela/StreamingSave.h"

#include <libxml/encoding.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlsave.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/AtomicFile.h"
#include "common/Error.h"
#include "rayuela/DocumentImpl.h"
#include "rayuela/OutputEncoding.h"
#include "rayuela/QuietErrors.h"

namespace vadelux::rayuela {
namespace {

struct OutputClose {
  void operator()(xmlOutputBuffer* out) const noexcept { xmlOutputBufferClose(out); }
};
using OutputHandle = std::unique_ptr<xmlOutputBuffer, OutputClose>;

int appendToString(void* context, const char* buffer, int length) {
  static_cast<std::string*>(context)->append(buffer, static_cast<std::size_t>(length));
  return length;
}

// The declaration Document::save writes: libxml2's own when the file named its encoding, the file's
// version and standalone flag alone when it named none, nothing when the file had none.
std::string declarationOf(const xmlDoc* doc, bool declared, const std::string& encoding) {
  if (!declared) {
    return {};
  }
  std::string out = std::string("<?xml version=\"") +
                    (doc->version != nullptr ? reinterpret_cast<const char*>(doc->version) : "1.0") + "\"";
  if (doc->encoding != nullptr) {
    out += " encoding=\"" + encoding + "\"";
  }
  if (doc->standalone == 1) {
    out += " standalone=\"yes\"";
  } else if (doc->standalone == 0) {
    out += " standalone=\"no\"";
  }
  return out + "?>\n";
}

}  // namespace

struct StreamingSave::State {
  State(Document::Impl& impl, xmlNode* containerNode, const std::filesystem::path& target)
      : doc(impl.doc.get()),
        container(containerNode),
        path(pathTo(doc, container)),
        encoding(currentEncoding(doc)),
        file(target) {
    xmlCharEncodingHandler* handler =
        xml::keepsMarkupReadable(encoding) ? xmlFindCharEncodingHandler(encoding.c_str()) : nullptr;
    if (handler == nullptr) {
      throw Error("No se puede escribir el documento en la codificaci\xC3\xB3n " + encoding);
    }
    out.reset(xmlOutputBufferCreateIO(writeToFile, nullptr, this, handler));
    if (!out) {
      xmlCharEncCloseFunc(handler);
      throw Error("No hay memoria suficiente para escribir el documento");
    }
    declared = impl.declared;
  }

  // The root, the elements below it down to the container, and the container.
  static std::vector<xmlNode*> pathTo(xmlDoc* d, xmlNode* element) {
    std::vector<xmlNode*> elements;
    for (xmlNode* node = element; node != nullptr && node->type == XML_ELEMENT_NODE; node = node->parent) {
      elements.insert(elements.begin(), node);
    }
    if (elements.empty() || element->doc != d || elements.front() != xmlDocGetRootElement(d)) {
      throw std::logic_error("streaming save of an element that is not in the document's root");
    }
    return elements;
  }

  static std::string currentEncoding(const xmlDoc* d) {
    return d->encoding != nullptr ? reinterpret_cast<const char*>(d->encoding) : "UTF-8";
  }

  // The libxml2 writer calls back here; an error is kept for the caller, since it cannot cross C code.
  static int writeToFile(void* context, const char* buffer, int length) {
    auto* state = static_cast<State*>(context);
    try {
      state->file.write(std::string_view(buffer, static_cast<std::size_t>(length)));
      return length;
    } catch (...) {
      if (!state->error) {
        state->error = std::current_exception();
      }
      return -1;
    }
  }

  // While libxml2 writes, the document names the encoding written, as xmlSaveDoc has it: attribute
  // values are then written as text and left to the encoder.
  class EncodingNamed {
   public:
    explicit EncodingNamed(State& s) : doc_(s.doc), old_(s.doc->encoding) {
      doc_->encoding = reinterpret_cast<const xmlChar*>(s.encoding.c_str());
    }
    EncodingNamed(const EncodingNamed&) = delete;
    EncodingNamed& operator=(const EncodingNamed&) = delete;
    ~EncodingNamed() { doc_->encoding = old_; }

   private:
    xmlDoc* doc_;
    const xmlChar* old_;
  };

  void check() {
    if (error) {
      std::rethrow_exception(error);
    }
    if (out->error != 0) {
      throw Error("No se puede escribir el documento en la codificaci\xC3\xB3n " + encoding);
    }
  }

  // Text that libxml2 would write itself, passed through the encoder.
  void writeText(const std::string& utf8) {
    if (!utf8.empty()) {
      const xml::QuietErrors quiet;  // an encoder error would go to the standard error
      xmlOutputBufferWrite(out.get(), static_cast<int>(utf8.size()), utf8.c_str());
    }
    check();
  }

  void writeNode(xmlNode* node) {
    {
      const EncodingNamed named(*this);
      const xml::QuietErrors quiet;
      xmlNodeDumpOutput(out.get(), doc, node, 0, 0, encoding.c_str());
    }
    check();
  }

  // The start tag of an element as libxml2 writes it before the element's children.
  void writeStartTag(xmlNode* element) {
    std::string tag;
    {
      const EncodingNamed named(*this);
      xmlOutputBuffer* text = xmlOutputBufferCreateIO(appendToString, nullptr, &tag, nullptr);
      if (text == nullptr) {
        throw Error("No hay memoria suficiente para escribir el documento");
      }
      // Without children libxml2 writes the empty-element form, which differs only in its end.
      xmlNode* children = std::exchange(element->children, nullptr);
      xmlNode* last = std::exchange(element->last, nullptr);
      xmlNodeDumpOutput(text, doc, element, 0, 0, encoding.c_str());
      element->children = children;
      element->last = last;
      if (xmlOutputBufferClose(text) < 0) {
        throw Error("No hay memoria suficiente para escribir el documento");
      }
    }
    const std::string endTag = "></" + qualifiedName(element) + ">";
    if (tag.size() >= 2 && tag.compare(tag.size() - 2, 2, "/>") == 0) {
      tag.replace(tag.size() - 2, 2, ">");
    } else if (tag.size() >= endTag.size() &&
               tag.compare(tag.size() - endTag.size(), endTag.size(), endTag) == 0) {
      tag.resize(tag.size() - endTag.size() + 1);
    }
    writeText(tag);
  }

  static std::string qualifiedName(const xmlNode* element) {
    std::string name;
    if (element->ns != nullptr && element->ns->prefix != nullptr) {
      name = std::string(reinterpret_cast<const char*>(element->ns->prefix)) + ":";
    }
    return name + reinterpret_cast<const char*>(element->name);
  }

  void writeEndTag(xmlNode* element) { writeText("</" + qualifiedName(element) + ">"); }

  // Everything before the container's children.
  void start() {
    writeText(declarationOf(doc, declared, encoding));
    for (xmlNode* node = doc->children; node != path.front(); node = node->next) {
      writeNode(node);
      writeText("\n");
    }
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
      writeStartTag(path[i]);
      for (xmlNode* node = path[i]->children; node != path[i + 1]; node = node->next) {
        writeNode(node);
      }
    }
  }

  void writePending() {
    if (container->children == nullptr) {
      return;
    }
    if (!containerOpen) {
      writeStartTag(container);
      containerOpen = true;
    }
    while (xmlNode* child = container->children) {
      writeNode(child);
      xmlUnlinkNode(child);
      xmlFreeNode(child);
    }
  }

  // Everything after the container's children.
  void finish() {
    writePending();
    if (containerOpen) {
      writeEndTag(container);
    } else {
      writeNode(container);  // never had children: the empty-element form
    }
    for (std::size_t i = path.size() - 1; i-- > 0;) {
      for (xmlNode* node = path[i + 1]->next; node != nullptr; node = node->next) {
        writeNode(node);
      }
      writeEndTag(path[i]);
    }
    writeText("\n");
    for (xmlNode* node = path.front()->next; node != nullptr; node = node->next) {
      writeNode(node);
      writeText("\n");
    }
    const xml::QuietErrors quiet;
    const int flushed = xmlOutputBufferFlush(out.get());
    check();
    if (flushed < 0) {
      throw Error("No se puede escribir el documento en la codificaci\xC3\xB3n " + encoding);
    }
  }

  xmlDoc* doc;
  xmlNode* container;
  std::vector<xmlNode*> path;  // the root, ..., the container
  std::string encoding;
  AtomicFileWriter file;  // before `out`, which may still write while it closes
  OutputHandle out;
  bool declared = false;
  bool containerOpen = false;
  std::exception_ptr error;
};

StreamingSave::StreamingSave(Document& doc, Element container, const std::filesystem::path& file)
    : state_(std::make_unique<State>(*doc.impl_, static_cast<xmlNode*>(container.node_), file)) {
  state_->start();
}

StreamingSave::~StreamingSave() = default;

void StreamingSave::writePending() {
  state_->writePending();
}

void StreamingSave::commit() {
  state_->finish();
  state_->out.reset();
  state_->file.commit();
}

}  // namespace vadelux::rayuela
