#include "tables/MdxWriter.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <numeric>
#include <vector>

#include "common/Error.h"
#include "common/Text.h"

namespace vadelux::tables {
namespace {

// The file is made of 512-byte pages; the B-tree works in blocks of two pages. Pointers count pages.
constexpr std::size_t kPageSize = 512;
constexpr std::size_t kBlockSize = 1024;
constexpr std::uint32_t kPagesPerBlock = kBlockSize / kPageSize;
constexpr std::size_t kFileHeaderSize = 2048;  // file header and tag table: pages 0 to 3
constexpr std::uint32_t kTagHeaderPage = 4;    // one block
constexpr std::uint32_t kFirstNodePage = kTagHeaderPage + kPagesPerBlock;

constexpr std::size_t kTagTableOffset = 544;
constexpr std::uint8_t kTagSlots = 48;
constexpr std::uint8_t kTagEntrySize = 32;
constexpr std::size_t kMaxTagName = 10;
constexpr std::size_t kMaxTableName = 15;

constexpr std::uint8_t kLanguageDriver = 0x57;  // Windows ANSI, as in the table's header
constexpr std::size_t kKeyLength = 12;
constexpr std::size_t kEntryLength = 16;                                     // 4-byte pointer + key
constexpr std::size_t kNodeHeader = 8;                                       // entry count, previous block
constexpr std::size_t kMaxKeys = (kBlockSize - kNodeHeader) / kEntryLength;  // 63
// Readers take a node holding the maximum number of keys for a leaf, so an inner node keeps one less.
constexpr std::size_t kMaxInnerKeys = kMaxKeys - 1;

using Key = std::array<unsigned char, kKeyLength>;

void put8(std::string& out, std::size_t at, std::uint8_t value) {
  out[at] = static_cast<char>(value);
}

void put16(std::string& out, std::size_t at, std::uint16_t value) {
  put8(out, at, static_cast<std::uint8_t>(value & 0xFF));
  put8(out, at + 1, static_cast<std::uint8_t>(value >> 8));
}

void put32(std::string& out, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    put8(out, at + i, static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF));
  }
}

void putText(std::string& out, std::size_t at, std::string_view text) {
  std::copy(text.begin(), text.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
}

void putDate(std::string& out, std::size_t at, const DbfDate& date) {
  put8(out, at, static_cast<std::uint8_t>(date.year - 1900));
  put8(out, at + 1, static_cast<std::uint8_t>(date.month));
  put8(out, at + 2, static_cast<std::uint8_t>(date.day));
}

// A number as a dBase numeric key: byte 0 is 0x34 plus the count of digits before the decimal point
// (0x34 alone for zero); byte 1 holds the sign in bit 7, the count of significant digits in bits 2 to 6
// and 1 in bit 0; bytes 2 to 11 hold the significant digits, two a byte, trailing zeros dropped.
// The digit count is the exact count of significant digits (5 gives 0x05, 12 gives 0x09), not one
// rounded up to even as some writers store it; readers order keys by byte 0, the sign and the digits.
Key numericKey(std::int64_t value) {
  Key key{};
  key[0] = 0x34;
  key[1] = 0x01;
  if (value == 0) {
    return key;
  }
  const bool negative = value < 0;
  const std::uint64_t magnitude =
      negative ? std::uint64_t{0} - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  std::string digits = std::to_string(magnitude);
  const std::size_t integerDigits = digits.size();
  while (digits.back() == '0') {
    digits.pop_back();
  }
  key[0] = static_cast<unsigned char>(0x34 + integerDigits);
  key[1] = static_cast<unsigned char>((digits.size() << 2) | 0x01 | (negative ? 0x80 : 0x00));
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const auto digit = static_cast<unsigned char>(digits[i] - '0');
    key[2 + i / 2] |= static_cast<unsigned char>(i % 2 == 0 ? digit << 4 : digit);
  }
  return key;
}

struct Entry {
  std::uint32_t pointer;  // record number in a leaf, child page in an inner node
  Key key;                // in an inner node: the largest key in the child
};

struct Node {
  std::vector<Entry> entries;
  std::uint32_t rightmost = 0;  // inner nodes only: the last child, which has no key
  Key largest{};
};

// Splits `count` items into as few groups of at most `capacity` as possible, sizes differing by one
// at most. Returns the size of each group.
std::vector<std::size_t> groupSizes(std::size_t count, std::size_t capacity) {
  const std::size_t groups = std::max<std::size_t>(1, (count + capacity - 1) / capacity);
  std::vector<std::size_t> sizes(groups, count / groups);
  for (std::size_t i = 0; i < count % groups; ++i) {
    ++sizes[i];
  }
  return sizes;
}

void writeNode(std::string& out, std::uint32_t page, const Node& node) {
  const std::size_t at = static_cast<std::size_t>(page) * kPageSize;
  put32(out, at, static_cast<std::uint32_t>(node.entries.size()));
  put32(out, at + 4, 0);  // previous block: not kept
  std::size_t slot = at + kNodeHeader;
  for (const Entry& entry : node.entries) {
    put32(out, slot, entry.pointer);
    std::copy(entry.key.begin(), entry.key.end(), out.begin() + static_cast<std::ptrdiff_t>(slot + 4));
    slot += kEntryLength;
  }
  // A leaf ends with a 0 pointer, an inner node with its right-most child: this is how readers tell them
  // apart.
  put32(out, slot, node.rightmost);
}

// The B-tree over records sorted by key, ties in record order. Nodes are numbered in the order they are
// written; the last one is the root.
std::vector<Node> buildTree(std::span<const std::int64_t> keys) {
  std::vector<std::uint32_t> order(keys.size());
  std::iota(order.begin(), order.end(), std::uint32_t{1});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return keys[a - 1] < keys[b - 1]; });

  std::vector<Node> nodes;
  std::vector<std::size_t> level;  // nodes of the level being built
  std::size_t next = 0;
  for (std::size_t size : groupSizes(order.size(), kMaxKeys)) {
    Node leaf;
    for (std::size_t i = 0; i < size; ++i, ++next) {
      leaf.entries.push_back(Entry{order[next], numericKey(keys[order[next] - 1])});
    }
    if (!leaf.entries.empty()) {
      leaf.largest = leaf.entries.back().key;
    }
    level.push_back(nodes.size());
    nodes.push_back(std::move(leaf));
  }

  auto pageOf = [](std::size_t node) {
    return kFirstNodePage + static_cast<std::uint32_t>(node) * kPagesPerBlock;
  };
  while (level.size() > 1) {
    std::vector<std::size_t> upper;
    std::size_t child = 0;
    for (std::size_t size : groupSizes(level.size(), kMaxInnerKeys + 1)) {
      Node inner;
      for (std::size_t i = 0; i + 1 < size; ++i, ++child) {
        inner.entries.push_back(Entry{pageOf(level[child]), nodes[level[child]].largest});
      }
      inner.rightmost = pageOf(level[child]);
      inner.largest = nodes[level[child]].largest;
      ++child;
      upper.push_back(nodes.size());
      nodes.push_back(std::move(inner));
    }
    level = std::move(upper);
  }
  return nodes;
}

void checkName(std::string_view name, std::size_t maxLength, std::string_view what) {
  if (name.empty() || name.size() > maxLength || name.find('\0') != std::string_view::npos) {
    throw vadelux::Error("Nombre de " + std::string(what) + " no válido para el índice: \"" +
                         text::toUtf8(name) + "\"");
  }
}

}  // namespace

std::string buildProductionMdx(std::string_view tableName, std::string_view tag,
                               std::span<const std::int64_t> keys, const DbfDate& date) {
  checkName(tableName, kMaxTableName, "tabla");
  checkName(tag, kMaxTagName, "etiqueta");
  if (keys.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw vadelux::Error("Demasiados registros para el índice de " + text::toUtf8(tableName));
  }
  const std::string tagName = text::upperAscii(tag);

  const std::vector<Node> nodes = buildTree(keys);
  const auto nodePages = static_cast<std::uint32_t>(nodes.size()) * kPagesPerBlock;
  const std::uint32_t filePages = kFirstNodePage + nodePages;
  std::string out(static_cast<std::size_t>(filePages) * kPageSize, '\0');

  // File header.
  put8(out, 0, 2);  // version
  putDate(out, 1, date);
  putText(out, 4, tableName);
  put16(out, 20, kPagesPerBlock);
  put16(out, 22, kBlockSize);
  put8(out, 24, 1);  // production index of the table
  put8(out, 25, kTagSlots);
  put8(out, 26, kTagEntrySize);
  put16(out, 28, 1);  // tags in use
  put8(out, 31, kLanguageDriver);
  put32(out, 32, filePages);
  put32(out, 36, 0);  // no free pages
  put32(out, 40, 0);
  putDate(out, 44, date);
  put8(out, 529, 1);

  // The one entry of the tag table.
  put32(out, kTagTableOffset, kTagHeaderPage);
  putText(out, kTagTableOffset + 4, tagName);
  put8(out, kTagTableOffset + 15, 0x10);  // key is a data field
  put8(out, kTagTableOffset + 19, 0x02);
  put8(out, kTagTableOffset + 20, 'N');

  // Tag header.
  const std::size_t header = kTagHeaderPage * kPageSize;
  const auto rootPage = kFirstNodePage + static_cast<std::uint32_t>(nodes.size() - 1) * kPagesPerBlock;
  put32(out, header, rootPage);
  put32(out, header + 4, filePages - kTagHeaderPage);  // pages of the tag: its header and its nodes
  put8(out, header + 8, 0x00);                         // ascending, duplicates allowed
  put8(out, header + 9, 'N');
  put16(out, header + 12, kKeyLength);
  put16(out, header + 14, kMaxKeys);
  put16(out, header + 18, kEntryLength);
  put16(out, header + 20, 2);
  put8(out, header + 23, 0);  // not unique
  putText(out, header + 24, tagName);
  put8(out, header + 246, 1);  // the tag has a key expression

  for (std::size_t i = 0; i < nodes.size(); ++i) {
    writeNode(out, kFirstNodePage + static_cast<std::uint32_t>(i) * kPagesPerBlock, nodes[i]);
  }
  return out;
}

}  // namespace vadelux::tables
