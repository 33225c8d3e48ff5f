// A compiled HTML help file (.chm) opened for reading: its objects, its table of contents and the map
// from context numbers to topics. chmlib stays behind this header.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct chmFile;

namespace vadelux::app {

// One entry of a table of contents: its caption (UTF-8), the topic it opens (a path inside the help
// file, possibly empty for a heading) and the entries nested under it.
struct HelpTopic {
  std::string name;
  std::string local;
  std::vector<HelpTopic> children;
};

class ChmFile {
 public:
  // Opens the file. Throws vadelux::Error with a Spanish message naming the file when it is missing or
  // is no help file.
  static ChmFile open(const std::filesystem::path& path);

  ChmFile(ChmFile&& other) noexcept;
  ChmFile& operator=(ChmFile&& other) noexcept;
  ChmFile(const ChmFile&) = delete;
  ChmFile& operator=(const ChmFile&) = delete;
  ~ChmFile();

  const std::filesystem::path& path() const { return path_; }

  // The bytes of an object such as "/ventana.htm" (the leading slash may be left out), or nothing when
  // the file has no such object or it cannot be read whole.
  std::optional<std::string> read(std::string_view objectPath) const;

  // Entries of the file's /#SYSTEM object: the contents file (code 0), the default topic (code 2) and the
  // title (code 3), each empty when the file does not name one.
  std::string contentsFile() const;
  std::string defaultTopic() const;
  std::string title() const;

  // The topic that a context number opens, from /#IVB and /#STRINGS; nothing when the number is unknown.
  std::optional<std::string> topicForContext(std::uint32_t context) const;

  // The table of contents parsed from the contents file; empty when there is none.
  std::vector<HelpTopic> contents() const;

 private:
  ChmFile(chmFile* handle, std::filesystem::path path);
  std::string systemEntry(std::uint16_t code) const;

  chmFile* handle_ = nullptr;
  std::filesystem::path path_;
};

// The entries of a sitemap (.hhc): every <OBJECT type="text/sitemap"> with its "Name" and "Local"
// parameters, nested as the <UL> lists nest them.
std::vector<HelpTopic> parseSitemap(std::string_view hhc);

// The text of an HTML page or sitemap as UTF-8: kept as it is when it declares UTF-8 (or declares nothing
// and is valid UTF-8), otherwise read as Windows-1252.
std::string htmlToUtf8(std::string_view bytes);

}  // namespace vadelux::app
