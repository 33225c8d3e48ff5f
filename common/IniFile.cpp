#include "common/IniFile.h"

#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "common/AtomicFile.h"
#include "common/Error.h"
#include "common/Text.h"

namespace vadelux {
namespace {

// One line of the text: [begin, contentEnd) is its content, [contentEnd, end) its line ending.
struct Line {
  std::size_t begin;
  std::size_t contentEnd;
  std::size_t end;
};

std::vector<Line> splitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t newline = text.find('\n', begin);
    if (newline == std::string_view::npos) {
      lines.push_back({begin, text.size(), text.size()});
      break;
    }
    const std::size_t contentEnd = newline > begin && text[newline - 1] == '\r' ? newline - 1 : newline;
    lines.push_back({begin, contentEnd, newline + 1});
    begin = newline + 1;
  }
  return lines;
}

// The line ending the text already uses; CRLF for a text that has none, as the generator is a Windows
// program.
std::string_view lineEnding(std::string_view text) {
  const std::size_t newline = text.find('\n');
  if (newline != std::string_view::npos && (newline == 0 || text[newline - 1] != '\r')) {
    return "\n";
  }
  return "\r\n";
}

bool isSectionHeader(std::string_view content) {
  const std::string_view trimmed = text::trimView(content);
  return !trimmed.empty() && trimmed.front() == '[';
}

std::string_view sectionName(std::string_view content) {
  std::string_view name = text::trimView(content).substr(1);
  const std::size_t close = name.find(']');
  if (close != std::string_view::npos) {
    name = name.substr(0, close);
  }
  return text::trimView(name);
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

std::string setIniValue(std::string_view iniText, std::string_view section, std::string_view key,
                        std::string_view value) {
  const std::vector<Line> lines = splitLines(iniText);
  const std::string_view eol = lineEnding(iniText);
  auto content = [&](std::size_t i) {
    std::string_view c = iniText.substr(lines[i].begin, lines[i].contentEnd - lines[i].begin);
    if (i == 0 && c.starts_with(kUtf8Bom)) {
      c.remove_prefix(kUtf8Bom.size());
    }
    return c;
  };

  bool inSection = false;
  std::size_t lastFilled = 0;  // the section's last line that is not blank: the new key goes after it
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view c = content(i);
    if (isSectionHeader(c)) {
      if (inSection) {
        break;
      }
      if (text::equalsIgnoreCase(sectionName(c), section)) {
        inSection = true;
        lastFilled = i;
      }
      continue;
    }
    if (!inSection) {
      continue;
    }
    if (!text::trimView(c).empty()) {
      lastFilled = i;
    }
    const std::size_t equals = c.find('=');
    if (equals == std::string_view::npos ||
        !text::equalsIgnoreCase(text::trimView(c.substr(0, equals)), key)) {
      continue;
    }
    // Keep the key as spelled and the blanks after '='; replace the rest of the line.
    std::size_t valueStart = equals + 1;
    while (valueStart < c.size() && (c[valueStart] == ' ' || c[valueStart] == '\t')) {
      ++valueStart;
    }
    const std::size_t at = static_cast<std::size_t>(c.data() - iniText.data()) + valueStart;
    std::string out(iniText.substr(0, at));
    out += value;
    out += iniText.substr(lines[i].contentEnd);
    return out;
  }

  std::string entry(key);
  entry += '=';
  entry += value;
  entry += eol;
  if (inSection) {
    const Line& after = lines[lastFilled];
    std::string out(iniText.substr(0, after.end));
    if (after.contentEnd == after.end) {
      out += eol;  // the section's last line ended the text without a line ending
    }
    out += entry;
    out += iniText.substr(after.end);
    return out;
  }
  std::string out(iniText);
  if (!out.empty() && out.back() != '\n') {
    out += eol;
  }
  out += '[';
  out += section;
  out += ']';
  out += eol;
  out += entry;
  return out;
}

void writeIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value) {
  std::string current;
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) {
    if (std::filesystem::is_directory(file, ec)) {
      throw Error("No se puede escribir el archivo " + file.string() + ": es una carpeta");
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      throw Error("No se puede leer el archivo " + file.string());
    }
    current.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
      throw Error("No se puede leer el archivo " + file.string());
    }
  }
  writeFileAtomically(file, setIniValue(current, section, key, value));
}

}  // namespace vadelux
