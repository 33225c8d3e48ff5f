// Reading an exchange file into a libxml2 tree, safely: the file cannot reach outside itself.
#pragma once

#include <filesystem>

#include "rayuela/XmlHandles.h"

namespace vadelux::rayuela::xml {

struct ParsedFile {
  DocHandle doc;
  // Whether the file began with an XML declaration, so that saving writes one only when it had one.
  bool declared = false;
};

// Parses the whole file in the encoding its declaration names and drops whitespace-only text.
// Throws DocumentError (Spanish, naming the file) when it cannot be read, is not well-formed, or
// declares an external entity.
ParsedFile parseFile(const std::filesystem::path& file);

}  // namespace vadelux::rayuela::xml
