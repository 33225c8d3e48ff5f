// A Rayuela exchange document: loaded safely from a file, read through the record query, and rebuilt
// and saved by the export. libxml2 stays behind this header.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Error.h"
#include "rayuela/Element.h"
#include "rayuela/Record.h"

namespace vadelux::rayuela {

namespace xml {
enum class Keep;
}

// A file that cannot be read, is not well-formed XML, or is no Rayuela exchange file.
// The message is Spanish and names the file, the reason and, for a parse error, the line and column.
class DocumentError : public vadelux::Error {
 public:
  using vadelux::Error::Error;
};

class Document {
 public:
  // Loads a whole file in the encoding its declaration names. No network, no DTD, no external entities,
  // and no entity expansion beyond the predefined and internal ones. Whitespace-only text between
  // elements is dropped. Requires /SERVICIO/BLOQUE_DATOS.
  static Document load(const std::filesystem::path& file);

  // Loads a file for a run that rebuilds it and reads no records: the same checks and errors as load(),
  // the same declaration, encoding and nodes around the root, and the first child of the data block
  // whole; the data block's other children keep their own elements but lose their records while the
  // file is read, so a large file takes little memory. records() finds none of those.
  static Document loadEnvelope(const std::filesystem::path& file);

  // Loads a file for a run that reads the records of the program's own data groups (MATERIAS ...
  // TRAMOS_HORARIOS): the same checks and errors as load(), and the first child of the data block whole;
  // the records of the block's other children (students, marks and the like) are dropped while the file
  // is read, so records() finds the same records for the program's groups and none for the others, and
  // a large file takes little memory.
  static Document loadGroupsRead(const std::filesystem::path& file);

  Document(Document&&) noexcept;
  Document& operator=(Document&&) noexcept;
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;
  ~Document();

  // The records of every data group named `group`, in document order:
  // /SERVICIO/BLOQUE_DATOS/grupo_datos[@seq="GROUP"]/grupo_datos
  // `group` is Windows-1252 text and is matched exactly, quotes included.
  std::vector<Record> records(std::string_view group) const;

  // The text content of the first child node of /SERVICIO/BLOQUE_DATOS in Windows-1252,
  // or nothing when the data block has no child.
  std::optional<std::string> dataBlockFirstChildText() const;

  // The encoding the file declared ("UTF-8" when it declared none).
  std::string encoding() const;

  // Removes the root element with everything in it and appends a new empty root element named `name`
  // after the remaining top-level nodes (XML declaration, comments, processing instructions).
  Element replaceRoot(std::string_view name);

  // Writes the document in its own encoding to `file`, atomically. Throws vadelux::Error naming the file.
  void save(const std::filesystem::path& file) const;

  // The serialized document as save() would write it.
  std::string serialize() const;

 private:
  friend class StreamingSave;
  struct Impl;
  explicit Document(std::unique_ptr<Impl> impl);
  static Document loadKeeping(const std::filesystem::path& file, xml::Keep keep);
  std::unique_ptr<Impl> impl_;
};

}  // namespace vadelux::rayuela
