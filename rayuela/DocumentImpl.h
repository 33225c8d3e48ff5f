// What a Document holds, shared by the files of the document reader and writer only.
#pragma once

#include "rayuela/Document.h"
#include "rayuela/XmlHandles.h"

namespace vadelux::rayuela {

struct Document::Impl {
  xml::DocHandle doc;
  // Whether the file began with an XML declaration, so that saving writes one only when it had one.
  bool declared = false;
};

}  // namespace vadelux::rayuela
