#include "common/Text.h"

#include <array>
#include <cstdint>

namespace vadelux::text {
namespace {

// Unicode code points of the bytes 0x80-0x9F. The five bytes without a character keep their C1 control.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char32_t toCodePoint(unsigned char c) {
  if (c >= 0x80 && c <= 0x9F) {
    return kHighControls[c - 0x80];
  }
  return c;
}

char encode(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
    return static_cast<char>(cp);
  }
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp) {
      return static_cast<char>(0x80 + i);
    }
  }
  return '?';
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at s[i]; returns its length, or 0 when it is not valid UTF-8.
std::size_t decodeUtf8(std::string_view s, std::size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  std::size_t len = 0;
  char32_t min = 0;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) {
    return 0;
  }
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      return 0;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    return 0;
  }
  return len;
}

constexpr std::array<unsigned char, 256> makeFoldTable() {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c) {
    t[c] = static_cast<unsigned char>(c);
  }
  for (int c = 'A'; c <= 'Z'; ++c) {
    t[c] = static_cast<unsigned char>(c + 32);
  }
  for (int c = 0xC0; c <= 0xDE; ++c) {
    if (c != 0xD7) {  // the multiplication sign is no letter
      t[c] = static_cast<unsigned char>(c + 32);
    }
  }
  t[0x8A] = 0x9A;  // Š š
  t[0x8C] = 0x9C;  // Œ œ
  t[0x8E] = 0x9E;  // Ž ž
  t[0x9F] = 0xFF;  // Ÿ ÿ
  return t;
}

constexpr std::array<unsigned char, 256> kFold = makeFoldTable();

}  // namespace

std::string toWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    char32_t cp = 0;
    const std::size_t len = decodeUtf8(utf8, i, cp);
    if (len == 0) {
      out += '?';
      ++i;
    } else {
      out += encode(cp);
      i += len;
    }
  }
  return out;
}

std::string toUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size() + cp1252.size() / 4);
  for (const char c : cp1252) {
    appendUtf8(out, toCodePoint(static_cast<unsigned char>(c)));
  }
  return out;
}

std::string_view trimView(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') {
    ++b;
  }
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') {
    --e;
  }
  return s.substr(b, e - b);
}

std::string trim(std::string_view s) {
  return std::string(trimView(s));
}

std::string upperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 32);
    }
  }
  return out;
}

unsigned char foldByte(unsigned char c) {
  return kFold[c];
}

std::string foldCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    c = static_cast<char>(kFold[static_cast<unsigned char>(c)]);
  }
  return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (kFold[static_cast<unsigned char>(a[i])] != kFold[static_cast<unsigned char>(b[i])]) {
      return false;
    }
  }
  return true;
}

}  // namespace vadelux::text
