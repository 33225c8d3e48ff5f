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

// What a parse keeps of the file.
enum class Keep {
  Everything,
  // The records of the data block's children after the first are dropped as they are read.
  FirstDataGroupOnly,
  // The records of data groups that no part of the program reads are dropped as they are read.
  GroupsRead,
};

// Parses the whole file in the encoding its declaration names and drops whitespace-only text.
// Throws DocumentError (Spanish, naming the file) when it cannot be read, is not well-formed, or
// declares an external entity; what is kept does not change what is checked.
ParsedFile parseFile(const std::filesystem::path& file, Keep keep = Keep::Everything);

}  // namespace vadelux::rayuela::xml
