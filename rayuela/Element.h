// A handle to an element of a Document, for building the export. The document owns the element;
// a handle must not outlive its document.
#pragma once

#include <string_view>

namespace vadelux::rayuela {

class Element {
 public:
  // Creates an element named `name`, appends it as the last child of this one and returns it.
  Element appendElement(std::string_view name);

  // Sets an attribute; attributes keep the order in which they were first set.
  // The value is Windows-1252 text.
  void setAttribute(std::string_view name, std::string_view value);

  // Replaces the element's content with one text node (Windows-1252 text); empty text leaves it empty.
  void setText(std::string_view value);

 private:
  friend class Document;
  friend class StreamingSave;
  explicit Element(void* node) : node_(node) {}
  void* node_;
};

}  // namespace vadelux::rayuela
