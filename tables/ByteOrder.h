// Little- and big-endian integers inside byte buffers, for the dBase file layouts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vadelux::tables::bytes {

inline void putLE16(std::string& out, std::size_t at, std::uint16_t value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>(value >> 8);
}

inline void putLE32(std::string& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

inline void putBE32(std::string& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    out[at + i] = static_cast<char>((value >> (8 * (3 - i))) & 0xFF);
  }
}

inline std::uint16_t getLE16(std::string_view in, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(in[at]) |
                                    (static_cast<unsigned char>(in[at + 1]) << 8));
}

inline std::uint32_t getLE32(std::string_view in, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(in[at + i]);
  }
  return value;
}

inline std::uint32_t getBE32(std::string_view in, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    value = (value << 8) | static_cast<unsigned char>(in[at + i]);
  }
  return value;
}

inline std::uint64_t getBE64(std::string_view in, std::size_t at) {
  std::uint64_t value = 0;
  for (int i = 0; i < 8; ++i) {
    value = (value << 8) | static_cast<unsigned char>(in[at + i]);
  }
  return value;
}

}  // namespace vadelux::tables::bytes
