// Saving a document while the children of one of its elements are still being made: what surrounds them
// is written once, and each batch of children is written and freed as it comes, so that a large export
// never holds its whole tree. The file gets exactly the bytes that Document::save would write for the
// same tree, and it replaces its target only when everything has been written.
#pragma once

#include <filesystem>
#include <memory>

#include "rayuela/Document.h"
#include "rayuela/Element.h"

namespace vadelux::rayuela {

class StreamingSave {
 public:
  // Starts writing `doc` into a temporary file beside `file`: the XML declaration, the nodes before the
  // root, and the elements above `container` with their attributes and the children that stand before
  // it. `container` is an element below the document's root made through Element; from here on the
  // document may change only by appending children to `container` (and building inside them) and by
  // appending after it. Throws vadelux::Error naming the file when it cannot be written.
  StreamingSave(Document& doc, Element container, const std::filesystem::path& file);
  StreamingSave(const StreamingSave&) = delete;
  StreamingSave& operator=(const StreamingSave&) = delete;
  // Without commit(): the temporary file is removed and the target stays as it was.
  ~StreamingSave();

  // Writes the children appended to the container since the last call, then takes them out of the
  // document and frees them.
  void writePending();

  // Writes what is pending and the rest of the document, and puts the file in place of the target.
  void commit();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vadelux::rayuela
