// Setting one value in an INI file while every other byte of the file stays as it was.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vadelux {

// Returns `iniText` with `key` in `section` set to `value`. Section and key names match without regard to
// letter case, and the first match wins; the line keeps its own spelling of the key and its line ending. A
// missing key is added at the end of its section, a missing section at the end of the text. New lines take
// the text's line ending (CRLF when the text has none yet). Everything else is kept byte for byte.
std::string setIniValue(std::string_view iniText, std::string_view section, std::string_view key,
                        std::string_view value);

// Reads `file` (an absent file counts as empty), sets the value and writes the file back atomically. Throws
// vadelux::Error when the file cannot be read or written; the file is then unchanged.
void writeIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value);

}  // namespace vadelux
