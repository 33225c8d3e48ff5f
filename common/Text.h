// The program's 8-bit text: Windows-1252 bytes in std::string.
// Every conversion, trimming and case rule of the program lives here; nothing else converts text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vadelux::text {

// UTF-8 to Windows-1252. A character the code page lacks, or a byte sequence that is not UTF-8,
// becomes '?'.
std::string toWindows1252(std::string_view utf8);

// Windows-1252 to UTF-8. The five bytes the code page leaves undefined map to their C1 controls,
// so every byte survives a round trip.
std::string toUtf8(std::string_view cp1252);

// Removes leading and trailing bytes whose code is that of the blank or lower.
std::string_view trimView(std::string_view s);
std::string trim(std::string_view s);

// Upper-cases a to z only; accented letters and other bytes stay as they are.
std::string upperAscii(std::string_view s);

// Folds one Windows-1252 byte to lower case the way a Spanish Windows locale compares text
// without regard to case: A-Z, the accented capitals, Š, Œ, Ž and Ÿ.
unsigned char foldByte(unsigned char c);

// The folded form of a text: equal folded forms mean equal texts with letter case ignored.
std::string foldCase(std::string_view s);

// Whole-text equality with letter case ignored, accented letters included (á = Á, ñ = Ñ).
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// The first n bytes of s (all of s when shorter).
inline std::string_view left(std::string_view s, std::size_t n) {
  return s.substr(0, n);
}

}  // namespace vadelux::text
