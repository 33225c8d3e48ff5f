#include "MdxWalk.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

namespace vadelux::interop {
namespace {

constexpr std::size_t kPage = 512;

std::uint32_t get32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  }
  return value;
}

std::uint16_t get16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}

class Walker {
 public:
  Walker(const std::string& bytes, std::size_t maxKeys, std::size_t entryLength)
      : bytes_(bytes), maxKeys_(maxKeys), entryLength_(entryLength) {}

  // Walks the subtree at `page`; returns its largest key, or nothing when it has no entries.
  bool walk(std::uint32_t page, int depth, MdxTree& tree, std::optional<MdxKey>& largest) {
    const std::size_t at = static_cast<std::size_t>(page) * kPage;
    if (page % 2 != 0 || at + 1024 > bytes_.size()) {
      ADD_FAILURE() << "node page " << page << " is not a block inside the file";
      return false;
    }
    if (!seen_.insert(page).second) {
      ADD_FAILURE() << "node page " << page << " is reached twice";
      return false;
    }
    ++tree.nodeCount;
    const std::uint32_t count = get32(bytes_, at);
    if (count > maxKeys_) {
      ADD_FAILURE() << "node page " << page << " holds " << count << " keys";
      return false;
    }
    auto pointer = [&](std::size_t i) { return get32(bytes_, at + 8 + i * entryLength_); };
    auto key = [&](std::size_t i) {
      MdxKey k{};
      std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at + 12 + i * entryLength_), k.size(),
                  k.begin());
      return k;
    };
    const bool inner = count < maxKeys_ && pointer(count) != 0;
    if (!inner) {
      if (leafDepth_ == 0) {
        leafDepth_ = depth;
      } else if (leafDepth_ != depth) {
        ADD_FAILURE() << "leaf page " << page << " at depth " << depth << ", others at " << leafDepth_;
      }
      for (std::size_t i = 0; i < count; ++i) {
        tree.entries.push_back(MdxLeafEntry{pointer(i), key(i)});
        largest = key(i);
      }
      return true;
    }
    for (std::size_t i = 0; i <= count; ++i) {
      std::optional<MdxKey> childLargest;
      if (!walk(pointer(i), depth + 1, tree, childLargest)) {
        return false;
      }
      if (!childLargest) {
        ADD_FAILURE() << "inner node page " << page << " has an empty child";
        continue;
      }
      if (i < count && key(i) != *childLargest) {
        ADD_FAILURE() << "inner node page " << page << " entry " << i << " has key " << hex(key(i))
                      << " but the largest key of its child is " << hex(*childLargest);
      }
      largest = childLargest;
    }
    return true;
  }

  int leafDepth() const { return leafDepth_; }

 private:
  const std::string& bytes_;
  std::size_t maxKeys_;
  std::size_t entryLength_;
  std::set<std::uint32_t> seen_;
  int leafDepth_ = 0;
};

}  // namespace

std::string hex(const MdxKey& key) {
  std::string text;
  for (unsigned char byte : key) {
    char two[4];
    std::snprintf(two, sizeof two, "%02x", byte);
    text += two;
  }
  return text;
}

std::optional<MdxTree> walkMdx(const std::string& bytes) {
  if (bytes.size() < 3072 || bytes.size() % kPage != 0) {
    ADD_FAILURE() << "index of " << bytes.size() << " bytes is no whole number of pages";
    return std::nullopt;
  }
  EXPECT_EQ(get32(bytes, 32), bytes.size() / kPage) << "pages in the file";
  EXPECT_EQ(get16(bytes, 28), 1) << "tags in use";
  const std::uint32_t tagHeader = get32(bytes, 544);
  const std::size_t header = static_cast<std::size_t>(tagHeader) * kPage;
  if (header + 1024 > bytes.size()) {
    ADD_FAILURE() << "tag header page " << tagHeader << " is outside the file";
    return std::nullopt;
  }
  EXPECT_EQ(get32(bytes, header + 4), bytes.size() / kPage - 4) << "pages of the tag";
  const std::size_t maxKeys = get16(bytes, header + 14);
  const std::size_t entryLength = get16(bytes, header + 18);
  if (maxKeys != 63 || entryLength != 16 || get16(bytes, header + 12) != 12) {
    ADD_FAILURE() << "unexpected node geometry: " << maxKeys << " keys of " << entryLength << " bytes";
    return std::nullopt;
  }
  Walker walker(bytes, maxKeys, entryLength);
  MdxTree tree;
  std::optional<MdxKey> largest;
  if (!walker.walk(get32(bytes, header), 1, tree, largest)) {
    return std::nullopt;
  }
  tree.depth = walker.leafDepth();
  return tree;
}

}  // namespace vadelux::interop
