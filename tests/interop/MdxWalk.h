// Walks the B-tree of a one-tag production index (.MDX) byte by byte, checking the rules that
// readers rely on, and lists its leaf entries in index order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vadelux::interop {

using MdxKey = std::array<unsigned char, 12>;

struct MdxLeafEntry {
  std::uint32_t record = 0;
  MdxKey key{};
};

struct MdxTree {
  int depth = 0;  // 1 when the root is a leaf
  std::size_t nodeCount = 0;
  std::vector<MdxLeafEntry> entries;  // in index order
};

// Fails the calling test for every broken rule: page counts that disagree with the file size, a node
// outside the file or not on a block, an inner node with 63 keys, an inner key that is not the largest
// key of its child, leaves at different depths, a page reached twice. Returns nothing when the tree
// cannot be walked at all.
std::optional<MdxTree> walkMdx(const std::string& bytes);

std::string hex(const MdxKey& key);

}  // namespace vadelux::interop
