#include "app/ChmFile.h"

#include <chm_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <system_error>
#include <utility>

#include "common/Error.h"
#include "common/Text.h"

namespace vadelux::app {

namespace {

// No object of a help file comes near this; a damaged directory entry can claim any length.
constexpr std::uint64_t kMaxObjectSize = 64ull * 1024 * 1024;

std::uint16_t readU16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

std::uint32_t readU32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  }
  return value;
}

// A NUL-terminated string at `at`, cut at the end of `bytes` when the NUL is missing.
std::string cString(std::string_view bytes, std::size_t at) {
  if (at >= bytes.size()) {
    return {};
  }
  const std::string_view rest = bytes.substr(at);
  return std::string(rest.substr(0, rest.find('\0')));
}

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return out;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool isValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t extra = 0;
    if (c < 0x80) {
      extra = 0;
    } else if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
    } else {
      return false;
    }
    if (i + extra >= s.size() && extra > 0) {
      return false;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
        return false;
      }
    }
    i += extra + 1;
  }
  return true;
}

struct NamedEntity {
  std::string_view name;
  char32_t code;
};

constexpr std::array<NamedEntity, 24> kEntities{{
    {"amp", U'&'},    {"lt", U'<'},     {"gt", U'>'},     {"quot", U'"'},   {"apos", U'\''},
    {"nbsp", 0xA0},   {"aacute", 0xE1}, {"eacute", 0xE9}, {"iacute", 0xED}, {"oacute", 0xF3},
    {"uacute", 0xFA}, {"Aacute", 0xC1}, {"Eacute", 0xC9}, {"Iacute", 0xCD}, {"Oacute", 0xD3},
    {"Uacute", 0xDA}, {"ntilde", 0xF1}, {"Ntilde", 0xD1}, {"uuml", 0xFC},   {"Uuml", 0xDC},
    {"iexcl", 0xA1},  {"iquest", 0xBF}, {"ordf", 0xAA},   {"ordm", 0xBA},
}};

// Replaces character references (&oacute; &#243; &#xF3;) in UTF-8 text; unknown ones stay as written.
std::string decodeEntities(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t semi = s[i] == '&' ? s.find(';', i) : std::string_view::npos;
    if (semi == std::string_view::npos || semi - i > 10) {
      out += s[i++];
      continue;
    }
    const std::string_view ref = s.substr(i + 1, semi - i - 1);
    std::optional<char32_t> code;
    if (ref.size() > 1 && ref[0] == '#') {
      const bool hex = ref[1] == 'x' || ref[1] == 'X';
      const std::string_view digits = ref.substr(hex ? 2 : 1);
      char32_t value = 0;
      bool ok = !digits.empty();
      for (char d : digits) {
        int v = -1;
        if (d >= '0' && d <= '9') {
          v = d - '0';
        } else if (hex && d >= 'a' && d <= 'f') {
          v = d - 'a' + 10;
        } else if (hex && d >= 'A' && d <= 'F') {
          v = d - 'A' + 10;
        }
        if (v < 0 || value > 0x10FFFF) {
          ok = false;
          break;
        }
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(v);
      }
      if (ok && value > 0 && value <= 0x10FFFF) {
        code = value;
      }
    } else {
      for (const NamedEntity& e : kEntities) {
        if (e.name == ref) {
          code = e.code;
        }
      }
    }
    if (code) {
      appendUtf8(out, *code);
      i = semi + 1;
    } else {
      out += s[i++];
    }
  }
  return out;
}

// The value of attribute `name` inside the tag text `tag` (between '<' and '>'), quoted or not.
std::optional<std::string> attribute(std::string_view tag, std::string_view name) {
  const std::string lower = lowerAscii(tag);
  std::size_t at = 0;
  while ((at = lower.find(name, at)) != std::string::npos) {
    const bool startsWord = at > 0 && (lower[at - 1] == ' ' || lower[at - 1] == '\t' ||
                                       lower[at - 1] == '\n' || lower[at - 1] == '\r');
    std::size_t p = at + name.size();
    while (p < lower.size() && (lower[p] == ' ' || lower[p] == '\t')) {
      ++p;
    }
    if (!startsWord || p >= lower.size() || lower[p] != '=') {
      at += name.size();
      continue;
    }
    ++p;
    while (p < lower.size() && (lower[p] == ' ' || lower[p] == '\t')) {
      ++p;
    }
    if (p >= tag.size()) {
      return std::string();
    }
    if (tag[p] == '"' || tag[p] == '\'') {
      const std::size_t end = tag.find(tag[p], p + 1);
      return std::string(tag.substr(p + 1, end == std::string_view::npos ? end : end - p - 1));
    }
    std::size_t end = p;
    while (end < tag.size() && tag[end] != ' ' && tag[end] != '\t' && tag[end] != '/') {
      ++end;
    }
    return std::string(tag.substr(p, end - p));
  }
  return std::nullopt;
}

// Where the file's content section starts, from its fixed header; nothing when the header is no help
// file's or points past the end of the file.
std::optional<std::uint64_t> contentOffset(const std::filesystem::path& path, std::uint64_t fileSize) {
  std::ifstream in(path, std::ios::binary);
  std::string header(0x60, '\0');
  in.read(header.data(), static_cast<std::streamsize>(header.size()));
  header.resize(static_cast<std::size_t>(in.gcount()));
  if (header.size() < 0x58 || header.compare(0, 4, "ITSF") != 0) {
    return std::nullopt;
  }
  const auto u64 = [&header](std::size_t at) {
    return static_cast<std::uint64_t>(readU32(header, at)) |
           (static_cast<std::uint64_t>(readU32(header, at + 4)) << 32);
  };
  const std::uint32_t headerLength = readU32(header, 8);
  const std::uint64_t directoryOffset = u64(0x48);
  const std::uint64_t directoryLength = u64(0x50);
  if (directoryOffset > fileSize || directoryLength > fileSize - directoryOffset) {
    return std::nullopt;
  }
  std::uint64_t data = directoryOffset + directoryLength;
  if (headerLength >= 0x60) {
    if (header.size() < 0x60) {
      return std::nullopt;
    }
    data = u64(0x58);
  }
  if (data > fileSize) {
    return std::nullopt;
  }
  return data;
}

}  // namespace

ChmFile::ChmFile(chmFile* handle, std::filesystem::path path) : handle_(handle), path_(std::move(path)) {}

ChmFile::ChmFile(ChmFile&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), path_(std::move(other.path_)) {}

ChmFile& ChmFile::operator=(ChmFile&& other) noexcept {
  if (this != &other) {
    if (handle_ != nullptr) {
      chm_close(handle_);
    }
    handle_ = std::exchange(other.handle_, nullptr);
    path_ = std::move(other.path_);
  }
  return *this;
}

ChmFile::~ChmFile() {
  if (handle_ != nullptr) {
    chm_close(handle_);
  }
}

ChmFile ChmFile::open(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    throw Error("No se encuentra el archivo de ayuda " + path.string());
  }
  const auto damaged = [&path] {
    return Error("El archivo de ayuda " + path.string() + " está dañado o no es un archivo de ayuda");
  };
  const std::uint64_t fileSize = std::filesystem::file_size(path, ec);
  const std::optional<std::uint64_t> dataOffset = contentOffset(path, fileSize);
  if (ec || !dataOffset) {
    throw damaged();
  }
  ChmFile file(chm_open(path.c_str()), path);
  if (file.handle_ == nullptr) {
    throw damaged();
  }
  // A cut file still opens, and its lost compressed content would read back as zeros: refuse it here.
  chmUnitInfo content{};
  if (chm_resolve_object(file.handle_, "::DataSpace/Storage/MSCompressed/Content", &content) ==
          CHM_RESOLVE_SUCCESS &&
      (content.start > fileSize || content.length > fileSize ||
       *dataOffset + content.start + content.length > fileSize)) {
    throw damaged();
  }
  return file;
}

std::optional<std::string> ChmFile::read(std::string_view objectPath) const {
  if (handle_ == nullptr || objectPath.empty()) {
    return std::nullopt;
  }
  std::string name;
  if (objectPath.front() != '/') {
    name = "/";
  }
  name += objectPath;
  if (name.size() > CHM_MAX_PATHLEN) {
    return std::nullopt;
  }
  chmUnitInfo info{};
  if (chm_resolve_object(handle_, name.c_str(), &info) != CHM_RESOLVE_SUCCESS) {
    return std::nullopt;
  }
  if (info.length > kMaxObjectSize) {
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(info.length), '\0');
  std::uint64_t done = 0;
  while (done < info.length) {
    const LONGINT64 got =
        chm_retrieve_object(handle_, &info, reinterpret_cast<unsigned char*>(bytes.data()) + done, done,
                            static_cast<LONGINT64>(info.length - done));
    if (got <= 0) {
      return std::nullopt;
    }
    done += static_cast<std::uint64_t>(got);
  }
  return bytes;
}

std::string ChmFile::systemEntry(std::uint16_t code) const {
  const std::optional<std::string> system = read("/#SYSTEM");
  if (!system || system->size() < 4) {
    return {};
  }
  const std::string_view bytes = *system;
  std::size_t at = 4;  // after the version
  while (at + 4 <= bytes.size()) {
    const std::uint16_t entryCode = readU16(bytes, at);
    const std::uint16_t length = readU16(bytes, at + 2);
    at += 4;
    if (at + length > bytes.size()) {
      break;
    }
    if (entryCode == code) {
      return cString(bytes.substr(0, at + length), at);
    }
    at += length;
  }
  return {};
}

std::string ChmFile::contentsFile() const {
  return systemEntry(0);
}

std::string ChmFile::defaultTopic() const {
  return systemEntry(2);
}

std::string ChmFile::title() const {
  return systemEntry(3);
}

std::optional<std::string> ChmFile::topicForContext(std::uint32_t context) const {
  const std::optional<std::string> ivb = read("/#IVB");
  if (!ivb || ivb->size() < 4) {
    return std::nullopt;
  }
  const std::string_view bytes = *ivb;
  const std::size_t payload = std::min<std::size_t>(readU32(bytes, 0), bytes.size() - 4);
  for (std::size_t at = 4; at + 8 <= 4 + payload; at += 8) {
    if (readU32(bytes, at) != context) {
      continue;
    }
    const std::optional<std::string> strings = read("/#STRINGS");
    if (!strings) {
      return std::nullopt;
    }
    const std::size_t offset = readU32(bytes, at + 4);
    if (offset >= strings->size()) {
      return std::nullopt;
    }
    std::string topic = cString(*strings, offset);
    if (topic.empty()) {
      return std::nullopt;
    }
    return topic;
  }
  return std::nullopt;
}

std::vector<HelpTopic> ChmFile::contents() const {
  const std::string name = contentsFile();
  if (name.empty()) {
    return {};
  }
  const std::optional<std::string> hhc = read(name);
  if (!hhc) {
    return {};
  }
  return parseSitemap(*hhc);
}

std::string htmlToUtf8(std::string_view bytes) {
  // The declaration sits in the head; a look at the start is enough.
  const std::string head = lowerAscii(bytes.substr(0, 2048));
  const std::size_t at = head.find("charset=");
  if (at != std::string::npos) {
    const std::string_view charset = std::string_view(head).substr(at + 8);
    const std::size_t start = charset.find_first_not_of("\"' ");
    if (start != std::string_view::npos &&
        (charset.substr(start).starts_with("utf-8") || charset.substr(start).starts_with("utf8"))) {
      return std::string(bytes);
    }
    return text::toUtf8(bytes);
  }
  return isValidUtf8(bytes) ? std::string(bytes) : text::toUtf8(bytes);
}

std::vector<HelpTopic> parseSitemap(std::string_view hhc) {
  const std::string text = htmlToUtf8(hhc);
  std::vector<HelpTopic> root;
  // The lists being filled, innermost last; entries are appended to the innermost one.
  std::vector<std::vector<HelpTopic>*> lists{&root};
  int listDepth = 0;  // <UL> elements open
  bool inSitemapObject = false;
  HelpTopic current;

  std::size_t pos = 0;
  while ((pos = text.find('<', pos)) != std::string::npos) {
    if (text.compare(pos, 4, "<!--") == 0) {
      const std::size_t end = text.find("-->", pos + 4);
      if (end == std::string::npos) {
        break;
      }
      pos = end + 3;
      continue;
    }
    const std::size_t end = text.find('>', pos);
    if (end == std::string::npos) {
      break;
    }
    const std::string_view tag = std::string_view(text).substr(pos + 1, end - pos - 1);
    pos = end + 1;
    const std::size_t nameEnd = tag.find_first_of(" \t\r\n/", tag.starts_with('/') ? 1 : 0);
    const std::string tagName = lowerAscii(tag.substr(0, nameEnd));

    if (tagName == "ul") {
      ++listDepth;
      // The first list is the root; a nested one belongs to the entry just read.
      if (listDepth > 1) {
        std::vector<HelpTopic>* owner = lists.back();
        lists.push_back(owner->empty() ? owner : &owner->back().children);
      }
    } else if (tagName == "/ul") {
      if (listDepth > 1) {
        lists.pop_back();
      }
      if (listDepth > 0) {
        --listDepth;
      }
    } else if (tagName == "object") {
      const std::optional<std::string> type = attribute(tag, "type");
      inSitemapObject = type && lowerAscii(*type) == "text/sitemap";
      current = HelpTopic{};
    } else if (tagName == "/object") {
      if (inSitemapObject && (!current.name.empty() || !current.local.empty())) {
        lists.back()->push_back(std::move(current));
      }
      inSitemapObject = false;
      current = HelpTopic{};
    } else if (tagName == "param" && inSitemapObject) {
      const std::string paramName = lowerAscii(attribute(tag, "name").value_or(""));
      const std::string value = decodeEntities(attribute(tag, "value").value_or(""));
      if (paramName == "name" && current.name.empty()) {
        current.name = value;
      } else if (paramName == "local" && current.local.empty()) {
        current.local = value;
      }
    }
  }
  return root;
}

}  // namespace vadelux::app
