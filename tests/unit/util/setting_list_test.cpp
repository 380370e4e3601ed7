#include <gtest/gtest.h>

#include "core/util/setting_list.h"

namespace {

TEST(SettingList, SplitsAtBarsAndCutsLongItems) {
  using L = std::vector<std::string>;
  const struct {
    std::string list;
    L pieces;
  } cases[] = {
      {"45|60|90|120", {"45", "60", "90", "120"}},
      {"eng|Ge|", {"eng", "Ge"}},
      {"|a||b|", {"a", "b"}},
      {"", {}},
      {"solo", {"solo"}},
      {std::string(40, 'x') + "|y", {std::string(31, 'x'), "y"}},
      // 11 three-byte characters are 33 bytes: cut to 10 whole ones.
      {"日日日日日日日日日日日", {"日日日日日日日日日日"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitSettingList(c.list), c.pieces) << c.list;
}

}  // namespace
