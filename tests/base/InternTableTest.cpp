#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/InternTable.h"

namespace kelvor {
namespace {

TEST(InternTable, EqualKeysEqualIdsThroughGrowthAndLongKeys) {
  InternTable t;
  // Enough keys to grow the index several times and fill many blocks, an
  // empty key, keys that differ only past their first eight bytes or in a
  // NUL byte, and keys longer than a block.
  std::vector<std::string> keys = {"",
                                   "abcdefgh1",
                                   "abcdefgh2",
                                   std::string("a\0b", 3),
                                   std::string("a\0c", 3),
                                   std::string(100000, 'k')};
  for (int i = 0; i < 50000; ++i) keys.push_back("w" + std::to_string(i));
  for (std::size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(t.intern(keys[i]), i);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(t.intern(keys[i]), i);
    EXPECT_EQ(t.key(static_cast<std::uint32_t>(i)), keys[i]);
  }
  EXPECT_EQ(t.size(), keys.size());
}

}  // namespace
}  // namespace kelvor
