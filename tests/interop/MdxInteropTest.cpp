// Our production index read by Free Pascal's TDbf: TDbf makes a table with an ORDEN tag, we replace its
// index file with ours built from the same keys, and TDbf walks and searches the table through it.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "ExternalProgram.h"
#include "MdxWalk.h"
#include "Tdbf.h"
#include "common/Error.h"
#include "tables/MdxWriter.h"

namespace vadelux::interop {
namespace {

using tables::buildProductionMdx;
using tables::DbfDate;

const DbfDate kDate{2024, 9, 2};
const std::vector<std::string> kFields{"NOMBRE:C:10", "ORDEN:N:11:0"};

// Record numbers (from 1) in the order of a stable sort by key.
std::vector<std::uint32_t> stableOrder(const std::vector<std::int64_t>& keys) {
  std::vector<std::uint32_t> order(keys.size());
  std::iota(order.begin(), order.end(), 1U);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return keys[a - 1] < keys[b - 1]; });
  return order;
}

std::vector<std::vector<std::string>> rowsFor(const std::vector<std::int64_t>& keys) {
  std::vector<std::vector<std::string>> rows;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    rows.push_back({"r" + std::to_string(i + 1), std::to_string(keys[i])});
  }
  return rows;
}

// Keys with many ties, spread over negatives and positives, the same on every run.
std::vector<std::int64_t> tiedKeys(std::size_t count, std::int64_t spread) {
  std::vector<std::int64_t> keys;
  std::uint32_t state = 12345;
  for (std::size_t i = 0; i < count; ++i) {
    state = state * 1103515245U + 12345U;
    keys.push_back(static_cast<std::int64_t>((state >> 8) % static_cast<std::uint32_t>(spread)) - spread / 4);
  }
  return keys;
}

struct MdxCase {
  std::string name;
  std::vector<std::int64_t> keys;
  int depth;  // of the B-tree we write
};

std::ostream& operator<<(std::ostream& out, const MdxCase& c) {
  return out << c.name;
}

class mdx_interop_test : public testing::TestWithParam<MdxCase> {
 protected:
  // HORAS.DBF made by TDbf with its own index, which is kept in tdbfIndex_ and replaced by ours.
  void SetUp() override {
    const MdxCase& c = GetParam();
    ASSERT_TRUE(createWithTdbf(dir(), "HORAS.DBF", 4, "ORDEN", kFields, rowsFor(c.keys)));
    // TDbf names the index with a lower-case extension and looks for it under that name.
    tdbfIndex_ = readFile(dir() / "HORAS.mdx");
    ourIndex_ = buildProductionMdx("HORAS", "ORDEN", c.keys, kDate);
    writeFile(dir() / "HORAS.mdx", ourIndex_);
  }

  const std::filesystem::path& dir() const { return folder_.path(); }

  ScratchFolder folder_;
  std::string tdbfIndex_;
  std::string ourIndex_;
};

TEST_P(mdx_interop_test, tdbf_walks_the_table_in_key_order_with_ties_in_record_order) {
  const MdxCase& c = GetParam();
  const auto table = readWithTdbf(dir(), "HORAS.DBF", "ORDEN");
  ASSERT_TRUE(table);
  EXPECT_EQ(table->order, "ORDEN");
  EXPECT_EQ(table->records, c.keys.size());
  const std::vector<std::uint32_t> expected = stableOrder(c.keys);
  EXPECT_EQ(table->recordNumbers, expected);
  std::vector<std::string> sortedKeys;
  for (std::uint32_t record : expected) {
    sortedKeys.push_back(std::to_string(c.keys[record - 1]));
  }
  EXPECT_EQ(table->column(1), sortedKeys);

  const auto tree = walkMdx(ourIndex_);
  ASSERT_TRUE(tree);
  EXPECT_EQ(tree->depth, c.depth);
}

TEST_P(mdx_interop_test, tdbf_search_finds_the_first_record_of_each_key) {
  const MdxCase& c = GetParam();
  // Every key, its neighbours and values beyond both ends.
  std::set<std::int64_t> probes{-10000000000, 10000000000};
  for (std::int64_t key : c.keys) {
    probes.insert({key - 1, key, key + 1});
  }
  const std::vector<std::int64_t> probeList(probes.begin(), probes.end());
  const std::vector<std::uint32_t> order = stableOrder(c.keys);
  std::vector<std::uint32_t> expected;
  for (std::int64_t probe : probeList) {
    const auto at = std::find_if(order.begin(), order.end(),
                                 [&](std::uint32_t record) { return c.keys[record - 1] >= probe; });
    expected.push_back(at == order.end() ? 0 : *at);
  }
  const auto found = seekWithTdbf(dir(), "HORAS.DBF", "ORDEN", probeList);
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, expected);
}

// Header bytes that may differ from TDbf's: dates, page counts, where the root is.
bool mayDiffer(std::size_t offset) {
  const std::set<std::size_t> masked{1,  2,    3,    32,   33,   34,   35,   44,   45,
                                     46, 2048, 2049, 2050, 2051, 2052, 2053, 2054, 2055};
  return masked.count(offset) != 0;
}

TEST_P(mdx_interop_test, headers_and_keys_match_the_index_tdbf_writes) {
  const MdxCase& c = GetParam();
  ASSERT_GE(ourIndex_.size(), 3072U);
  ASSERT_GE(tdbfIndex_.size(), 3072U);
  for (std::size_t offset = 0; offset < 3072; ++offset) {
    if (!mayDiffer(offset)) {
      EXPECT_EQ(static_cast<int>(ourIndex_[offset]), static_cast<int>(tdbfIndex_[offset])) << "at " << offset;
    }
  }
  const std::string date{'\x7c', '\x09', '\x02'};  // 2024-09-02
  EXPECT_EQ(ourIndex_.substr(1, 3), date);
  EXPECT_EQ(ourIndex_.substr(44, 3), date);

  const auto ours = walkMdx(ourIndex_);
  const auto theirs = walkMdx(tdbfIndex_);
  ASSERT_TRUE(ours && theirs);
  ASSERT_EQ(ours->entries.size(), c.keys.size());
  ASSERT_EQ(theirs->entries.size(), c.keys.size());
  std::vector<MdxKey> tdbfKeys(c.keys.size() + 1);
  for (const MdxLeafEntry& entry : theirs->entries) {
    tdbfKeys.at(entry.record) = entry.key;
  }
  for (const MdxLeafEntry& entry : ours->entries) {
    const MdxKey& mine = entry.key;
    const MdxKey& tdbf = tdbfKeys.at(entry.record);
    // Byte 1 is where writers differ: TDbf rounds the digit count up to even, we store it exactly.
    // Its sign bit and its low bit agree.
    const std::int64_t key = c.keys[entry.record - 1];
    std::string digits = std::to_string(key < 0 ? -key : key);
    digits.erase(digits.find_last_not_of('0') + 1);
    const int count = key == 0 ? 0 : static_cast<int>(digits.size());
    EXPECT_EQ(mine[1], (count << 2) | 0x01 | (key < 0 ? 0x80 : 0)) << "key " << key << ": " << hex(mine);
    EXPECT_EQ(mine[1] & 0x81, tdbf[1] & 0x81) << "key " << key;
    // TDbf keeps one byte less than the key's length; the last byte stays ours.
    EXPECT_TRUE(mine[0] == tdbf[0] && std::equal(mine.begin() + 2, mine.end() - 1, tdbf.begin() + 2))
        << "key " << key << ": ours " << hex(mine) << ", TDbf's " << hex(tdbf);
  }
}

INSTANTIATE_TEST_SUITE_P(
    cases, mdx_interop_test,
    testing::Values(MdxCase{"ten_rows_with_ties_and_negatives", {5, 2, 9, 2, 1, 5, -3, 2, 10, 0}, 1},
                    MdxCase{"no_rows", {}, 1}, MdxCase{"one_row", {480}, 1},
                    MdxCase{"wide_values",
                            {9999999999, -9999999999, 1000000000,  0, -1, 1,    100,  99,   10,    -10,
                             -100,       1234567890,  -1234567890, 5, 5,  -100, 1005, 1050, -1005, -1050},
                            1},
                    MdxCase{"a_full_leaf", tiedKeys(63, 20), 1},
                    MdxCase{"one_key_past_a_full_leaf", tiedKeys(64, 20), 2},
                    MdxCase{"two_thousand_rows_with_many_ties", tiedKeys(2000, 80), 2},
                    MdxCase{"sixty_four_full_leaves_in_three_levels", tiedKeys(64 * 63, 1500), 3}),
    [](const testing::TestParamInfo<MdxCase>& tested) { return tested.param.name; });

// The harness sees our index and nothing else: TDbf must follow our tree even where it disagrees with
// the table's values, and a tag that cannot be opened must fail the read.
TEST(mdx_harness_test, tdbf_follows_our_tree_and_refuses_a_tag_it_cannot_open) {
  ScratchFolder folder;
  const std::vector<std::int64_t> keys{3, 1, 2};
  ASSERT_TRUE(createWithTdbf(folder.path(), "HORAS.DBF", 4, "ORDEN", kFields, rowsFor(keys)));
  const std::vector<std::int64_t> claimed{1, 2, 3};
  writeFile(folder.path() / "HORAS.mdx", buildProductionMdx("HORAS", "ORDEN", claimed, kDate));
  const auto table = readWithTdbf(folder.path(), "HORAS.DBF", "ORDEN");
  ASSERT_TRUE(table);
  EXPECT_EQ(table->recordNumbers, (std::vector<std::uint32_t>{1, 2, 3}));

  // Under an upper-case name only, in a folder whose path is not all upper case, TDbf misses the index.
  std::filesystem::rename(folder.path() / "HORAS.mdx", folder.path() / "HORAS.MDX");
  const ProgramResult run = runTdbf({"dump", folder.path().string(), "HORAS.DBF", "ORDEN"});
  EXPECT_EQ(run.exitCode, kIndexNotOpened) << run.out << run.err;
  EXPECT_NE(run.err.find("index ORDEN not opened"), std::string::npos) << run.err;
}

TEST(mdx_writer_test, refuses_names_that_do_not_fit_the_index) {
  const std::vector<std::int64_t> keys{1};
  struct Case {
    std::string table;
    std::string tag;
    std::string message;
  };
  const std::vector<Case> cases{
      {"ABCDEFGHIJKLMNOP", "ORDEN", "Nombre de tabla no válido para el índice: \"ABCDEFGHIJKLMNOP\""},
      {"", "ORDEN", "Nombre de tabla no válido para el índice: \"\""},
      {"HORAS", "ORDENACIONES", "Nombre de etiqueta no válido para el índice: \"ORDENACIONES\""},
      {"HORAS", "", "Nombre de etiqueta no válido para el índice: \"\""},
  };
  for (const Case& c : cases) {
    try {
      (void)buildProductionMdx(c.table, c.tag, keys, kDate);
      ADD_FAILURE() << "no error for table \"" << c.table << "\", tag \"" << c.tag << "\"";
    } catch (const vadelux::Error& error) {
      EXPECT_EQ(std::string(error.what()), c.message);
    }
  }
}

TEST(mdx_writer_test, encodes_the_whole_range_of_whole_numbers) {
  // Extremes that the table's N(11,0) field never holds, but that must not overflow.
  const std::vector<std::int64_t> keys{INT64_MAX, INT64_MIN, -1, 0};
  const auto tree = walkMdx(buildProductionMdx("HORAS", "ORDEN", keys, kDate));
  ASSERT_TRUE(tree);
  ASSERT_EQ(tree->entries.size(), 4U);
  std::vector<std::uint32_t> records;
  for (const auto& entry : tree->entries) {
    records.push_back(entry.record);
  }
  EXPECT_EQ(records, (std::vector<std::uint32_t>{2, 3, 4, 1}));
  // 9223372036854775808 and 9223372036854775807: 19 digits before the point.
  EXPECT_EQ(hex(tree->entries[0].key), "47cd92233720368547758080");
  EXPECT_EQ(hex(tree->entries[3].key), "474d92233720368547758070");
}

}  // namespace
}  // namespace vadelux::interop
