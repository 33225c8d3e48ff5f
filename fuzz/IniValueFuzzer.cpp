// Fuzz target: one value set in arbitrary INI text. Every other line must come out as it went in, the
// changed or added line must hold the key and the value, and setting the same value again changes nothing.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/IniFile.h"
#include "common/Text.h"
#include "fuzz/ScratchFolder.h"

namespace {

struct Line {
  std::string_view content;
  std::string_view ending;  // "\n", "\r\n" or nothing on the last line
  bool operator==(const Line&) const = default;
};

std::vector<Line> splitLines(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    if (newline == std::string_view::npos) {
      lines.push_back({text, {}});
      break;
    }
    const std::size_t end = newline > 0 && text[newline - 1] == '\r' ? newline - 1 : newline;
    lines.push_back({text.substr(0, end), text.substr(end, newline + 1 - end)});
    text.remove_prefix(newline + 1);
  }
  return lines;
}

// Takes bytes up to the next NUL as a name, without the characters that would change the lines of the
// text or the meaning of a key, and without blanks at its ends.
std::string takeName(std::string_view& input, bool forValue) {
  const std::size_t end = input.find('\0');
  const std::string_view raw = input.substr(0, end);
  input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  std::string name;
  for (const char c : raw) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || (!forValue && (c == '[' || c == ']' || c == '='))) {
      continue;
    }
    name += c;
  }
  return vadelux::text::trim(name);
}

bool isEntry(const Line& line, std::string_view key, std::string_view value) {
  return line.content.size() == key.size() + 1 + value.size() && line.content.starts_with(key) &&
         line.content[key.size()] == '=' && line.content.ends_with(value) && !line.ending.empty();
}

void check(std::string_view in, std::string_view out, std::string_view section, std::string_view key,
           std::string_view value) {
  using vadelux::fuzz::fail;
  const std::vector<Line> before = splitLines(in);
  const std::vector<Line> after = splitLines(out);
  // What both share at the start and at the end is untouched; what lies between is the change.
  std::size_t head = 0;
  while (head < before.size() && head < after.size() && before[head] == after[head]) {
    ++head;
  }
  std::size_t tail = 0;
  while (tail < before.size() - head && tail < after.size() - head &&
         before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
    ++tail;
  }
  std::vector<Line> removed(before.begin() + static_cast<std::ptrdiff_t>(head),
                            before.end() - static_cast<std::ptrdiff_t>(tail));
  std::vector<Line> added(after.begin() + static_cast<std::ptrdiff_t>(head),
                          after.end() - static_cast<std::ptrdiff_t>(tail));
  if (removed.empty() && added.empty()) {
    return;  // the value was there already
  }
  // The text's last line may get the line ending it lacked, when something follows it: its bytes stay
  // (a last line that ends in a lone CR becomes a CRLF line).
  const auto bytesOf = [](const Line& line) { return std::string(line.content) + std::string(line.ending); };
  if (!removed.empty() && removed.front().ending.empty() && !added.empty() && !added.front().ending.empty() &&
      (bytesOf(added.front()) == std::string(removed.front().content) + "\n" ||
       bytesOf(added.front()) == std::string(removed.front().content) + "\r\n")) {
    removed.erase(removed.begin());
    added.erase(added.begin());
  }
  if (removed.size() == 1 && added.size() == 1) {
    // A line of the key, changed in place: the key and what follows '=' up to the value stay.
    const std::string_view old = removed.front().content;
    const std::size_t equals = old.find('=');
    if (equals == std::string_view::npos || added.front().ending != removed.front().ending ||
        !vadelux::text::equalsIgnoreCase(vadelux::text::trimView(old.substr(0, equals)), key) ||
        !added.front().content.ends_with(value) ||
        !old.starts_with(added.front().content.substr(0, added.front().content.size() - value.size()))) {
      fail("the key's line changed wrongly");
    }
    return;
  }
  if (!removed.empty()) {
    fail("a line was lost or changed");
  }
  if (added.size() == 1 && isEntry(added.front(), key, value)) {
    return;
  }
  if (added.size() == 2 && added[0].content == "[" + std::string(section) + "]" &&
      isEntry(added[1], key, value)) {
    return;
  }
  fail("more than the key's line was added");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.empty()) {
    return 0;
  }
  // The first byte chooses fixed or fuzzed names; fuzzed ones come next, each ending at a NUL.
  const auto choice = static_cast<unsigned char>(input.front());
  input.remove_prefix(1);
  std::string section = "Transformadores";
  std::string key = "Transformado";
  std::string value = choice & 4 ? "-1" : "1";
  if (choice & 1) {
    if (std::string name = takeName(input, false); !name.empty()) {
      section = name;
    }
  }
  if (choice & 2) {
    if (std::string name = takeName(input, false); !name.empty()) {
      key = name;
    }
  }
  if (choice & 8) {
    value = takeName(input, true);
  }
  const std::string out = vadelux::setIniValue(input, section, key, value);
  check(input, out, section, key, value);
  if (vadelux::setIniValue(out, section, key, value) != out) {
    vadelux::fuzz::fail("setting the same value again changed the text");
  }
  return 0;
}
